// The pieces that keep passwords out of what the programs show: the password
// of a connection string in each of its spellings, the masking of texts, the
// places that pass text through it, and the wiping of an argument.
#include "core/argumentwipe.h"
#include "core/messages.h"
#include "core/secretmask.h"
#include "widgets/sessionstatusbar.h"
#include "db/connectionsecrets.h"
#include "db/connectionstring.h"

#include <QtTest>

namespace {

QStringList& loggedMessages()
{
    static QStringList messages;
    return messages;
}

void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) { loggedMessages() << message; }

} // namespace

class TestPasswordMasking : public QObject {
    Q_OBJECT

private slots:
    void passwordOfAConnectionString_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QStringList>("secrets");
        QTest::newRow("OLE DB") << "Provider=SQLOLEDB.1;Password=Qz7-Sekrit;Persist Security Info=False;User ID=sa"
                                << QStringList { "Qz7-Sekrit" };
        QTest::newRow("quoted by the settings")
            << "Provider=SQLOLEDB.1;Password='a;''Sekrit';User ID=sa" << QStringList { "a;'Sekrit", "'a;''Sekrit'" };
        QTest::newRow("double quotes") << "Password=\"Se\"\"krit\";User ID=sa"
                                       << QStringList { "Se\"krit", "\"Se\"\"krit\"" };
        QTest::newRow("ODBC braces") << "DRIVER={FreeTDS};SERVER=h;UID=sa;PWD={Se;krit};TDS_Version=7.3"
                                     << QStringList { "Se;krit", "{Se;krit}" };
        QTest::newRow("ODBC doubled brace")
            << "Driver={FreeTDS};PWD={a}}b};UID=sa" << QStringList { "a}}b", "a}b", "{a}}b}" };
        QTest::newRow("quotes in an ODBC string") << "Driver={FreeTDS};PWD='abc';UID=sa" << QStringList { "'abc'" };
        QTest::newRow("braces in an OLE DB string")
            << "Provider=SQLOLEDB.1;Password={abc;User ID=sa" << QStringList { "{abc" };
        QTest::newRow("key in any case, blanks around") << " pwd = Sekrit ; uid=sa" << QStringList { "Sekrit" };
        QTest::newRow("unclosed quote: the rest")
            << "Password='Sekrit;User ID=sa" << QStringList { "Sekrit;User ID=sa", "'Sekrit;User ID=sa" };
        QTest::newRow("equals sign inside") << "Password=a=Sekrit;X=1" << QStringList { "a=Sekrit" };
        QTest::newRow("two pieces") << "Password=One1;PWD=Two2" << QStringList { "One1", "Two2" };
        QTest::newRow("Chinese") << "Password=密码甲乙;User ID=sa" << QStringList { "密码甲乙" };
        QTest::newRow("none") << "Provider=SQLite;Data Source=/x/Password.db" << QStringList {};
        QTest::newRow("empty") << "Password=;User ID=sa" << QStringList {};
        QTest::newRow("not a connection string") << "Password" << QStringList {};
    }

    void passwordOfAConnectionString()
    {
        QFETCH(QString, connection);
        QFETCH(QStringList, secrets);
        QCOMPARE(fee::connectionSecrets(connection), secrets);
    }

    void maskedText_data()
    {
        QTest::addColumn<QString>("connection"); // given to the program before the text is shown
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("driver quotes the password") << "Provider=SQLOLEDB.1;Password=Port-Sekrit;Data Source=x"
                                                    << "Invalid port in the data source: Port-Sekrit"
                                                    << "Invalid port in the data source: ******";
        QTest::newRow("every occurrence, each spelling") << "Password='q''Sekrit'"
                                                         << "'q''Sekrit' and q'Sekrit"
                                                         << "****** and ******";
        QTest::newRow("longer one first") << "PWD=Ab-Sekrit;Password=Ab-Sekrit-2"
                                          << "x Ab-Sekrit-2 y Ab-Sekrit"
                                          << "x ****** y ******";
        QTest::newRow("Chinese") << "Password=秘密口令"
                                 << "登录失败：秘密口令"
                                 << "登录失败：******";
        // A connection string the program never opened, echoed in a message.
        QTest::newRow("piece of a string never given")
            << QString() << "unexpected argument: Provider=X;Password=Stray1;Data Source=y"
            << "unexpected argument: Provider=X;Password=******;Data Source=y";
        QTest::newRow("piece in braces") << QString() << "DRIVER={FreeTDS};PWD={a;b};UID=sa"
                                         << "DRIVER={FreeTDS};PWD=******;UID=sa";
        QTest::newRow("piece in quotes") << QString() << "Password = 'a;b';X=1"
                                         << "Password = ******;X=1";
        QTest::newRow("piece to the line end") << QString() << "pwd=abc\nnext line"
                                               << "pwd=******\nnext line";
        QTest::newRow("nothing to mask") << QString() << "Login failed for user 'sa'."
                                         << "Login failed for user 'sa'.";
        // A password of a few letters would mangle every word that holds
        // them: it is masked only where it stands as a password's value.
        QTest::newRow("short password left in words")
            << "Provider=SQLOLEDB.1;Password=sa;User ID=sa"
            << "Login failed for user 'sa'. Unable to connect to data source"
            << "Login failed for user 'sa'. Unable to connect to data source";
        QTest::newRow("short password as a value") << "Password=sa"
                                                   << "DRIVER={FreeTDS};UID=sa;PWD=sa;TDS_Version=7.3"
                                                   << "DRIVER={FreeTDS};UID=sa;PWD=******;TDS_Version=7.3";
        QTest::newRow("one digit") << "Password=1"
                                   << "error 18456, severity 14, state 1: Password = '1'"
                                   << "error 18456, severity 14, state 1: Password = ******";
        QTest::newRow("five letters") << "Password=abcde" << "abcdef abcde" << "abcdef abcde";
        QTest::newRow("six letters masked anywhere") << "Password=abcdef" << "xabcdefx" << "x******x";
        QTest::newRow("three Chinese characters") << "Password=口令甲" << "登录失败：口令甲"
                                                  << "登录失败：******";
    }

    void maskedText()
    {
        QFETCH(QString, connection);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        fee::rememberConnectionSecrets(connection);
        QCOMPARE(fee::withoutSecrets(text), shown);
    }

    // Boxes (what any handler receives), the status bar and Qt's own
    // messages: each shows the text masked.
    void placesThatShowText()
    {
        fee::rememberConnectionSecrets(QStringLiteral("Provider=SQLOLEDB.1;Password=Shown-Sekrit;User ID=sa"));

        QList<fee::BoxRequest> boxes;
        fee::setBoxHandler([&boxes](const fee::BoxRequest& request) {
            boxes << request;
            return fee::BoxAnswer::Ok;
        });
        fee::ErrInfoBox(QStringLiteral("Login failed: Shown-Sekrit"));
        fee::msgBox(QStringLiteral("x"), QStringLiteral("Shown-Sekrit"));
        fee::setBoxHandler({});
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, QStringLiteral("错误信息：Login failed: ******"));
        QCOMPARE(boxes[0].title, QStringLiteral("信息文本"));
        QCOMPARE(boxes[1].title, QStringLiteral("******"));

        fee::SessionStatusBar bar(fee::SessionStatusBar::standardPanels());
        bar.setMessage(QStringLiteral("connection Shown-Sekrit lost"));
        QCOMPARE(bar.message(), QStringLiteral("connection ****** lost"));

        const QtMessageHandler testHandler = qInstallMessageHandler(recordMessage);
        fee::installSecretMaskingMessageHandler();
        qWarning("QODBC: Unable to connect with PWD=Other-Sekrit;UID=sa (Shown-Sekrit)");
        qInstallMessageHandler(testHandler);
        QCOMPARE(loggedMessages(), QStringList { "QODBC: Unable to connect with PWD=******;UID=sa (******)" });
    }

    // The parser and the masking read a string through one scanner: the
    // value the connection would send as its password is always masked.
    void maskingReadsWhatTheParserReads_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::newRow("bare") << "Provider=SQLOLEDB.1;Password= Sekrit-1 ;User ID=sa";
        QTest::newRow("apostrophes") << "Password='Se;k''rit';User ID=sa";
        QTest::newRow("double quotes") << "Password=\"Se\"\"k;rit\";User ID=sa";
        QTest::newRow("blanks before the quote") << "Password=   'Sek rit'  ;User ID=sa";
        QTest::newRow("key in any case") << "PWD=Sekrit-2;uid=sa";
        QTest::newRow("later piece wins") << "Password=First-1;Password=Second-2";
        QTest::newRow("equals sign inside") << "Password=a=b=Sekrit";
        QTest::newRow("brace in OLE DB") << "Password={Sekrit;User ID=sa";
    }

    void maskingReadsWhatTheParserReads()
    {
        QFETCH(QString, connection);
        const auto pairs = fee::parseConnectionString(connection);
        const QString password = pairs.value(QStringLiteral("password"), pairs.value(QStringLiteral("pwd")));
        QVERIFY(!password.isEmpty());
        QVERIFY2(fee::connectionSecrets(connection).contains(password), qPrintable(password));
        fee::rememberConnectionSecrets(connection);
        QCOMPARE(fee::withoutSecrets(QStringLiteral("[") + password + QStringLiteral("]")), QStringLiteral("[******]"));
    }

    // Taken before QApplication: the copies hold the arguments, the process's
    // own are wiped, and the copies end as an argv does.
    void argumentsTakenFirst()
    {
        char program[] = "fee-reports";
        char session[] = "1{}a【】Password=Sekrit;Data Source=x【】";
        char platform[] = "-platform";
        char* argv[] = { program, session, platform, nullptr };
        int argc = 3;
        fee::TakenArguments taken(argc, argv);
        QCOMPARE(QByteArray(argv[0]), QByteArray("fee-reports"));
        QCOMPARE(QByteArray(argv[1]), QByteArray(int(qstrlen(session)), 'x'));
        QCOMPARE(QByteArray(argv[2]), QByteArray("xxxxxxxxx"));
        QCOMPARE(taken.count(), 3);
        QCOMPARE(QByteArray(taken.values()[1]), QByteArray("1{}a【】Password=Sekrit;Data Source=x【】"));
        QCOMPARE(QByteArray(taken.values()[2]), QByteArray("-platform"));
        QCOMPARE(taken.values()[3], nullptr);
    }

    void wipedArgumentKeepsItsLength()
    {
        char argument[] = "Password=Sekrit";
        char* const end = argument + sizeof argument - 1;
        fee::wipeArgument(argument);
        QCOMPARE(QByteArray(argument), QByteArray("xxxxxxxxxxxxxxx"));
        QCOMPARE(*end, '\0');
        char empty[] = "";
        fee::wipeArgument(empty);
        QCOMPARE(empty[0], '\0');
    }
};

QTEST_MAIN(TestPasswordMasking)
#include "tst_passwordmasking.moc"
