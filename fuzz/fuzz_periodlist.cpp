// The billing-period texts of the receipt lists: compactPeriodList (the daily
// list's 摘要), MergeMonthRun and receiptsRemarkText (the receipts summary's
// detail lists) on any text.

#include "fuzzsupport.h"
#include "reports/daily/compactperiodlist.h"
#include "reports/receipts_summary/receiptsremark.h"

#include <QSet>
#include <QStringList>

namespace {

void checkCompact(const QString& text)
{
    const QString out = fee::compactPeriodList(text);
    const QString shown = text + QStringLiteral("\n  ->  ") + out;
    if (!text.contains(u',')) {
        fuzz::check(out == text, "a text without a comma stays as it is", shown);
        return;
    }
    // Every piece of the result is an element of the text, or a run "first-last" of two of them.
    const QStringList elements = text.split(u',');
    const QSet<QString> known(elements.cbegin(), elements.cend());
    if (out.isEmpty())
        return;
    for (const QString& piece : out.split(u',')) {
        fuzz::check(!piece.isEmpty(), "no piece is empty", shown);
        bool fromInput = known.contains(piece);
        for (qsizetype dash = piece.indexOf(u'-'); !fromInput && dash >= 0; dash = piece.indexOf(u'-', dash + 1))
            fromInput = known.contains(piece.left(dash)) && known.contains(piece.mid(dash + 1));
        fuzz::check(fromInput, "every piece comes from the text", shown);
    }
}

void checkMergeRun(const QStringList& parts, int start)
{
    int i = start;
    const QString run = fee::MergeMonthRun(parts, i);
    const QString shown = parts.join(u',') + QStringLiteral(" @%1\n  ->  ").arg(start) + run;
    fuzz::check(i >= start && i < parts.size(), "the run ends inside the list, not before its start", shown);
    if (run == parts.at(start))
        return;
    bool fromParts = false;
    for (int j = start + 1; j <= i && !fromParts; ++j)
        fromParts = run == parts.at(start) + u'-' + parts.at(j);
    fuzz::check(fromParts, "a run is written first-last with parts of the list", shown);
}

void checkRemark(const QString& text)
{
    fuzz::check(fee::receiptsRemarkText(std::nullopt).isEmpty(), "NULL shows nothing");
    const QString out = fee::receiptsRemarkText(text);
    const QString shown = text + QStringLiteral("\n  ->  ") + out;
    if (!text.contains(u',')) {
        fuzz::check(out == u'[' + text + u']', "a text without a comma shows in brackets", shown);
        return;
    }
    // Without digits there is no month to merge: every part shows on its own,
    // the empty one after the last comma aside.
    bool digits = false;
    for (const QChar c : text)
        digits = digits || c.isDigit();
    if (digits)
        return;
    QStringList parts = text.split(u',');
    if (parts.last().isEmpty())
        parts.removeLast();
    QStringList pieces;
    for (const QString& p : parts)
        pieces.append(u'[' + p + u']');
    fuzz::check(out == pieces.join(u','), "a remark without months keeps every part", shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Bytes bytes(data, size);
    const uint8_t start = bytes.byte();
    const QString text = bytes.restAsText();
    checkCompact(text);
    checkRemark(text);
    const QStringList parts = text.split(u',');
    checkMergeRun(parts, int(start % parts.size()));
    return 0;
}
