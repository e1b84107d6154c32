#include "db/connectionscanner.h"

#include <QRegularExpression>

namespace fee {

namespace {

    using Problem = ConnectionPiece::Problem;

    // Where a bare value ends: the next semicolon, or the end.
    qsizetype bareEnd(const QString& text, qsizetype from)
    {
        const qsizetype semi = text.indexOf(QLatin1Char(';'), from);
        return semi < 0 ? text.size() : semi;
    }

    // An OLE DB value in quotes starting at `start`; returns where the next
    // piece starts.
    qsizetype quotedValue(const QString& text, qsizetype start, ConnectionPiece& piece)
    {
        const qsizetype n = text.size();
        const QChar quote = text.at(start);
        qsizetype p = start + 1;
        bool closed = false;
        while (p < n) {
            if (text.at(p) == quote) {
                if (p + 1 < n && text.at(p + 1) == quote) {
                    piece.value += quote;
                    p += 2;
                    continue;
                }
                closed = true;
                ++p;
                break;
            }
            piece.value += text.at(p++);
        }
        piece.written = text.mid(start, p - start);
        if (!closed) {
            piece.problem = Problem::UnclosedQuote;
            return n;
        }
        const qsizetype end = bareEnd(text, p);
        if (!text.mid(p, end - p).trimmed().isEmpty())
            piece.problem = Problem::TextAfterQuote;
        return end + 1;
    }

    // An ODBC value in braces starting at `start`.
    qsizetype bracedValue(const QString& text, qsizetype start, ConnectionPiece& piece)
    {
        const qsizetype n = text.size();
        qsizetype close = start + 1;
        while (close < n && !(text.at(close) == QLatin1Char('}') && (close + 1 == n || text.at(close + 1) == u';')))
            ++close;
        piece.value = text.mid(start + 1, close - start - 1);
        piece.written = text.mid(start, qMin(close + 1, n) - start);
        if (close >= n)
            piece.problem = Problem::UnclosedQuote;
        return close + 2;
    }

} // namespace

ConnectionDialect dialectOf(const QString& text)
{
    static const QRegularExpression kDriverKey(
        QStringLiteral("(^|;)\\s*(driver|dsn|filedsn)\\s*="), QRegularExpression::CaseInsensitiveOption);
    return text.contains(kDriverKey) ? ConnectionDialect::Odbc : ConnectionDialect::OleDb;
}

QList<ConnectionPiece> scanConnectionString(const QString& text, ConnectionDialect dialect)
{
    QList<ConnectionPiece> pieces;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype end = bareEnd(text, i);
        if (eq < 0 || end < eq) {
            if (!text.mid(i, end - i).trimmed().isEmpty()) {
                ConnectionPiece piece;
                piece.problem = Problem::NoEquals;
                pieces.append(piece);
            }
            i = end + 1;
            continue;
        }
        ConnectionPiece piece;
        piece.key = text.mid(i, eq - i).trimmed().toLower();
        if (piece.key.isEmpty())
            piece.problem = Problem::EmptyKey;
        qsizetype p = eq + 1;
        while (p < n && text.at(p).isSpace())
            ++p;
        const QChar first = p < n ? text.at(p) : QChar();
        qsizetype next = 0;
        if (dialect == ConnectionDialect::OleDb && (first == QLatin1Char('\'') || first == QLatin1Char('"'))) {
            next = quotedValue(text, p, piece);
        } else if (dialect == ConnectionDialect::Odbc && first == QLatin1Char('{')) {
            next = bracedValue(text, p, piece);
        } else {
            const qsizetype valueEnd = bareEnd(text, p);
            piece.value = text.mid(p, valueEnd - p).trimmed();
            next = valueEnd + 1;
        }
        // An empty key is a problem of its own; what the value scan found
        // stays visible otherwise.
        if (piece.key.isEmpty())
            piece.problem = Problem::EmptyKey;
        pieces.append(piece);
        i = next;
    }
    return pieces;
}

} // namespace fee
