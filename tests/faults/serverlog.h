#pragma once

#include <QString>

// The statement log of the SQL Server stand-in (started with -v --log), read
// from the point where the watch began: a test waits for a statement to reach
// the server before it stops the server.
class ServerLog {
public:
    explicit ServerLog(const QString& path);

    // How often text occurs in the lines written since the watch began.
    int count(const QString& text) const;
    // Every line written since the watch began.
    QStringList lines() const;

private:
    QString m_path;
    qint64 m_start = 0;
};
