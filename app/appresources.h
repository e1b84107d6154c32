#pragma once

namespace fee {

// Registers the pictures compiled into the program (banner, login, icons).
void initAppResources();

} // namespace fee
