#pragma once

#include <QString>

namespace fee::bench {

// The demo database a benchmark runs on: when no file is at path, made with
// the command line's generator (demo-db PATH --offices N --rooms N), saying
// on standard output "creating PATH (what)..." ("N offices, N rooms each"
// unless what is given). False, said on standard error, when it could not be
// made.
bool ensureDemoDatabase(const QString& path, const QString& offices, const QString& rooms, const QString& what = {});

} // namespace fee::bench
