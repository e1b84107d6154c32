#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace fee {

// Turns a run of consecutive month codes (yyyymm) starting at parts[i] into
// "first-last" (or "first" alone); a part that is no month comes back as it
// is. Leaves i on the last part the run took in.
QString MergeMonthRun(const QStringList& parts, int& i);

// The 摘要 cell of a detail list: NULL shows nothing; a text without a comma
// shows as "[text]"; a comma list as its pieces, each in brackets, joined by
// ",", with runs of consecutive months merged ("202401,202402,202403,202405,"
// shows "[202401-202403],[202405]"). A last part after the last comma that
// no run took in shows as a piece of its own unless it is empty.
QString receiptsRemarkText(const std::optional<QString>& remark);

} // namespace fee
