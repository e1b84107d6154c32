#include "common/workbook/workbookinput.h"

#include <QRegularExpression>
#include <cmath>

namespace fee {

WorkbookInput WorkbookInput::fromTyped(const QString& typed)
{
    WorkbookInput in;
    if (typed.isEmpty())
        return in;
    if (typed.startsWith(u'\'')) {
        in.text = typed.mid(1);
        in.kind = in.text.isEmpty() ? Empty : Text;
        return in;
    }
    if (typed.size() > 1 && typed.startsWith(u'=')) {
        in.kind = Formula;
        in.text = typed;
        return in;
    }
    // Only plain decimal forms: QString::toDouble alone would also take "inf" and "nan".
    static const QRegularExpression number(
        QStringLiteral(R"(^ *([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?) *(%?) *$)"));
    const QRegularExpressionMatch m = number.match(typed);
    if (m.hasMatch()) {
        bool ok = false;
        double value = m.captured(1).toDouble(&ok);
        if (ok && std::isfinite(value)) {
            if (!m.captured(2).isEmpty()) {
                value /= 100;
                in.numberFormat = m.captured(1).contains(u'.') ? QStringLiteral("0.00%") : QStringLiteral("0%");
            }
            in.kind = Number;
            in.number = value == 0 ? 0.0 : value; // no negative zero
            return in;
        }
    }
    in.kind = Text;
    in.text = typed;
    return in;
}

} // namespace fee
