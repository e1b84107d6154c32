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

// The text with every remembered secret, and the value of every
// "Password=..." or "PWD=..." piece, replaced by "******".
QString withoutSecrets(const QString& text);

// Routes Qt's messages (warnings of drivers and plugins) through
// withoutSecrets() before the handler that was installed so far.
void installSecretMaskingMessageHandler();

} // namespace fee
