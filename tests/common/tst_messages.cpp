#include "core/messages.h"

#include <QtTest>

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void errorBoxes_data();
    void errorBoxes();
    void msgBoxDefaults();
    void noHandlerAnswersYes();

private:
    QList<fee::BoxRequest> m_shown;
};

void TestMessages::init()
{
    m_shown.clear();
    fee::setBoxHandler([this](const fee::BoxRequest& r) {
        m_shown.append(r);
        return fee::BoxAnswer::Ok;
    });
}

void TestMessages::cleanup() { fee::setBoxHandler({}); }

void TestMessages::errorBoxes_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    const QString program = QStringLiteral("tst_messages");
    QTest::newRow("code") << "code" << 3021 << "BOF 或 EOF" << QString() << "错误码: 3021 错误描述: BOF 或 EOF"
                          << "系统提示";
    QTest::newRow("code negative") << "code" << -2147217900 << "x" << QString() << "错误码: -2147217900 错误描述: x"
                                   << "系统提示";
    QTest::newRow("number glued") << "number" << 94 << "无效使用 Null" << QString()
                                  << "错误号: 94错误描述: 无效使用 Null"
                                  << "系统提示";
    QTest::newRow("plain login") << "plain" << 94 << "D"
                                 << " "
                                 << "94 D" << program;
    QTest::newRow("plain daily") << "plain" << 94 << "D"
                                 << ""
                                 << "94D" << program;
    QTest::newRow("info") << "info" << 0 << "连接失败" << QString() << "错误信息：连接失败"
                          << "信息文本";
}

void TestMessages::errorBoxes()
{
    QFETCH(QString, style);
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, title);

    QString built;
    if (style == QLatin1String("code")) {
        built = fee::errCodeText(number, description);
        fee::ErrCodeBox(number, description);
    } else if (style == QLatin1String("number")) {
        built = fee::errNumberText(number, description);
        fee::ErrNumberBox(number, description);
    } else if (style == QLatin1String("plain")) {
        built = fee::errPlainText(number, description, separator);
        fee::ErrPlainBox(number, description, separator);
    } else {
        built = fee::errInfoText(description);
        fee::ErrInfoBox(description);
    }
    QCOMPARE(built, text);
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].text, text);
    QCOMPARE(m_shown[0].title, title);
    QCOMPARE(int(m_shown[0].icon), int(fee::BoxIcon::Information));
    QCOMPARE(int(m_shown[0].buttons), int(fee::BoxButtons::Ok));
}

void TestMessages::msgBoxDefaults()
{
    fee::msgBox(QStringLiteral("请选择收费项目！"));
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].title, QStringLiteral("系统提示"));
    QCOMPARE(int(m_shown[0].icon), int(fee::BoxIcon::Information));
}

void TestMessages::noHandlerAnswersYes()
{
    fee::setBoxHandler({});
    fee::BoxRequest r;
    r.text = QStringLiteral("确认要退出系统吗？");
    r.buttons = fee::BoxButtons::YesNo;
    QCOMPARE(int(fee::showBox(r)), int(fee::BoxAnswer::Yes));
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
