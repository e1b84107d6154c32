#include "core/csv.h"

namespace fee {

namespace {

    void appendField(QByteArray& out, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        const bool quote = utf8.contains(',') || utf8.contains('"') || utf8.contains('\r') || utf8.contains('\n');
        if (!quote) {
            out += utf8;
            return;
        }
        out += '"';
        for (char ch : utf8) {
            if (ch == '"')
                out += '"';
            out += ch;
        }
        out += '"';
    }

} // namespace

QByteArray gridToCsv(const GridModel& grid)
{
    QByteArray out;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            if (c > 0)
                out += ',';
            appendField(out, grid.text(r, c));
        }
        out += '\n';
    }
    return out;
}

} // namespace fee
