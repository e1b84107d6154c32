#pragma once

#include <QProcess>
#include <QString>

// A private X server for one test program: Xvfb on a display number it picks
// itself (told back through -displayfd), so programs started side by side
// never share or fight over a display.
class XvfbDisplay {
public:
    ~XvfbDisplay();
    // Starts Xvfb with one screen of this size and returns its display name
    // (":N"), or an empty text when the server could not start.
    QString start(int width, int height);

private:
    QProcess m_server;
};
