#include "app/startupcommand.h"
#include "db/connectionstring.h"
#include "db/dbconnection.h"
#include "db/dbresult.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

// Hostile texts in the stored settings and on the start-up command line.
class TestBadSettings : public QObject {
    Q_OBJECT

    static QStringList hostile()
    {
        return { QStringLiteral("a'b"), QStringLiteral("a;b"), QStringLiteral("a;User ID=x"), QStringLiteral("'a"),
            QStringLiteral("\"a\""), QStringLiteral("{a}"), QStringLiteral("a{b}c;"), QStringLiteral(" a "),
            QStringLiteral("a''b;;'"), QString(10000, QLatin1Char('p')) + QStringLiteral("';") };
    }

private slots:
    // Each stored value comes back out of the connection string whole,
    // whatever it holds; plain values keep the template exactly.
    void settingsValuesStayWhole_data()
    {
        QTest::addColumn<QString>("value");
        for (const QString& v : hostile())
            QTest::newRow(qPrintable(v.left(20))) << v;
    }
    void settingsValuesStayWhole()
    {
        QFETCH(QString, value);
        const QMap<QString, QString> pairs
            = parseConnectionString(connectionStringFromSettings(value, value, value, value));
        QCOMPARE(pairs.value(QStringLiteral("password")), value);
        QCOMPARE(pairs.value(QStringLiteral("user id")), value);
        QCOMPARE(pairs.value(QStringLiteral("initial catalog")), value);
        QCOMPARE(pairs.value(QStringLiteral("data source")), value);
        QCOMPARE(pairs.size(), 6); // with the provider and "Persist Security Info"
    }

    // A password of apostrophes, semicolons, braces and quotes stored in the
    // settings logs in on the SQL Server road.
    void hostilePasswordLogsIn()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("empty.db"));
        {
            QFile f(db);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString password = QStringLiteral("p';{x}\"w; a");
        testing::TdsTestServer server;
        const int port = server.start(db, dir.path(), password);
        QVERIFY(port > 0);
        DbConnection connection;
        connection.open(connectionStringFromSettings(QStringLiteral("127.0.0.1,%1").arg(port),
            QString::fromLatin1(testing::TdsTestServer::kUser), password, QStringLiteral("wy")));
        DbResult r = connection.query(QStringLiteral("Select 1 As one"));
        QVERIFY(r.next());
    }

    // Start-up command lines with hostile texts keep every field as given.
    void startupFieldsKept_data()
    {
        QTest::addColumn<QString>("text");
        for (const QString& v : hostile())
            QTest::newRow(qPrintable(v.left(20))) << v;
    }
    void startupFieldsKept()
    {
        QFETCH(QString, text);
        QStringList fields;
        for (int i = 0; i < SessionInfo::kFieldCount; ++i)
            fields << text + QString::number(i);
        const QString connection = QStringLiteral("Provider=SQLite;Data Source=") + text;
        const auto command = parseStartupCommand(
            fields.join(QStringLiteral("{}")) + QStringLiteral("【】") + connection + QStringLiteral("【】") + text);
        QVERIFY(command.has_value());
        for (int i = 0; i < SessionInfo::kFieldCount; ++i)
            QCOMPARE(command->session.field(i), fields.at(i));
        QCOMPARE(command->connectionString, connection);
    }
};

QTEST_GUILESS_MAIN(TestBadSettings)
#include "tst_badsettings.moc"
