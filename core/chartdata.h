#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace fee {

// One bar of a chart: a grid row's label (an office) and its figures, one per
// series. A figure the grid leaves empty has no value: it is not drawn, rather
// than drawn as 0.
struct ChartBar {
    QString label;
    int gridRow = -1; // the grid row a click on the bar goes to
    QVector<std::optional<double>> values; // one per series
    QVector<QString> texts; // one per series, as the grid shows the figure
    // The grid rows each figure adds up (one row for a figure read off one
    // cell), so that a workbook chart can point at the cells behind it.
    QVector<QVector<int>> sources;
};

// What a bar chart shows, read off a report grid; no drawing and no widgets,
// so that the window, the command line and the tests share it.
struct ChartData {
    enum class Kind { Grouped, Stacked };
    Kind kind = Kind::Grouped;
    QString title;
    QStringList series; // names, in drawing order
    QString unit; // appended to the value axis' numbers, e.g. "%"
    QVector<ChartBar> bars; // in the grid's order, top to bottom
    // A whole-company figure drawn as a line across the bars.
    std::optional<double> reference;
    QString referenceLabel;
    int referenceRow = -1;

    bool isEmpty() const { return bars.isEmpty(); }
};

// A figure as the grid shows it ("12.50%", "5880.00", "-3.20") read as a
// number; nothing for an empty cell or a text that is not a number.
std::optional<double> chartValue(const QString& text);

} // namespace fee
