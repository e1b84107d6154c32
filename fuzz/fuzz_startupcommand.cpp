// The start-up command line a calling program hands over: parseStartupCommand
// on any text, and on lines built from known fields, which must come back
// exactly.

#include "app/startupcommand.h"
#include "fuzzsupport.h"

#include <QStringList>

namespace {

const QString kPartSeparator = QStringLiteral("【】");
const QString kFieldSeparator = QStringLiteral("{}");

bool separatorFree(const QString& piece) { return !piece.contains(kPartSeparator) && !piece.contains(kFieldSeparator); }

// Whatever the line, a command holds only text of the line, cut at the separators.
void checkAnyLine(const QString& line)
{
    const std::optional<fee::StartupCommand> command = fee::parseStartupCommand(line);
    if (line.isEmpty())
        fuzz::check(!command, "an empty line gives no command");
    if (!command)
        return;
    fuzz::check(line.count(kPartSeparator) >= 2, "a command needs three parts", line);
    fuzz::check(line.count(kFieldSeparator) >= fee::SessionInfo::kFieldCount - 1, "a command needs ten fields", line);
    fuzz::check(!command->connectionString.contains(kPartSeparator), "the connection string is one part", line);
    fuzz::check(line.contains(command->connectionString), "the connection string comes from the line", line);
    for (int i = 0; i < fee::SessionInfo::kFieldCount; ++i) {
        const QString& field = command->session.field(i);
        fuzz::check(separatorFree(field), "a field holds no separator", line);
        fuzz::check(line.contains(field), "a field comes from the line", line);
    }
}

// Ten fields, a connection string and a last part, joined as a calling
// program joins them: without separators inside, each comes back as it was.
void checkBuiltLine(const QStringList& pieces)
{
    QStringList fields = pieces.mid(0, fee::SessionInfo::kFieldCount);
    while (fields.size() < fee::SessionInfo::kFieldCount)
        fields.append(QString());
    const QString connection = pieces.value(fee::SessionInfo::kFieldCount);
    const QString rest = pieces.value(fee::SessionInfo::kFieldCount + 1);
    const QString line = fields.join(kFieldSeparator) + kPartSeparator + connection + kPartSeparator + rest;

    bool clean = !connection.contains(kPartSeparator);
    for (const QString& f : fields)
        clean = clean && separatorFree(f);
    checkAnyLine(line);
    if (!clean)
        return;
    const std::optional<fee::StartupCommand> command = fee::parseStartupCommand(line);
    fuzz::check(command.has_value(), "a well-built line gives a command", line);
    for (int i = 0; i < fee::SessionInfo::kFieldCount; ++i)
        fuzz::check(command->session.field(i) == fields.at(i), "a field comes back as built", line);
    fuzz::check(command->connectionString == connection, "the connection string comes back as built", line);

    // A shell that split the line at its blanks: joining the arguments gives it back.
    fuzz::check(fee::commandLineText(line.split(u' ')) == line, "the arguments join back to the line", line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::text(data, size);
    checkAnyLine(text);
    checkBuiltLine(text.split(u'\x01'));
    return 0;
}
