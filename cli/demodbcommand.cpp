#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandparser.h"
#include "cli/commands.h"

#include "cli/demodb/demodb.h"
#include "core/failure.h"

#include <QCommandLineParser>
#include <cstdio>

namespace fee::cli {

namespace {

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
    CommandParser parser(QStringLiteral("demo-db"));
    const QCommandLineOption seedOpt(
        QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("N"));
    const QCommandLineOption officesOpt(QStringLiteral("offices"),
        QStringLiteral("Offices with households, 1 to 500 (default 8)."), QStringLiteral("N"));
    const QCommandLineOption roomsOpt(QStringLiteral("rooms"),
        QStringLiteral("Rooms per office, 1 to 20000 (default 60); 8000 rooms give one office over 100,000 daily "
                       "receipts rows a year."),
        QStringLiteral("N"));
    const QCommandLineOption plainOpt(QStringLiteral("plain-collation"),
        QStringLiteral("Declare text columns without the case-insensitive collation."));
    const QCommandLineOption poorOpt(QStringLiteral("poor-offices"),
        QStringLiteral("Residential offices whose households mostly pay late or not at all (default 0)."),
        QStringLiteral("N"));
    for (const QCommandLineOption& option : { seedOpt, officesOpt, roomsOpt, plainOpt, poorOpt })
        parser.addOption(option);
    parser.addPositional(QStringLiteral("PATH"), QStringLiteral("The SQLite file to write."));

    if (auto stop = parser.parse(args))
        return *stop;
    const QStringList positional = parser.positional();
    if (positional.size() != 1 || positional.front().isEmpty())
        return parser.usageError(positional.isEmpty() ? QStringLiteral("the PATH of the file to write is missing")
                                                      : QStringLiteral("only one PATH may be given"));

    demo::DemoDbOptions options;
    options.path = positional.front();
    options.plainCollation = parser.isSet(plainOpt);
    qulonglong value = 0;
    if (parser.isSet(seedOpt)) {
        if (!readNumber(parser.value(seedOpt), 0, ~0ULL, value))
            return parser.usageError(
                QStringLiteral("--seed needs a whole number, not \"%1\"").arg(parser.value(seedOpt)));
        options.seed = value;
    }
    if (parser.isSet(officesOpt)) {
        if (!readNumber(parser.value(officesOpt), 1, 500, value))
            return parser.usageError(
                QStringLiteral("--offices needs a number from 1 to 500, not \"%1\"").arg(parser.value(officesOpt)));
        options.offices = static_cast<int>(value);
    }
    if (parser.isSet(roomsOpt)) {
        if (!readNumber(parser.value(roomsOpt), 1, 20000, value))
            return parser.usageError(
                QStringLiteral("--rooms needs a number from 1 to 20000, not \"%1\"").arg(parser.value(roomsOpt)));
        options.rooms = static_cast<int>(value);
    }

    if (parser.isSet(poorOpt)) {
        if (!readNumber(parser.value(poorOpt), 0, 500, value))
            return parser.usageError(
                QStringLiteral("--poor-offices needs a number from 0 to 500, not \"%1\"").arg(parser.value(poorOpt)));
        options.poorOffices = static_cast<int>(value);
    }

    try {
        printOut(demo::buildDemoDb(options) + QLatin1Char('\n'));
    } catch (const Failure& failure) {
        printErr(QStringLiteral("demo-db: ") + failure.description() + QLatin1Char('\n'));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace fee::cli
