#include "cli/commands.h"

#include "common/failure.h"
#include "cli/demodb/demodb.h"

#include <QCommandLineParser>
#include <cstdio>

namespace fee::cli {

namespace {

    void printLine(std::FILE* stream, const QString& text)
    {
        const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    }

    const char* const kDemoUsage = "usage: fee-reports-cli demo-db PATH [--seed N] [--offices N] [--rooms N] "
                                   "[--plain-collation]";

    int usageError(const QString& message)
    {
        printLine(stderr, QStringLiteral("demo-db: ") + message);
        printLine(stderr, QString::fromUtf8(kDemoUsage));
        return kExitUsage;
    }

    // A whole number within [low, high]; anything else is a usage error.
    bool readNumber(const QString& text, qulonglong low, qulonglong high, qulonglong& value)
    {
        bool ok = false;
        value = text.toULongLong(&ok, 10);
        return ok && !text.startsWith(QLatin1Char('+')) && value >= low && value <= high;
    }

} // namespace

int runDemoDb(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption seedOpt(
        QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("N"));
    const QCommandLineOption officesOpt(QStringLiteral("offices"),
        QStringLiteral("Offices with households, 1 to 500 (default 8)."), QStringLiteral("N"));
    const QCommandLineOption roomsOpt(
        QStringLiteral("rooms"), QStringLiteral("Rooms per office, 1 to 5000 (default 60)."), QStringLiteral("N"));
    const QCommandLineOption plainOpt(QStringLiteral("plain-collation"),
        QStringLiteral("Declare text columns without the case-insensitive collation."));
    const QCommandLineOption helpOpt(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));
    parser.addOptions({ seedOpt, officesOpt, roomsOpt, plainOpt, helpOpt });
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The SQLite file to write."));

    if (!parser.parse(QStringList { QStringLiteral("demo-db") } + args))
        return usageError(parser.errorText());
    if (parser.isSet(helpOpt)) {
        printLine(stdout, QString::fromUtf8(kDemoUsage));
        printLine(
            stdout, QStringLiteral("Writes a new demo fee database (SQLite). The same seed gives the same file."));
        return kExitOk;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1 || positional.front().isEmpty())
        return usageError(positional.isEmpty() ? QStringLiteral("the PATH of the file to write is missing")
                                               : QStringLiteral("only one PATH may be given"));

    demo::DemoDbOptions options;
    options.path = positional.front();
    options.plainCollation = parser.isSet(plainOpt);
    qulonglong value = 0;
    if (parser.isSet(seedOpt)) {
        if (!readNumber(parser.value(seedOpt), 0, ~0ULL, value))
            return usageError(QStringLiteral("--seed needs a whole number, not \"%1\"").arg(parser.value(seedOpt)));
        options.seed = value;
    }
    if (parser.isSet(officesOpt)) {
        if (!readNumber(parser.value(officesOpt), 1, 500, value))
            return usageError(
                QStringLiteral("--offices needs a number from 1 to 500, not \"%1\"").arg(parser.value(officesOpt)));
        options.offices = static_cast<int>(value);
    }
    if (parser.isSet(roomsOpt)) {
        if (!readNumber(parser.value(roomsOpt), 1, 5000, value))
            return usageError(
                QStringLiteral("--rooms needs a number from 1 to 5000, not \"%1\"").arg(parser.value(roomsOpt)));
        options.rooms = static_cast<int>(value);
    }

    try {
        printLine(stdout, demo::buildDemoDb(options));
    } catch (const Failure& failure) {
        printLine(stderr, QStringLiteral("demo-db: ") + failure.description());
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace fee::cli
