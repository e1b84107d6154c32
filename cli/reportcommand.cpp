#include "cli/reportcommand.h"

#include "cli/clioutput.h"
#include "reports/shared/selectionresolver.h"

namespace fee::cli {

namespace {

    const QString kAll = QStringLiteral("all");

} // namespace

ReportCommand::ReportCommand(const QString& name, Offices offices, const QString& xlsxDescription)
    : m_name(name)
    , m_hasOffices(offices)
    , m_parser(name)
    , m_offices(QStringLiteral("offices"), QStringLiteral("all, or office codes."), QStringLiteral("CODES"), kAll)
    , m_fees(QStringLiteral("fees"), QStringLiteral("all, or fee-item codes."), QStringLiteral("CODES"), kAll)
    , m_csv(QStringLiteral("csv"), QStringLiteral("CSV file, - for standard output."), QStringLiteral("FILE"))
    , m_xlsx(QStringLiteral("xlsx"), xlsxDescription, QStringLiteral("FILE"))
    , m_pdf(name)
{
}

void ReportCommand::declare(
    std::initializer_list<QCommandLineOption> own, std::initializer_list<QCommandLineOption> ownOutputs)
{
    m_connect.addTo(m_parser);
    for (const QCommandLineOption& option : own)
        m_parser.addOption(option);
    if (m_hasOffices == Offices::Listed)
        m_parser.addOption(m_offices);
    for (const QCommandLineOption& option : { m_fees, m_csv, m_xlsx })
        m_parser.addOption(option);
    for (const QCommandLineOption& option : ownOutputs)
        m_parser.addOption(option);
    m_pdf.addOptions(m_parser);
    if (m_chart)
        m_chart->addOptions(m_parser);
}

std::optional<int> ReportCommand::parse(const QStringList& args)
{
    if (auto stop = m_parser.parse(args))
        return stop;
    return m_connect.read(m_parser, m_connectionString);
}

std::optional<int> ReportCommand::readScope(const QCommandLineOption& scopeOption,
    const QCommandLineOption& departmentOption, QString& scope, QString& department) const
{
    if (auto stop = m_parser.readChoice(scopeOption, { QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2") },
            scope))
        return stop;
    department = m_parser.value(departmentOption);
    // Scope 1 takes the receipts of the department: without one it could
    // only find nothing.
    if (scope == QStringLiteral("1") && department.isEmpty())
        return m_parser.usageError(
            QStringLiteral("--department is required with --%1 1").arg(scopeOption.names().first()));
    return std::nullopt;
}

std::optional<int> ReportCommand::readCodesAndOutputs(const std::function<std::optional<int>()>& ownChecks)
{
    if (m_hasOffices == Offices::Listed) {
        m_officeCodes = splitCodeList(m_parser.value(m_offices));
        if (m_officeCodes.isEmpty())
            return m_parser.usageError(QStringLiteral("--offices names no office"));
    }
    m_feeCodes = splitCodeList(m_parser.value(m_fees));
    if (m_feeCodes.isEmpty())
        return m_parser.usageError(QStringLiteral("--fees names no fee item"));
    m_csvTarget = m_parser.value(m_csv);
    m_xlsxTarget = m_parser.value(m_xlsx);
    if (m_parser.isSet(m_csv) && m_csvTarget.isEmpty())
        return m_parser.usageError(QStringLiteral("--csv needs a file name or -"));
    if (m_parser.isSet(m_xlsx) && m_xlsxTarget.isEmpty())
        return m_parser.usageError(QStringLiteral("--xlsx needs a file name"));
    if (ownChecks) {
        if (auto stop = ownChecks())
            return stop;
    }
    if (auto stop = m_pdf.read(m_parser))
        return stop;
    if (m_chart) {
        if (auto stop = m_chart->read(m_parser))
            return stop;
    }
    // The outputs may be combined; without any the CSV goes to standard output.
    if (!m_parser.isSet(m_csv) && !m_parser.isSet(m_xlsx) && !m_pdf.isSet(m_parser)
        && !(m_chart && m_chart->wanted()))
        m_csvTarget = QStringLiteral("-");
    return std::nullopt;
}

std::optional<int> ReportCommand::readFeeItems(const QVector<FeeCategory>& tree, QStringList& feeCodes) const
{
    QString error;
    feeCodes = feeCodesByCode(tree, m_feeCodes, &error);
    if (!error.isEmpty())
        return m_parser.usageError(error);
    return std::nullopt;
}

std::optional<int> ReportCommand::readPaymentMethod(
    const QStringList& methods, const QString& value, QString& chosen) const
{
    QString error;
    chosen = listEntryByName(
        methods, value, QStringLiteral("payment method"), QStringLiteral("the payment method list"), &error);
    if (!error.isEmpty())
        return m_parser.usageError(error);
    return std::nullopt;
}

QCommandLineOption receiptsFromOption()
{
    return { QStringLiteral("from"), QStringLiteral("First receipt date."), QStringLiteral("YYYY-MM-DD") };
}

QCommandLineOption receiptsToOption()
{
    return { QStringLiteral("to"), QStringLiteral("Last receipt date."), QStringLiteral("YYYY-MM-DD") };
}

void ReportCommand::writeCsvOutput(const GridModel& grid) const
{
    if (!m_csvTarget.isEmpty())
        writeCsv(grid, m_csvTarget);
}

} // namespace fee::cli
