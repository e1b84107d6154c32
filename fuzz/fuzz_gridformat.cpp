// The grid's format strings: GridModel::setFormatString on a grid of some
// shape, then everything read back from it: the headings, alignments and
// widths, the cells and the merged blocks the heading row makes.

#include "core/grid/gridmodel.h"
#include "fuzzsupport.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Bytes bytes(data, size);
    const uint8_t shape = bytes.byte();
    const uint8_t merge = bytes.byte();
    const QString format = bytes.restAsText();

    fee::GridModel grid;
    grid.setRows(shape & 3); // 0 to 3 rows
    grid.setCols((shape >> 2) & 7); // 0 to 7 columns
    grid.setFixedRows(std::min(grid.rows(), (shape >> 5) & 1));
    grid.setFixedCols(std::min(grid.cols(), (shape >> 6) & 1));
    grid.setMergeCells(merge % 5);
    grid.setWordWrap(merge & 8);
    const int colsBefore = grid.cols();

    grid.setFormatString(format);

    const QStringList parts = format.split(u'|');
    fuzz::check(grid.cols() == std::max<int>(colsBefore, int(parts.size())), "one column per part", format);
    fuzz::check(grid.rows() >= 1, "the heading row exists", format);
    if (merge & 16)
        grid.setMergeRow(0, true);
    for (int c = 0; c < parts.size(); ++c) {
        const QString& part = parts.at(c);
        const QChar mark = part.isEmpty() ? QChar() : part.at(0);
        const bool marked = mark == u'<' || mark == u'^' || mark == u'>';
        const QString heading = marked ? part.mid(1) : part;
        const int align = mark == u'<' ? fee::AlignLeft
            : mark == u'^'             ? fee::AlignCenter
            : mark == u'>'             ? fee::AlignRight
                                       : fee::AlignGeneral;
        fuzz::check(grid.text(0, c) == heading, "the heading is the part after its mark", format);
        fuzz::check(grid.colAlignment(c) == align, "the mark gives the alignment", format);
        fuzz::check(grid.colWidth(c) == grid.measureText(heading) + fee::GridModel::kFormatPadding,
            "the width is the heading's", format);
        fuzz::check(grid.colWidth(c) > 0, "a column has a width", format);
        if (merge & 32)
            grid.setMergeCol(c, true);
        const std::optional<fee::GridCell> cell = grid.cell(0, c);
        fuzz::check(cell.has_value(), "a heading cell exists", format);
        fuzz::check(grid.mergedSpan(0, c).contains(c, 0), "a cell lies in its own span", format);
    }
    fuzz::check(grid.rowTexts(0).size() == grid.cols(), "a row has a text per column", format);
    for (const QRect& block : grid.mergedBlocks())
        fuzz::check(block.left() >= 0 && block.right() < grid.cols() && block.top() >= 0 && block.bottom() < grid.rows()
                && block.width() * block.height() > 1,
            "a merged block lies in the grid", format);
    grid.mergedBlocks(0, grid.rows() - 1);

    // A copy reads the same.
    const fee::GridModel copy(grid);
    for (int c = 0; c < grid.cols(); ++c)
        fuzz::check(copy.text(0, c) == grid.text(0, c) && copy.colWidth(c) == grid.colWidth(c), "a copy reads the same",
            format);
    return 0;
}
