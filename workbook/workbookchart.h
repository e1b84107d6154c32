#pragma once

#include <QString>
#include <QVector>

namespace fee {

// One series of a workbook chart: its values and category labels are cell
// ranges of a worksheet, so the chart follows when a user edits a figure.
struct WorkbookChartSeries {
    QString name;
    QString sheet; // the worksheet holding the cells
    int categoryColumn = 1; // 1-based: the labels
    int valueColumn = 1;
    int firstRow = 1; // 1-based, inclusive
    int lastRow = 1;
};

// A native chart on a chart sheet of its own.
struct WorkbookChart {
    enum class Kind { Bar, StackedBar }; // horizontal bars
    Kind kind = Kind::Bar;
    QString sheetName;
    QString title;
    QString valueFormat; // number format of the value axis ("0%"); empty: the cells'
    QVector<WorkbookChartSeries> series;
};

// A worksheet name as a formula writes it before "!": always quoted, an
// apostrophe doubled.
QString quotedSheetName(const QString& sheet);

} // namespace fee
