#pragma once

#include "core/grid/cellvalue.h"

namespace fee {

class WorkbookRange;

// Writes a report cell's value into a workbook cell by its kind, never by
// reading its text: money and counts as numbers, a rate as its fraction
// (shown "0.00%" unless the cell has a number format of its own), a date as
// a real date (a date the spreadsheet cannot hold, before 1900-03-01, as
// its text), a text as the spreadsheet takes typed text. The cell's number
// format otherwise stays the caller's.
void writeCellValue(WorkbookRange cell, const CellValue& value);

} // namespace fee
