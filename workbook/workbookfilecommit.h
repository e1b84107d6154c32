#pragma once

#include <QSaveFile>
#include <QString>

namespace fee {

// Puts a finished scratch file in place of a workbook file: the content goes
// to a temporary file beside the target, which replaces the target only when
// complete, so a failure leaves an existing file as it was. The target is
// opened first, so that an unwritable folder or file fails before any work.
// Failures throw Failure(kErrFile).
class WorkbookFileCommit {
public:
    explicit WorkbookFileCommit(const QString& fileName);
    void commitFrom(const QString& scratchFile);

private:
    [[noreturn]] void fail(const QString& reason) const;

    QString m_fileName;
    QSaveFile m_out;
};

} // namespace fee
