#pragma once

#include <QString>

namespace fee {

class LoginWindow;
class MainWindow;

// The program's two top-level windows. The main window is created once and
// lives until the program ends; opening it removes the login window, whichever
// road led there.
class Shell {
public:
    // The load of the login window: takes the command-line road when the line
    // holds a complete command whose connection opens, otherwise shows the
    // login window.
    static void start(const QString& commandLine);

    static void showMainWindow();
    static void showLoginWindow();

    static MainWindow* mainWindow();
    static LoginWindow* loginWindow();

    // Deletes both windows (tests start each case afresh).
    static void reset();
};

} // namespace fee
