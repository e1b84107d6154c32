#include "cli/demodb/demodbmodel.h"

#include <cstdio>

namespace fee::demo {

// Days-from-civil and its inverse (proleptic Gregorian calendar).
Day dayOf(int year, int month, int day)
{
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<Day>(era) * 146097 + dayOfEra - 719468;
}

void splitDay(Day value, int& year, int& month, int& day)
{
    value += 719468;
    const long long era = (value >= 0 ? value : value - 146096) / 146097;
    const long long dayOfEra = value - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int daysInMonth(Period period) { return static_cast<int>(firstDayOf(period + 1) - firstDayOf(period)); }

std::string periodText(Period period)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d", period / 12, period % 12 + 1);
    return buffer;
}

std::string dayText(Day value)
{
    int year, month, day;
    splitDay(value, year, month, day);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return buffer;
}

std::string dayTimeText(Day value, int secondsOfDay)
{
    if (secondsOfDay <= 0)
        return dayText(value);
    char buffer[16];
    std::snprintf(
        buffer, sizeof buffer, " %02d:%02d:%02d", secondsOfDay / 3600, secondsOfDay / 60 % 60, secondsOfDay % 60);
    return dayText(value) + buffer;
}

const std::string& DemoWorld::itemName(const std::string& code) const
{
    for (const DemoFeeItem& item : feeItems)
        if (item.code == code)
            return item.name;
    static const std::string kNone;
    return kNone;
}

} // namespace fee::demo
