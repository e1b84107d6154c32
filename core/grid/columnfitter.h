#pragma once

#include <QHash>
#include <QString>
#include <QVector>

namespace fee {

class GridModel;

// Widens report columns to their texts while a run fills a grid: when the
// measured width of a cell's text plus the padding exceeds its column's
// width, the column takes that width. Each distinct text is measured once per
// font, so a run of 100,000 rows repeating the same few texts measures those
// few. One fitter serves one run on one thread; it measures with the grid's
// installed text measure and font.
class ColumnFitter {
public:
    static constexpr int kDefaultPadding = 90; // twips

    explicit ColumnFitter(int paddingTwips = kDefaultPadding);

    // Fits every column to its text in `row`.
    void fitRow(GridModel& grid, int row);
    // Fits one column to one of its cells.
    void fitCell(GridModel& grid, int row, int col);
    // Fits column c to texts[c], for texts not (yet) in the grid; texts past
    // the last column are ignored.
    void fitTexts(GridModel& grid, const QVector<QString>& texts);
    // Fits the shown columns to the texts of rows first to last as a view
    // shows them: a hidden column (width 0) stays hidden, and in a grid
    // without word wrap a line break shows as a blank. For a report grid
    // whose figures are known once its run has ended.
    void fitShownRows(GridModel& grid, int first, int last);

    // The width of a text in twips in the grid's font, measured at most once.
    int textWidth(const GridModel& grid, const QString& text);
    // How many texts the fitter has measured since it was made or cleared
    // (each distinct text once per font).
    int measurements() const { return m_measurements; }
    // Forgets every measured width (another text measure was installed).
    void clear();

private:
    QHash<QString, int>& widthsFor(const GridModel& grid);

    int m_padding;
    QHash<QString, QHash<QString, int>> m_widths; // font -> text -> twips
    int m_measurements = 0;
};

} // namespace fee
