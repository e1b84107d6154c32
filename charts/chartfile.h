#pragma once

#include "core/chartdata.h"

#include <QString>

namespace fee {

// The kinds of picture a chart is written as, by the file name's extension.
bool isChartFileName(const QString& fileName); // .png, .svg or .pdf, any case

// Writes the chart the window shows as a picture: PNG, SVG or PDF by the
// name's extension, at barChartFileSize(). The file appears only complete (a
// failure leaves an existing one as it was). Throws Failure(kErrFile) for an
// unknown extension or a file that cannot be written. Needs a
// QGuiApplication (the fonts), no widgets.
void writeChartFile(const ChartData& data, const QString& fileName);

} // namespace fee
