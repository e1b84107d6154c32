#include "workbook/workbookvalue.h"

#include "workbook/workbookrange.h"

namespace fee {

void writeCellValue(WorkbookRange cell, const CellValue& value)
{
    switch (value.kind()) {
    case CellValue::Kind::Empty:
        cell.setValue(QString());
        return;
    case CellValue::Kind::Money:
    case CellValue::Kind::Count:
        cell.setNumber(value.number());
        return;
    case CellValue::Kind::Rate:
        cell.setNumber(double(value.rateHundredths()) / 10000, QStringLiteral("0.00%"));
        return;
    case CellValue::Kind::Date:
        if (value.date() >= QDate(1900, 3, 1) && value.date() <= QDate(9999, 12, 31))
            cell.setDate(value.date());
        else
            cell.setText(value.text());
        return;
    case CellValue::Kind::DateTime:
        if (value.time() == QTime(0, 0) && value.date() >= QDate(1900, 3, 1) && value.date() <= QDate(9999, 12, 31))
            cell.setDate(value.date());
        else
            cell.setText(value.text());
        return;
    case CellValue::Kind::Text:
        cell.setValue(value.string());
        return;
    }
}

} // namespace fee
