#pragma once

#include <QString>

namespace fee {

// The 摘要 of a receipt line as the daily list shows it: runs of consecutive
// billing months in a comma-separated list are written as first-last
// ("202301,202302,202303" gives "202301-202303"); other elements stay as they
// are, empty ones are dropped, and a text without a comma is returned as it is.
QString compactPeriodList(const QString& text);

} // namespace fee
