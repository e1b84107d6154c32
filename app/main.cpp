// The desktop program. Started without arguments it shows the login window.
// A calling program hands over a finished login as ONE argument:
//   ten session fields joined by "{}" + "【】" + connection string + "【】" + any text
// (arguments split by a shell are joined back with single blanks). The
// arguments are copied and overwritten in place before anything else runs:
// the connection string carries the database password, and any local user
// can read a process's command line.
#include "app/appfonts.h"
#include "core/argumentwipe.h"
#include "core/secretmask.h"
#include "core/fontfamilies.h"
#include "app/appresources.h"
#include "app/shell.h"
#include "app/startupcommand.h"
#include "app/statusnotices.h"
#include "widgets/messageboxhandler.h"
#include "core/grid/fonttextmeasure.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // Before QApplication: making it can take seconds (a slow display), and
    // the password would show in the command line all that time.
    fee::TakenArguments arguments(argc, argv);
    QApplication app(arguments.count(), arguments.values());
    // Qt has taken its own options out of the copy: what is left is the
    // calling program's.
    const QString commandLine = fee::commandLineText(QCoreApplication::arguments().mid(1));
    fee::installSecretMaskingMessageHandler();
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("fee-reports"));
    fee::initAppResources();
    // Qt's own dialogs (the file dialog above all) speak the users' language.
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtChinese);
    fee::installFontSubstitutions();
    fee::useApplicationFont();
    fee::installMessageBoxHandler();
    fee::installStatusNotices();
    fee::installFontTextMeasure();

    fee::Shell::start(commandLine);
    return app.exec();
}
