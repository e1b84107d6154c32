#include "reports/daily/dailycellvalues.h"

namespace fee {

CellValue dailyMoney(const std::optional<Amount>& value)
{
    return value ? CellValue::fromMoney(value->cents()) : CellValue();
}

qint64 dailyCents(const std::optional<Amount>& value) { return value ? value->cents() : 0; }

CellValue dailyDate(const DayAndTime& value) { return CellValue::fromDate(value.day); }

bool isZeroDate(const DayAndTime& value) { return value.day == QDate(1900, 1, 1) && value.time == QTime(0, 0); }

CellValue dailyDateTime(const DayAndTime& value) { return CellValue::fromDateTime(value.day, value.time); }

} // namespace fee
