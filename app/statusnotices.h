#pragma once

namespace fee {

// Routes the program's notices (core/notices.h) to the report windows'
// status bars (a passing message over their panels), and to standard error. A notice given while
// no status bar is open (the connection opened at start-up) waits for the
// first one that shows. Call once, from the GUI thread, with the application
// made; notices may then come from any thread.
void installStatusNotices();

} // namespace fee
