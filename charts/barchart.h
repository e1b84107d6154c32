#pragma once

#include "core/chartdata.h"

#include <QSize>

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace fee {

// Height in pixels that gives every bar of a chart room for its label: the
// window scrolls a taller chart, a picture grows with it.
int barChartHeight(const ChartData& data);
// The size of a chart written to a file.
QSize barChartFileSize(const ChartData& data);

// The Qt chart of a chart's data: horizontal bars, the first bar at the top,
// grouped or stacked by the data's kind, a reference line when the data has
// one, texts in the report font's stand-in so that Chinese draws everywhere.
// A figure without a value gets no bar. The window and the files draw the
// same chart through this.
QChart* makeBarChart(const ChartData& data);

// Which bar of the data a Qt bar-set index stands for (the sets list the bars
// bottom-up).
inline int barOfSetIndex(const ChartData& data, int index) { return int(data.bars.size()) - 1 - index; }

} // namespace fee
