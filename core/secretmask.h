#pragma once

#include <QString>

namespace fee {

// Passwords stay out of everything the programs show or print: message
// boxes, the status bar, standard error, Qt's warnings. Every connection
// string the program is given leaves its password here (db/connectionsecrets.h),
// and the places that show or print text pass it through withoutSecrets().
// Report contents (grids, CSV, workbooks, printouts) are never masked: a
// figure that happens to read like a password is still the figure.

// Adds a text to be masked from now on (empty text is ignored). Safe from
// any thread.
void rememberSecret(const QString& secret);

// The text with the value of every "Password=..." or "PWD=..." piece (a
// connection string, or a driver's message quoting one) replaced by
// "******", and every remembered secret long enough to be told apart from
// ordinary text (isDistinctSecret()) wherever it stands. A short password
// ("sa", "1") is masked only as such a value: masked anywhere, it would
// mangle unrelated words and numbers of the message.
QString withoutSecrets(const QString& text);

// Whether a secret is masked wherever it stands: six characters or more, a
// character outside ASCII counting as two.
bool isDistinctSecret(const QString& secret);

// Routes Qt's messages (warnings of drivers and plugins) through
// withoutSecrets() before the handler that was installed so far.
void installSecretMaskingMessageHandler();

} // namespace fee
