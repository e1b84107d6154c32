#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/connectoption.h"
#include "core/fontfamilies.h"
#include "core/notices.h"
#include "core/grid/fonttextmeasure.h"
#include "core/secretmask.h"

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <clocale>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Widths of grid columns (the workbooks' column widths), printed pages and
    // charts measure texts in real fonts, so the tool runs a GUI application
    // (fonts, no widgets), without a screen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session Qt warns on every start about the missing
    // runtime folder; give it a private one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(getuid());
        ::mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    // Every run, even one writing only CSV: a workbook's column widths
    // follow the measured texts, and without fonts they would differ.
    QGuiApplication app(argc, argv);
    // The arguments are copied here and read from the copy; a connection
    // string's password is then wiped from the process's command line.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    fee::cli::wipeConnectArguments(argc, argv);
    fee::installSecretMaskingMessageHandler();
    // What the run should say without failing (an unchecked certificate,
    // fewer connections than asked for) goes to standard error.
    fee::setNoticeHandler([](const QString& text) { fee::cli::printErr(QStringLiteral("fee-reports-cli: ") + text + QLatin1Char('\n')); });
    QCoreApplication::setApplicationName(QStringLiteral("fee-reports-cli"));
    fee::installFontSubstitutions();
    // Column widths follow the texts as the windows measure them.
    fee::installFontTextMeasure();
    // Numbers and dates are written the same way whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    using namespace fee::cli;
    if (arguments.isEmpty()) {
        printErr(QStringLiteral("fee-reports-cli: a command is required\n") + usageText());
        return kExitUsage;
    }
    const QString name = arguments.front();
    if (name == QStringLiteral("--help") || name == QStringLiteral("-h") || name == QStringLiteral("help")) {
        printOut(usageText());
        return kExitOk;
    }
    const Command* command = findCommand(name);
    if (!command) {
        printErr(QStringLiteral("fee-reports-cli: unknown command \"%1\"\n").arg(name) + usageText());
        return kExitUsage;
    }
    return command->run(arguments.mid(1));
}
