#pragma once

#include "cli/commandparser.h"
#include "cli/chartoutput.h"
#include "cli/connectoption.h"
#include "cli/pdfoutput.h"
#include "reports/shared/feeitemtree.h"

#include <QCommandLineOption>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <optional>

namespace fee {
class DbConnection;
class GridModel;
} // namespace fee

namespace fee::cli {

// What the report commands declare and check alike, so that each command
// declares only its own options: the connection (--connect, --connect-file,
// FEE_CONNECT), the codes of --offices and --fees, and the outputs (--csv,
// --xlsx, and --pdf with --paper and --fit). Options are listed in the help
// in this order: the connection, the command's own options, --offices (when
// the command has it), --fees, --csv, --xlsx, the command's own output
// options, the printout's.
class ReportCommand {
public:
    enum class Offices { Listed, None };

    ReportCommand(const QString& name, Offices offices, const QString& xlsxDescription);

    const QString& name() const { return m_name; }
    CommandParser& parser() { return m_parser; }
    const PdfOutput& pdf() const { return m_pdf; }

    // A command that can draw its chart: --chart comes after the printout's
    // options and counts as an output. Call before declare().
    void addChart(ChartOutput& chart) { m_chart = &chart; }
    // Adds every option: own before --offices, ownOutputs after --xlsx.
    void declare(std::initializer_list<QCommandLineOption> own,
        std::initializer_list<QCommandLineOption> ownOutputs = {});

    // Parses the arguments and reads the connection: nothing when the command
    // may go on, else its exit code (help shown, or the usage error printed).
    std::optional<int> parse(const QStringList& args);
    const QString& connectionString() const { return m_connectionString; }

    // The scope option of a command that reports on one department's own
    // receipts with scope 1 ("0", "1" or "2", default "0"), and the
    // department code that scope 1 cannot go without.
    std::optional<int> readScope(const QCommandLineOption& scopeOption, const QCommandLineOption& departmentOption,
        QString& scope, QString& department) const;

    // Reads the codes of --offices (when the command has it) and --fees
    // ("all" by default; a usage error when they name none), then the
    // outputs: --csv, --xlsx, the command's own output options (ownChecks),
    // the printout's. Without any output the CSV goes to standard output.
    std::optional<int> readCodesAndOutputs(const std::function<std::optional<int>()>& ownChecks = {});
    const QStringList& officeCodes() const { return m_officeCodes; }

    // In the lists loaded for the run: the fee items --fees names, and the
    // entry of the payment method list a value names; the usage error when
    // one is not there.
    std::optional<int> readFeeItems(const QVector<FeeCategory>& tree, QStringList& feeCodes) const;
    std::optional<int> readPaymentMethod(const QStringList& methods, const QString& value, QString& chosen) const;
    bool xlsxSet() const { return m_parser.isSet(m_xlsx); }
    const QString& xlsxTarget() const { return m_xlsxTarget; }

    // Writes the grid as CSV where --csv (or no output at all) asked for it.
    void writeCsvOutput(const GridModel& grid) const;

private:
    QString m_name;
    Offices m_hasOffices;
    CommandParser m_parser;
    const ConnectOption m_connect;
    const QCommandLineOption m_offices;
    const QCommandLineOption m_fees;
    const QCommandLineOption m_csv;
    const QCommandLineOption m_xlsx;
    PdfOutput m_pdf;
    ChartOutput* m_chart = nullptr;
    QString m_connectionString;
    QStringList m_officeCodes;
    QStringList m_feeCodes;
    QString m_csvTarget;
    QString m_xlsxTarget;
};

// --from and --to: the receipt dates of the receipts and daily commands.
QCommandLineOption receiptsFromOption();
QCommandLineOption receiptsToOption();

} // namespace fee::cli
