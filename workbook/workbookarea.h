#pragma once

#include <QString>

namespace fee {

// A rectangle of cells, 1-based and inclusive. Whole rows ("4:5") and whole
// columns ("A:C") are marked so that operations on them do not touch every
// one of the sheet's cells.
struct WorkbookArea {
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxCols = 16384;

    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
    bool wholeRows = false;
    bool wholeCols = false;

    bool contains(int row, int col) const { return row >= top && row <= bottom && col >= left && col <= right; }
    bool intersects(const WorkbookArea& o) const
    {
        return o.top <= bottom && top <= o.bottom && o.left <= right && left <= o.right;
    }
    bool isSingleCell() const { return top == bottom && left == right; }
    // "A1" or "A4:AL5"
    QString address() const;

    // Throw Failure(kErrWorkbook) for numbers outside the sheet.
    static WorkbookArea cell(int row, int col);
    static WorkbookArea cells(int top, int left, int bottom, int right);
    static WorkbookArea rows(int first, int last);
    static WorkbookArea columns(int first, int last);
    // "A1", "$A$1", "a4:al5", "4:5", "A:C"; throws Failure(kErrWorkbook) when the text is no address.
    static WorkbookArea parse(const QString& address);
    // The smallest area holding both.
    static WorkbookArea span(const WorkbookArea& a, const WorkbookArea& b);
};

// 1 -> "A", 27 -> "AA", 38 -> "AL"
QString columnLetters(int col);

} // namespace fee
