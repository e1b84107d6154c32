#pragma once

#include <QString>
#include <functional>

namespace fee {

// Things a user should know that are not failures: the link to the server
// is encrypted but its certificate not checked, a run used fewer connections
// than it would have. The command-line tool writes them to standard error,
// the windows to their status bar. Passwords are masked before anyone sees
// the text (core/secretmask.h).

using NoticeHandler = std::function<void(const QString& text)>;
// Replaces the handler (empty: the default). Safe from any thread; the
// handler is called on the thread that gives the notice.
void setNoticeHandler(NoticeHandler handler);
// Without a handler the text goes to standard error, on a line of its own.
void notice(const QString& text);

} // namespace fee
