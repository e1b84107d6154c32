#pragma once

#include <QObject>

// The program driven by real mouse and keyboard input on an X display:
// each report window opened from the menu, run on the demo database, its
// grids wheeled, navigated and clicked, its outputs opened, a run
// cancelled, the window closed.
class TestRealInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void mainWindow();
    void monthly(); // stage_monthly.cpp
    void receipts(); // stage_receipts.cpp
    void daily(); // stage_daily.cpp
};
