#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

struct zip;

namespace fee {

// An .xlsx package opened with libzip. Part names are looked up without
// regard to letter case, as the package format wants. Every failure throws
// Failure(kErrFile) naming the file.
class WorkbookZip {
public:
    // Create starts an empty package (the file is replaced on commit).
    enum Mode { ReadOnly, Update, Create };
    // displayName: the file the messages name (the user's file when this is a private copy of it).
    WorkbookZip(const QString& fileName, Mode mode, const QString& displayName = {});
    ~WorkbookZip();
    WorkbookZip(const WorkbookZip&) = delete;
    WorkbookZip& operator=(const WorkbookZip&) = delete;

    bool contains(const QString& part) const { return m_index.contains(part.toLower()); }
    // Empty when the part does not exist and is not required. A part written
    // since opening reads as written.
    QByteArray read(const QString& part, bool required) const;

    // Update and Create: the changes are written by commit().
    void write(const QString& part, const QByteArray& data);
    void remove(const QString& part);
    // Writes the changed package over its file (libzip writes a temporary
    // file beside it and renames it); unchanged entries are copied as they are.
    void commit();

private:
    [[noreturn]] void fail(const QString& reason) const;
    void failOnError() const;

    QString m_displayName;
    struct zip* m_zip = nullptr;
    QHash<QString, qint64> m_index; // lower-case part name -> entry
    QList<QByteArray> m_kept; // every buffer handed to libzip
    QHash<QString, QByteArray> m_written; // lower-case part name -> data handed to libzip, kept until commit
};

} // namespace fee
