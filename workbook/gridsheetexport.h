#pragma once

#include "core/grid/gridmodel.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>

namespace fee {

class WorkbookSheet;

// What goes into the sheet besides the grid.
struct GridSheetOptions {
    QString title; // A1
    QString tagText; // A2: the caller's second heading line (a date range)
    QString sheetName;
    QVector<int> columns; // the source columns to write, in grid order
    QDate printDate; // A3 "打印日期：yyyy年mm月dd日"; today when not set
    // Told each grid row once its cells are in the sheet (on the thread
    // that fills it), for a progress display.
    std::function<void(int row)> rowWritten;
};

// A report grid written as one worksheet: a three-line heading, the grid's
// rows (heading rows included) from row 4, widths, borders, fonts, and the
// repeated two-level headings merged. Used by the export dialog and by the
// command line, which writes every column.
class GridSheetExport {
public:
    // The column's heading as the column chooser shows it: the row-0 text;
    // with exactly two fixed rows whose texts differ (blanks around them
    // aside), the row-0 text + "(" + the row-1 text + ")".
    static QString columnHeading(const GridModel& grid, int col);
    // The columns with a heading: a fresh chooser ticks these, and the
    // command line writes them.
    static QVector<int> exportableColumns(const GridModel& grid);

    // Fills an empty sheet. Throws Failure (kErrInvalidArgument when no
    // column is chosen or one is outside the grid, kErrWorkbook for what
    // the sheet refuses).
    static void fill(WorkbookSheet& sheet, const GridModel& grid, const GridSheetOptions& options);

    // The file written for a chosen name: the name itself when the file
    // exists or ends in ".xlsx" / ".xlsm"; otherwise the workbook is new and
    // gets the ".xlsx" it is written as (".xls" is replaced, any other
    // ending kept before it).
    static QString workbookFileName(const QString& chosenName);

    // Puts the sheet into the workbook file: an existing workbook keeps all
    // its other sheets and parts and gets the sheet added after the last one
    // or, when a worksheet has exactly this name, in its place; a missing
    // file is created holding only this sheet. The file changes only as a
    // whole (written beside it and renamed): a failure leaves it untouched.
    // Returns the file name written. Throws Failure (kErrFile for files that
    // cannot be read or written, a legacy .xls among them).
    static QString write(const GridModel& grid, const GridSheetOptions& options, const QString& chosenName);
};

} // namespace fee
