#pragma once

#include "workbook/workbookarea.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace fee {

class WorkbookSheet;

// A handle on a rectangle of a sheet, like the spreadsheet's Range: every
// operation applies to all of its cells. Failures throw Failure(kErrWorkbook).
class WorkbookRange {
public:
    WorkbookRange(WorkbookSheet& sheet, const WorkbookArea& area)
        : m_sheet(&sheet)
        , m_area(area)
    {
    }

    const WorkbookArea& area() const { return m_area; }
    QString address() const { return m_area.address(); }
    WorkbookSheet& sheet() const { return *m_sheet; }

    // Value: a text as typed input ("=" formula, "'" text, numbers, "12.50%").
    WorkbookRange& setValue(const QString& typed);
    WorkbookRange& setNumber(double value);
    // A number shown in `defaultFormat` unless the cell has a number format
    // of its own (what typing "12.50%" into a cell does).
    WorkbookRange& setNumber(double value, const QString& defaultFormat);
    // Stored as text whatever it looks like.
    WorkbookRange& setText(const QString& text);
    // Serial date number with no format of its own (set one with setNumberFormat).
    WorkbookRange& setDate(const QDate& date);
    // A formula with the value it computes to, saved with it for readers that do
    // not recalculate: a double, a QString ("" for an empty-text result), or an
    // invalid QVariant to leave the calculation to the reader.
    WorkbookRange& setFormula(const QString& formula, const QVariant& result = {});

    // The sheet's cell value of the top-left cell (see WorkbookSheet::value).
    QVariant value() const;

    WorkbookRange& merge();
    WorkbookRange& unmerge();
    WorkbookRange& setMergeCells(bool merged) { return merged ? merge() : unmerge(); }
    // -4108 / 3 centre, -4131 / 2 left, -4152 / 4 right, 1 general (the default).
    WorkbookRange& setHorizontalAlignment(int code);
    // -4108 / 2 centre, -4160 / 1 top, -4107 / 3 bottom, 5 distributed.
    WorkbookRange& setVerticalAlignment(int code);
    WorkbookRange& setNumberFormat(const QString& format);
    WorkbookRange& setFontName(const QString& name);
    WorkbookRange& setFontSize(double points);
    WorkbookRange& setFontBold(bool bold);
    WorkbookRange& setWrapText(bool wrap);
    // Blue-green-red colour number: 16761024 is RGB(192, 192, 255).
    WorkbookRange& setInteriorColor(int bgr);
    // 1 thin continuous lines on every edge of every cell; -4142 none.
    WorkbookRange& setBorderLineStyle(int lineStyle);
    // Character units, for every column of the range.
    WorkbookRange& setColumnWidth(double width);
    // Values, formats and merges.
    WorkbookRange& clear();

private:
    WorkbookSheet* m_sheet;
    WorkbookArea m_area;
};

} // namespace fee
