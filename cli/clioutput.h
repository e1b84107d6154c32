#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace fee {
class Failure;
class GridModel;
struct RunProgress;
class RunContext;
} // namespace fee

namespace fee::cli {

// UTF-8 text on standard output / standard error, passwords masked.
void printOut(const QString& text);
void printErr(const QString& text);

// Writes bytes to a file (through a temporary file renamed at the end, so a
// failure leaves an existing file as it was) or, for "-", to standard output.
// Throws Failure.
void writeOutput(const QString& target, const QByteArray& bytes);

// The grid as CSV (every row and column, cells as the grid holds them) to a
// file or "-".
void writeCsv(const GridModel& grid, const QString& target);

// A workbook path as the report exports take it: without ".xlsx".
QString withoutXlsxExtension(const QString& path);

// Prints "COMMAND: error N: description" on standard error; returns the
// failure exit code.
int reportFailure(const QString& command, const Failure& failure);

// A progress line on standard error while a run goes ("monthly: 12/31
// offices, 40213 rows"), redrawn at most a few times a second, only when
// standard error is a terminal. Attach it to a run; finish() clears it.
class ProgressLine {
public:
    explicit ProgressLine(const QString& command);
    ~ProgressLine();
    void attach(RunContext& run);
    void finish();

private:
    void show(const RunProgress& progress);
    QString m_command;
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_sinceDrawn;
};

} // namespace fee::cli
