#include "cli/commands.h"

#include <QCoreApplication>
#include <QLocale>
#include <clocale>
#include <cstdio>

namespace {

const char* const kUsage = "usage: fee-reports-cli COMMAND [ARGUMENTS]\n"
                           "\n"
                           "Commands:\n"
                           "  demo-db PATH [--seed N] [--offices N] [--rooms N] [--plain-collation]\n"
                           "      Write a new demo fee database (SQLite) at PATH; the same seed gives the same file.\n"
                           "  monthly --connect CONN --date YYYY-MM-DD [--kind residential|commercial]\n"
                           "          [--offices all|CODE,...] [--fees all|CODE,...] [--csv FILE|-] [--xlsx FILE]\n"
                           "      Run the monthly collection-rate summary and write it as CSV or a workbook.\n"
                           "  COMMAND --help\n"
                           "      Show the options of one command.\n"
                           "\n"
                           "Exit codes: 0 done, 1 the work failed (database, file), 2 bad arguments.\n";

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fee-reports-cli"));
    // Numbers and dates are written the same way whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        print(stderr, QStringLiteral("fee-reports-cli: a command is required\n") + QString::fromUtf8(kUsage));
        return fee::cli::kExitUsage;
    }
    const QString command = arguments.front();
    const QStringList rest = arguments.mid(1);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        print(stdout, QString::fromUtf8(kUsage));
        return fee::cli::kExitOk;
    }
    if (command == QStringLiteral("demo-db"))
        return fee::cli::runDemoDb(rest);
    if (command == QStringLiteral("monthly"))
        return fee::cli::runMonthly(rest);
    print(stderr, QStringLiteral("fee-reports-cli: unknown command \"%1\"\n").arg(command) + QString::fromUtf8(kUsage));
    return fee::cli::kExitUsage;
}
