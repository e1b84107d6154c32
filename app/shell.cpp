#include "app/shell.h"

#include "app/connectdatabase.h"
#include "app/loginwindow.h"
#include "app/mainwindow.h"
#include "app/startupcommand.h"
#include "core/sessioninfo.h"

#include <QPointer>

namespace fee {

namespace {
    QPointer<MainWindow>& mainPointer()
    {
        static QPointer<MainWindow> p;
        return p;
    }
    QPointer<LoginWindow>& loginPointer()
    {
        static QPointer<LoginWindow> p;
        return p;
    }
} // namespace

void Shell::start(const QString& commandLine)
{
    if (const auto command = parseStartupCommand(commandLine)) {
        // The fields stay even when the connection fails: the login resets
        // them itself.
        sessionInfo() = command->session;
        if (ConnectDatabase(command->connectionString)) {
            showMainWindow();
            return;
        }
    }
    showLoginWindow();
}

void Shell::showMainWindow()
{
    if (!mainPointer())
        mainPointer() = new MainWindow;
    MainWindow* w = mainPointer();
    w->show();
    w->raise();
    w->activateWindow();
    // The main window's arrival removes the login window.
    if (loginPointer()) {
        loginPointer()->hide();
        loginPointer()->deleteLater();
        loginPointer() = nullptr;
    }
}

void Shell::showLoginWindow()
{
    if (!loginPointer())
        loginPointer() = new LoginWindow;
    loginPointer()->show();
    loginPointer()->raise();
    loginPointer()->activateWindow();
}

MainWindow* Shell::mainWindow() { return mainPointer(); }

LoginWindow* Shell::loginWindow() { return loginPointer(); }

void Shell::reset()
{
    delete mainPointer().data();
    delete loginPointer().data();
    mainPointer() = nullptr;
    loginPointer() = nullptr;
}

} // namespace fee
