#pragma once

#include "core/grid/gridmodel.h"

#include <QByteArray>

namespace fee {

// The grid as CSV: UTF-8 without BOM, comma-separated, RFC 4180 quoting, one
// line per grid row (heading rows included), every column (hidden ones too),
// cell texts exactly as the grid holds them, lines ending in LF.
QByteArray gridToCsv(const GridModel& grid);

} // namespace fee
