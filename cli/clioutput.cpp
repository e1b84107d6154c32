#include "cli/clioutput.h"

#include "core/csv.h"
#include "core/failure.h"
#include "core/secretmask.h"
#include "reports/shared/runcontext.h"

#include <QSaveFile>
#include <cstdio>
#include <unistd.h>

namespace fee::cli {

namespace {
    // Messages and help only: report output goes through writeOutput().
    void write(std::FILE* stream, const QString& text)
    {
        const QByteArray bytes = withoutSecrets(text).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
        std::fflush(stream);
    }
}

void printOut(const QString& text) { write(stdout, text); }

void printErr(const QString& text) { write(stderr, text); }

void writeOutput(const QString& target, const QByteArray& bytes)
{
    if (target == QStringLiteral("-")) {
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
            || std::fflush(stdout) != 0)
            throw Failure(kErrFile, QStringLiteral("cannot write to standard output"));
        return;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(kErrFile, QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
}

void writeCsv(const GridModel& grid, const QString& target) { writeOutput(target, gridToCsv(grid)); }

QString withoutXlsxExtension(const QString& path)
{
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return path.left(path.size() - 5);
    return path;
}

int reportFailure(const QString& command, const Failure& failure)
{
    printErr(QStringLiteral("%1: error %2: %3\n").arg(command).arg(failure.number()).arg(failure.description()));
    return 1;
}

ProgressLine::ProgressLine(const QString& command)
    : m_command(command)
    , m_enabled(isatty(STDERR_FILENO) == 1)
{
}

ProgressLine::~ProgressLine() { finish(); }

void ProgressLine::attach(RunContext& run)
{
    if (!m_enabled)
        return;
    run.setProgressSink([this](const RunProgress& progress) { show(progress); });
}

void ProgressLine::show(const RunProgress& progress)
{
    if (m_shown && m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < 200)
        return;
    m_sinceDrawn.start();
    QString text = QStringLiteral("\r") + m_command + QStringLiteral(": ");
    if (progress.officeCount > 0)
        text += QStringLiteral("%1/%2 offices, ").arg(progress.officesDone).arg(progress.officeCount);
    text += QStringLiteral("%1 rows").arg(progress.rowsRead);
    printErr(text + QStringLiteral("\x1b[K"));
    m_shown = true;
}

void ProgressLine::finish()
{
    if (m_shown)
        printErr(QStringLiteral("\r\x1b[K"));
    m_shown = false;
}

} // namespace fee::cli
