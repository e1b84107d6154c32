#pragma once

#include <QString>

namespace fee {

// The program's version (the build's project version).
int versionMajor();
int versionMinor();
int versionPatch();

// "V" + major + "." + minor + "版": the login window's version caption.
QString loginVersionCaption();

// major + "." + minor + "." + patch
QString fullVersionText();

} // namespace fee
