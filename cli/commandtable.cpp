#include "cli/clicommand.h"
#include "cli/commands.h"

namespace fee::cli {

const QVector<Command>& commands()
{
    static const QVector<Command> table {
        { QStringLiteral("demo-db"), QStringLiteral("PATH [--seed N] [--offices N] [--rooms N] [--plain-collation] [--poor-offices N]"),
            QStringLiteral("Write a new demo fee database (SQLite) at PATH; the same seed gives the same file."),
            &runDemoDb },
        { QStringLiteral("monthly"),
            QStringLiteral("--connect CONN|--connect-file FILE --date YYYY-MM-DD [--kind residential|commercial] [--offices all|CODE,...] "
                           "[--fees all|CODE,...] [--csv FILE|-] [--xlsx FILE] [--pdf FILE [--paper auto|A4|A3] [--fit]] [--chart FILE.png|.svg|.pdf]"),
            QStringLiteral("Run the monthly collection-rate summary and write it as CSV, a workbook, a PDF printout or a chart."),
            &runMonthly },
        { QStringLiteral("receipts"),
            QStringLiteral("--connect CONN|--connect-file FILE --from D --to D [--month-from D --month-to D] [--year-from D --year-to D] "
                           "[--method all|NAME] [--mode 0|1|2] [--department CODE] [--offices all|CODE,...] "
                           "[--fees all|CODE,...] [--csv FILE|-] [--xlsx FILE] [--pdf FILE [--paper auto|A4|A3] [--fit]] [--chart FILE.png|.svg|.pdf]"),
            QStringLiteral(
                "Run the receipts summary (dates YYYY-MM-DD) and write it as CSV, a workbook, a PDF printout or a chart."),
            &runReceipts },
        { QStringLiteral("daily"),
            QStringLiteral("--connect CONN|--connect-file FILE --office CODE --from YYYY-MM-DD --to YYYY-MM-DD [--method all|NAME] "
                           "[--payee all|NAME] [--scope 0|1|2] [--department CODE] [--fees all|CODE,...] "
                           "[--csv FILE|-] [--xlsx FILE [--sheet NAME]] [--pdf FILE [--paper auto|A4|A3] [--fit]]"),
            QStringLiteral("List the receipts of one office in a range of receipt dates (收款日报表) as CSV, a "
                           "workbook sheet or a PDF printout."),
            &runDaily },
    };
    return table;
}

const Command* findCommand(const QString& name)
{
    for (const Command& command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString usageText()
{
    QString text = QStringLiteral("usage: fee-reports-cli COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const Command& command : commands()) {
        text += QStringLiteral("  ") + command.name + QLatin1Char(' ') + command.synopsis + QLatin1Char('\n');
        text += QStringLiteral("      ") + command.summary + QLatin1Char('\n');
    }
    text += QStringLiteral("  COMMAND --help\n      Show the options of one command.\n\n"
                           "Connection strings: \"Provider=SQLite;Data Source=PATH\" (read-only), the OLE DB string\n"
                           "of a SQL Server (Provider=SQLOLEDB.1;...) or an ODBC string with Driver=...\n"
                           "Every local user can read a command line: give the string with a password in\n"
                           "--connect-file FILE (chmod 600) or in the environment variable FEE_CONNECT.\n"
                           "Exit codes: 0 done, 1 the work failed (database, file), 2 bad arguments.\n");
    return text;
}

} // namespace fee::cli
