#include "core/grid/columnfitter.h"

#include "core/grid/gridmodel.h"

namespace fee {

ColumnFitter::ColumnFitter(int paddingTwips)
    : m_padding(paddingTwips)
{
}

QHash<QString, int>& ColumnFitter::widthsFor(const GridModel& grid)
{
    return m_widths[grid.fontName() + QLatin1Char('/') + QString::number(grid.fontSize())];
}

int ColumnFitter::textWidth(const GridModel& grid, const QString& text)
{
    QHash<QString, int>& widths = widthsFor(grid);
    const auto known = widths.constFind(text);
    if (known != widths.constEnd())
        return *known;
    const int width = grid.measureText(text);
    ++m_measurements;
    widths.insert(text, width);
    return width;
}

void ColumnFitter::fitTexts(GridModel& grid, const QVector<QString>& texts)
{
    QHash<QString, int>& widths = widthsFor(grid);
    const QVector<int> columns = grid.colWidths();
    const int count = std::min(int(texts.size()), int(columns.size()));
    for (int c = 0; c < count; ++c) {
        const QString& text = texts[c];
        auto known = widths.constFind(text);
        if (known == widths.constEnd()) {
            known = widths.insert(text, grid.measureText(text));
            ++m_measurements;
        }
        const int wanted = *known + m_padding;
        if (wanted > columns[c])
            grid.setColWidth(c, wanted);
    }
}

void ColumnFitter::fitRow(GridModel& grid, int row) { fitTexts(grid, grid.rowTexts(row)); }

void ColumnFitter::fitCell(GridModel& grid, int row, int col)
{
    const int wanted = textWidth(grid, grid.text(row, col)) + m_padding;
    if (wanted > grid.colWidth(col))
        grid.setColWidth(col, wanted);
}

void ColumnFitter::fitShownRows(GridModel& grid, int first, int last)
{
    const bool wrapped = grid.wordWrap();
    QVector<int> wanted = grid.colWidths();
    const QVector<int> widths = wanted;
    last = std::min(last, grid.rows() - 1);
    for (int r = std::max(0, first); r <= last; ++r) {
        const QVector<QString> texts = grid.rowTexts(r);
        for (int c = 0; c < std::min(int(texts.size()), int(wanted.size())); ++c) {
            if (widths[c] <= 0 || texts[c].isEmpty())
                continue;
            QString shown = texts[c];
            if (!wrapped && (shown.contains(u'\r') || shown.contains(u'\n'))) {
                shown.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
                shown.replace(u'\n', u' ');
                shown.replace(u'\r', u' ');
            }
            wanted[c] = std::max(wanted[c], textWidth(grid, shown) + m_padding);
        }
    }
    for (int c = 0; c < wanted.size(); ++c) {
        if (wanted[c] > widths[c])
            grid.setColWidth(c, wanted[c]);
    }
}

void ColumnFitter::clear()
{
    m_widths.clear();
    m_measurements = 0;
}

} // namespace fee
