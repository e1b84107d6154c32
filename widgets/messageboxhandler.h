#pragma once

namespace fee {

// Routes every fee::showBox request to a modal QMessageBox over the active window.
void installMessageBoxHandler();

} // namespace fee
