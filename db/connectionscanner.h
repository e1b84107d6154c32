#pragma once

#include <QList>
#include <QString>

namespace fee {

// How a connection string writes its values. OLE DB (the stored settings'
// form) puts a value in apostrophes or double quotes, a doubled quote inside
// standing for one. ODBC ("Driver=...") puts it in braces, read as the
// FreeTDS driver reads them: up to the first "}" followed by ";" or the end.
// Otherwise a value runs to the next semicolon, blanks around it trimmed.
enum class ConnectionDialect { OleDb, Odbc };

// One "key=value" piece of a connection string. The parser and the password
// masking both read a string through scanConnectionString(), so they never
// disagree on where a value starts and ends.
struct ConnectionPiece {
    enum class Problem {
        None,
        NoEquals, // a piece that is not blank and has no "="
        EmptyKey,
        UnclosedQuote, // the value is then the rest of the string
        TextAfterQuote, // something other than blanks between the closing quote and ";"
    };
    QString key; // trimmed, lower-cased
    QString value; // as meant: quotes undone, braces taken off
    QString written; // as written when quoted or braced (quotes or braces included), else empty
    Problem problem = Problem::None;
};

// ODBC when the string names a driver, a DSN or a file DSN.
ConnectionDialect dialectOf(const QString& text);

// Every piece in order, blank pieces left out; never throws. A piece with a
// problem is still listed, read as far as it can be.
QList<ConnectionPiece> scanConnectionString(const QString& text, ConnectionDialect dialect);

} // namespace fee
