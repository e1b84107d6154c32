#pragma once

#include <QString>

namespace fee {

class WorkbookRange;

// Old road, going: the exports write values through workbookvalue.h.
// How the report exports hand a grid's cell texts to a sheet, the way the
// spreadsheet takes a text assigned to a cell.

// A grid text as the format "#0.00" shows it, for typing into a money cell:
// empty stays empty, a text that is no number is left as it is ("明细").
QString moneyTypedText(const QString& gridText);

// A "yyyy-mm-dd" text as a real date, so the cell sorts and computes like
// one; any other text (or a date the spreadsheet cannot hold) is typed in as
// it is. The cell's number format is the caller's.
void writeDateText(WorkbookRange cell, const QString& text);

} // namespace fee
