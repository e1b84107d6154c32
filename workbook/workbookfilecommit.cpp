#include "workbook/workbookfilecommit.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>

namespace fee {

WorkbookFileCommit::WorkbookFileCommit(const QString& fileName)
    : m_fileName(fileName)
    , m_out(fileName)
{
    if (fileName.isEmpty())
        throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    if (!m_out.open(QIODevice::WriteOnly))
        fail(m_out.errorString());
}

void WorkbookFileCommit::fail(const QString& reason) const
{
    throw Failure(
        kErrFile, QStringLiteral("无法保存文件 \"%1\": %2").arg(QDir::toNativeSeparators(m_fileName), reason));
}

void WorkbookFileCommit::commitFrom(const QString& scratchFile)
{
    QFile written(scratchFile);
    if (!written.open(QIODevice::ReadOnly))
        fail(written.errorString());
    char buffer[256 * 1024];
    for (;;) {
        const qint64 n = written.read(buffer, sizeof buffer);
        if (n < 0)
            fail(written.errorString());
        if (n == 0)
            break;
        if (m_out.write(buffer, n) != n)
            fail(m_out.errorString());
    }
    if (!m_out.commit())
        fail(m_out.errorString());
}

} // namespace fee
