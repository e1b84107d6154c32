#include "db/connectionsecrets.h"

#include "common/secretmask.h"

namespace fee {

namespace {

    struct Piece {
        QString raw; // as written
        QString value; // as meant
        qsizetype end = 0; // index of the ";" after it, or the text's size
    };

    // A value that starts at `start`: in apostrophes or double quotes (a
    // doubled quote stands for one), in braces (ODBC; "}}" stands for "}"),
    // or bare up to the next semicolon.
    Piece readValue(const QString& text, qsizetype start)
    {
        const qsizetype n = text.size();
        Piece piece;
        qsizetype p = start;
        const QChar open = p < n ? text.at(p) : QChar();
        if (open == QLatin1Char('\'') || open == QLatin1Char('"') || open == QLatin1Char('{')) {
            const QChar close = open == QLatin1Char('{') ? QChar(QLatin1Char('}')) : open;
            ++p;
            while (p < n) {
                if (text.at(p) == close) {
                    if (p + 1 < n && text.at(p + 1) == close) {
                        piece.value += close;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                piece.value += text.at(p++);
            }
            piece.raw = text.mid(start, p - start);
            piece.end = text.indexOf(QLatin1Char(';'), p);
        } else {
            piece.end = text.indexOf(QLatin1Char(';'), p);
            piece.raw = text.mid(p, (piece.end < 0 ? n : piece.end) - p).trimmed();
            piece.value = piece.raw;
        }
        if (piece.end < 0)
            piece.end = n;
        return piece;
    }

} // namespace

QStringList connectionSecrets(const QString& connectionString)
{
    QStringList found;
    const QString& text = connectionString;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (semi >= 0 && semi < eq) {
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        qsizetype start = eq + 1;
        while (start < n && text.at(start).isSpace())
            ++start;
        const Piece piece = readValue(text, start);
        if (key == QLatin1String("password") || key == QLatin1String("pwd")) {
            for (const QString& secret : { piece.value, piece.raw, piece.value.trimmed() }) {
                if (!secret.trimmed().isEmpty() && !found.contains(secret))
                    found.append(secret);
            }
        }
        i = piece.end + 1;
    }
    return found;
}

void rememberConnectionSecrets(const QString& connectionString)
{
    for (const QString& secret : connectionSecrets(connectionString))
        rememberSecret(secret);
}

} // namespace fee
