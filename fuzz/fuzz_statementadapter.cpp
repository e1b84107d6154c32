// The statement adapter: adaptStatementForSqlite on any text. It must finish
// in time proportional to the text (libFuzzer's -timeout catches a blow-up),
// and a statement holding none of the constructs it rewrites must come out
// exactly as it went in.

#include "db/statementadapter.h"
#include "fuzzsupport.h"

namespace {

// Conservative: any of these anywhere (in a literal or a comment too) may be
// rewritten, so such a text is only run, not compared.
bool mayBeRewritten(const QString& statement)
{
    // toLower() maps a few non-Latin letters (the Kelvin sign) onto Latin ones.
    const QString lower = statement.toLower();
    static const char* const kWords[]
        = { "group", "order", "isnull", "left", "right", "len", "convert", "getdate", "n'" };
    for (const char* word : kWords)
        if (lower.contains(QLatin1String(word)) || statement.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return statement.contains(u'+');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString statement = fuzz::text(data, size);
    const QString adapted = fee::adaptStatementForSqlite(statement);
    if (!mayBeRewritten(statement))
        fuzz::check(adapted == statement, "a statement without rewritten constructs stays as written",
            statement + QStringLiteral("\n  ->  ") + adapted);
    return 0;
}
