#pragma once

#include <QPoint>
#include <QString>

namespace fee {
class GridView;
}

// What a person sees of a report grid on the screen, read from the widgets
// in process after real input.
namespace gridsight {

enum class Part { Heading, Column, Corner, Body };

// A point (global coordinates) in the middle of one part of the grid:
// the frozen heading rows, the frozen columns below them, the corner where
// they meet, the scrolling body. A null point when the grid has no such part.
QPoint pointIn(const fee::GridView* view, Part part);

// Empty when the frozen parts show what they should: at every point of the
// heading strip a heading row, at every point of the frozen columns a frozen
// column of the very row the body shows beside it. Otherwise what is wrong.
QString frozenPartsProblem(const fee::GridView* view);

// Empty when every cell text in sight fits its cell, or else is shown
// elided with its whole text as the cell's tooltip. With `elisionAllowed`
// false, a text of the body that does not fit is a problem even when elided
// (the report widens its columns to their texts).
QString cutTextProblem(const fee::GridView* view, bool elisionAllowed);

// The number of the row shown at the top of the body, under the headings.
int firstBodyRowInSight(const fee::GridView* view);

} // namespace gridsight
