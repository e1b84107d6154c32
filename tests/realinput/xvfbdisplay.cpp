#include "xvfbdisplay.h"

#include <QDeadlineTimer>

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
}

QString XvfbDisplay::start(int width, int height)
{
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd 1: the server chooses a free display and writes its number
    // to our end of its standard output once it accepts clients.
    m_server.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("%1x%2x24").arg(width).arg(height), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
            QStringLiteral("-dpi"), QStringLiteral("96"), QStringLiteral("+extension"), QStringLiteral("XTEST") });
    if (!m_server.waitForStarted(10000))
        return QString();
    QByteArray told;
    const QDeadlineTimer deadline(20000);
    while (!told.contains('\n') && !deadline.hasExpired()) {
        if (!m_server.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        told += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = told.trimmed().toInt(&ok);
    if (!ok)
        return QString();
    return QStringLiteral(":%1").arg(number);
}
