#include "core/messages.h"
#include "app/sharedconnection.h"
#include "db/dbconnection.h"

#include "../db/fixture.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSharedConnection : public QObject {
    Q_OBJECT
private slots:
    void init();
    void opens_data();
    void opens();

private:
    QList<fee::BoxRequest> m_boxes;
};

void TestSharedConnection::init()
{
    m_boxes.clear();
    fee::setBoxHandler([this](const fee::BoxRequest& request) {
        m_boxes.append(request);
        return fee::BoxAnswer::Ok;
    });
}

void TestSharedConnection::opens_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("existing database") << true;
    QTest::newRow("missing database") << false;
}

void TestSharedConnection::opens()
{
    QFETCH(bool, fileExists);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fee.db"));
    if (fileExists)
        QCOMPARE(fixture::createFeeDatabase(path), QString());
    const QString text = QStringLiteral("Provider=SQLite;Data Source=") + path;

    const fee::DbConnection* before = &fee::DbConnection::shared();
    QCOMPARE(fee::OpenSharedConnection(text), fileExists);
    QCOMPARE(fee::DbConnection::shared().connectionString(), text);
    // Every attempt leaves a fresh connection behind, opened or not.
    QVERIFY(&fee::DbConnection::shared() != before);
    QCOMPARE(fee::DbConnection::shared().isOpen(), fileExists);
    if (fileExists) {
        QCOMPARE(m_boxes.size(), 0);
        fee::DbResult r
            = fee::DbConnection::shared().query(QStringLiteral("Select GYD_Name From 设置管理处 Where GYD_DH='01'"));
        QVERIFY(r.next());
        QCOMPARE(r.text(QStringLiteral("GYD_Name")), QStringLiteral("一处"));
    } else {
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].title, QStringLiteral("信息文本"));
        QCOMPARE(m_boxes[0].text,
            QStringLiteral("错误信息：The database file ") + path + QStringLiteral(" does not exist."));
        QVERIFY(!QFile::exists(path));
    }
}

QTEST_MAIN(TestSharedConnection)
#include "test_sharedconnection.moc"
