#pragma once

#include <string>
#include <vector>

namespace fee::demo {

// Calendar day as a serial number (days since 1970-01-01), so the generator
// can add days and compare without a date library on its hot path.
using Day = long long;
// Charge period as a month count: year * 12 + (month - 1).
using Period = int;

Day dayOf(int year, int month, int day);
void splitDay(Day value, int& year, int& month, int& day);
inline Period periodOf(int year, int month) { return year * 12 + month - 1; }
inline Day firstDayOf(Period period) { return dayOf(period / 12, period % 12 + 1, 1); }
int daysInMonth(Period period);
std::string periodText(Period period); // "yyyymm"
std::string dayText(Day value); // "YYYY-MM-DD"
std::string dayTimeText(Day value, int secondsOfDay); // "YYYY-MM-DD HH:MM:SS"

// The fixed extent of the demo data, independent of today's date so a seed
// always yields the same file.
inline const Period kFirstPeriod = periodOf(2023, 1);
inline const Period kOldestArrearsPeriod = periodOf(2022, 1);
inline const Period kLastRegularPeriod = periodOf(2026, 12);
inline const Period kLastPrepaidPeriod = periodOf(2027, 12);
inline const Day kDataEnd = dayOf(2026, 12, 10);

enum class OfficeRole { Regular, ParkingOnly, Empty, Ended };

struct DemoOffice {
    std::string code;
    std::string name;
    std::string department;
    std::string estate;
    int kind = 0; // 商用物业: 0 residential, 1 commercial, 2 other
    OfficeRole role = OfficeRole::Regular;
    Period lastPeriod = kLastRegularPeriod;
    std::vector<std::string> cashiers;
    bool poorPayers = false; // most of its households pay late or stop paying
};

struct DemoFeeItem {
    std::string code;
    std::string name;
};

// Everything the later stages need from the earlier ones.
struct DemoWorld {
    std::vector<DemoOffice> offices;
    std::vector<std::string> paymentMethods;
    std::vector<DemoFeeItem> feeItems;
    const std::string& itemName(const std::string& code) const;
};

} // namespace fee::demo
