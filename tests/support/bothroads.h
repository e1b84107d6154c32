#pragma once

// One fixture file on both roads: opened as the embedded database, and served
// through the SQL Server stand-in, so a test can hold the two results side by side.

#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "tests/support/tdstestserver.h"

#include <QStringList>
#include <QTemporaryDir>

namespace fee::testing {

class BothRoads {
public:
    DbConnection embedded;
    DbConnection server;

    // Writes the fixture with create, opens it with the embedded connection
    // string embeddedString gives, and serves it through the stand-in.
    // Returns what failed, "" when both roads are open.
    QString open(const QString& fileName, QString (*create)(const QString&), QString (*embeddedString)(const QString&))
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        const QString db = m_dir.filePath(fileName);
        const QString error = create(db);
        if (!error.isEmpty())
            return error;
        embedded.open(embeddedString(db));
        if (m_server.start(db, m_dir.path()) <= 0)
            return QStringLiteral("the test server did not start");
        server.open(m_server.oleDbString());
        return QString();
    }

    void stop() { m_server.stop(); }
    // The stand-in's log of every request (see RequestLog).
    QString serverLog() const { return m_dir.filePath(QStringLiteral("server.log")); }

private:
    QTemporaryDir m_dir;
    TdsTestServer m_server;
};

// Every row of a grid as one text, cells joined by '|': two grids compare
// with QCOMPARE and a difference shows the row.
inline QStringList gridRowTexts(const GridModel& g)
{
    QStringList out;
    for (int r = 0; r < g.rows(); ++r) {
        QStringList row;
        for (int c = 0; c < g.cols(); ++c)
            row << g.text(r, c);
        out << row.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace fee::testing
