#pragma once

#include <QString>
#include <QStringList>

namespace fee {

// A value between apostrophes with every apostrophe doubled: the one way a
// value enters a statement.
QString sqlQuote(const QString& value);

// Quoted values joined by "," with no blank: 'a','b'
QString sqlQuoteList(const QStringList& values);

} // namespace fee
