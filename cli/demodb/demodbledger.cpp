#include "cli/demodb/demodbledger.h"

#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbreceipts.h"
#include "cli/demodb/demodbwriter.h"

#include <algorithm>
#include <map>

namespace fee::demo {

namespace {

    struct Charge {
        Period period = 0;
        const MonthlyCharge* fee = nullptr;
        long long cents = 0;
        long long income = 0;
        Day paid = 0; // 0: not collected
        int seconds = 0;
        Day refunded = 0;
        Day entered = 0; // zj_bdrq
        Day stopFrom = 0; // zj_jzrq
        Day stopTo = 0; // zj_tzrq
        bool waived = false;
        std::string cashier;
        std::string method;
        ReceiptNumber receipt;
        bool blankReceipt = false; // '' instead of NULL in both receipt columns
    };

    // Income net of a 6% tax, rounded to the cent.
    long long incomeOf(long long cents) { return (cents * 100 + 53) / 106; }

    class AccountLedger {
    public:
        AccountLedger(DemoRandom& random, const DemoAccount& account)
            : m_random(random)
            , m_account(account)
        {
        }

        std::vector<Charge> bill()
        {
            Period last = m_account.lastPeriod;
            if (m_account.habit == PayerHabit::Prepaid && last == kLastRegularPeriod)
                last = kLastPrepaidPeriod;
            if (m_account.habit == PayerHabit::Annual && last == kLastRegularPeriod && m_random.chance(0.5))
                last = kLastPrepaidPeriod;
            std::vector<Charge> charges;
            for (Period p = m_account.firstPeriod; p <= last; ++p) {
                for (const MonthlyCharge& fee : m_account.charges) {
                    Charge charge;
                    charge.period = p;
                    charge.fee = &fee;
                    charge.cents = fee.cents;
                    charge.income = incomeOf(fee.cents);
                    charges.push_back(charge);
                }
            }
            collect(charges);
            return charges;
        }

    private:
        Day someDayOf(Period period) { return firstDayOf(period) + m_random.between(0, daysInMonth(period) - 1); }

        void pay(std::vector<Charge>& charges, Period from, Period to, Day day)
        {
            if (day > kDataEnd)
                return;
            for (Charge& charge : charges)
                if (charge.period >= from && charge.period <= to && !charge.paid)
                    charge.paid = day;
        }

        // Pays the earliest open months billed before the day of payment.
        void payOldest(std::vector<Charge>& charges, int months, Day day)
        {
            int year, month, dayOfMonth;
            splitDay(day, year, month, dayOfMonth);
            for (Period p = charges.front().period; p < periodOf(year, month) && months > 0; ++p) {
                const auto open = std::find_if(
                    charges.begin(), charges.end(), [&](const Charge& c) { return c.period == p && !c.paid; });
                if (open == charges.end())
                    continue;
                pay(charges, p, p, day);
                --months;
            }
        }

        void unpay(std::vector<Charge>& charges, Period period)
        {
            for (Charge& charge : charges)
                if (charge.period == period)
                    charge.paid = 0;
        }

        void collect(std::vector<Charge>& charges)
        {
            if (charges.empty())
                return;
            const Period first = charges.front().period;
            const Period last = charges.back().period;
            switch (m_account.habit) {
            case PayerHabit::Prompt:
                for (Period p = first; p <= last; ++p)
                    pay(charges, p, p, firstDayOf(p) + m_random.between(0, 40));
                break;
            case PayerHabit::Annual:
                for (int year = first / 12; year <= last / 12; ++year) {
                    // Most pay the coming year in December, the others early in the year.
                    const Day day = m_random.chance(0.6)
                        ? dayOf(year - 1, 12, static_cast<int>(m_random.between(1, 28)))
                        : someDayOf(periodOf(year, static_cast<int>(m_random.between(1, 3))));
                    pay(charges, std::max(first, periodOf(year, 1)), std::min(last, periodOf(year, 12)),
                        std::min(day, kDataEnd));
                }
                break;
            case PayerHabit::Late:
                for (Period p = first; p <= last;) {
                    const Period until = std::min(last, p + static_cast<Period>(m_random.between(1, 5)));
                    pay(charges, p, until, someDayOf(until + static_cast<Period>(m_random.between(0, 2))));
                    // A disputed month inside a lump stays open.
                    if (until - p >= 2 && m_random.chance(0.15))
                        unpay(charges, until - 1);
                    p = until + 1;
                }
                break;
            case PayerHabit::Defaulter: {
                // Accounts billed before the ledger's first full year stopped
                // paying early and never came back: the long-standing arrears.
                const bool hopeless = first < kFirstPeriod;
                const Period stop
                    = first + static_cast<Period>(m_random.between(3, hopeless ? 11 : std::max(4, last - first - 2)));
                for (Period p = first; p < stop; ++p)
                    pay(charges, p, p, firstDayOf(p) + m_random.between(0, 40));
                // Now and then the oldest arrears are paid in one go.
                const int lumps = hopeless ? 0 : static_cast<int>(m_random.between(0, 4));
                const Day from = std::max(firstDayOf(stop + 2), dayOf(2025, 1, 1));
                std::vector<Day> days;
                for (int i = 0; i < lumps && from < kDataEnd; ++i)
                    days.push_back(m_random.between(from, kDataEnd));
                std::sort(days.begin(), days.end());
                for (Day day : days)
                    payOldest(charges, static_cast<int>(m_random.between(1, 6)), day);
                // Collection drives at the end of the year bring some of them
                // back in the data's last month.
                const Day driveStart = std::max(from, dayOf(2026, 12, 1));
                if (!hopeless && driveStart <= kDataEnd && m_random.chance(0.4))
                    payOldest(
                        charges, static_cast<int>(m_random.between(1, 4)), m_random.between(driveStart, kDataEnd));
                break;
            }
            case PayerHabit::Prepaid: {
                const Period switchAt = std::max(first, periodOf(2026, 6));
                for (Period p = first; p < switchAt; ++p)
                    pay(charges, p, p, firstDayOf(p) + m_random.between(0, 30));
                pay(charges, switchAt, last, m_random.between(firstDayOf(switchAt), dayOf(2026, 11, 30)));
                break;
            }
            case PayerHabit::Developer:
                if (m_random.chance(0.1))
                    for (int year = first / 12; year <= last / 12; ++year)
                        pay(charges, std::max(first, periodOf(year, 1)), std::min(last, periodOf(year, 12)),
                            dayOf(year, 12, static_cast<int>(m_random.between(1, 9))));
                break;
            }
        }

        DemoRandom& m_random;
        const DemoAccount& m_account;
    };

    class LedgerWriter {
    public:
        LedgerWriter(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world, DemoReceipts& receipts)
            : m_writer(writer)
            , m_random(random)
            , m_world(world)
            , m_receipts(receipts)
        {
        }

        void account(const DemoAccount& account)
        {
            m_waivable = account.habit == PayerHabit::Defaulter || account.habit == PayerHabit::Developer;
            std::vector<Charge> charges = AccountLedger(m_random, account).bill();
            settle(account, charges);
            for (Charge& charge : charges)
                if (!charge.paid)
                    markOpen(charge);
            for (const Charge& charge : charges)
                write(account, charge);
        }

    private:
        // Collections of one day form one payment: one cashier, one method,
        // one receipt (or none), refunded together if at all.
        void settle(const DemoAccount& account, std::vector<Charge>& charges)
        {
            std::map<Day, std::vector<Charge*>> payments;
            for (Charge& charge : charges)
                if (charge.paid)
                    payments[charge.paid].push_back(&charge);
            const DemoOffice& office = m_world.offices[account.office];
            for (auto& [day, paid] : payments) {
                ReceiptRequest request;
                request.office = account.office;
                request.payer = account.payer;
                request.address = account.address;
                request.day = day;
                request.seconds = m_random.chance(0.1) ? static_cast<int>(m_random.between(8 * 3600, 19 * 3600)) : 0;
                request.cashier = m_random.pick(office.cashiers);
                request.method = m_random.pick(m_world.paymentMethods);
                if (m_random.chance(0.02)) {
                    const Day refund = day + m_random.between(3, 300);
                    if (refund <= kDataEnd)
                        request.refunded = refund;
                }
                for (Charge* charge : paid) {
                    auto line = std::find_if(request.lines.begin(), request.lines.end(),
                        [&](const ReceiptLine& l) { return l.item == charge->fee->item; });
                    if (line == request.lines.end()) {
                        request.lines.push_back({ charge->fee->item, {}, 0, 0 });
                        line = request.lines.end() - 1;
                    }
                    line->periods.push_back(charge->period);
                    line->cents += charge->cents;
                    line->incomeCents += charge->income;
                }
                ReceiptNumber receipt;
                bool blank = false;
                if (m_random.chance(0.85))
                    receipt = m_receipts.issueRoutine(request);
                else
                    blank = m_random.chance(0.5);
                for (Charge* charge : paid) {
                    charge->seconds = request.seconds;
                    charge->cashier = request.cashier;
                    charge->method = request.method;
                    charge->refunded = request.refunded;
                    charge->receipt = receipt;
                    charge->blankReceipt = blank;
                    if (!charge->refunded && m_random.chance(0.004)) {
                        const Day refund = day + m_random.between(1, 120);
                        if (refund <= kDataEnd)
                            charge->refunded = refund;
                    }
                }
            }
            for (Charge& charge : charges)
                if (m_random.chance(0.03))
                    charge.entered = firstDayOf(charge.period) + m_random.between(0, 75);
        }

        // Open charges of bad payers and of the developer are sometimes waived;
        // a few are set aside between two dates.
        void markOpen(Charge& charge)
        {
            const double roll = m_random.unit();
            if (roll < 0.12 && m_waivable) {
                charge.waived = true;
                charge.entered = std::min(kDataEnd, firstDayOf(charge.period) + m_random.between(20, 500));
            } else if (roll < 0.125) {
                charge.stopFrom = firstDayOf(charge.period) + m_random.between(0, 400);
                charge.stopTo = charge.stopFrom + m_random.between(30, 400);
            }
        }

        void write(const DemoAccount& account, const Charge& charge)
        {
            const auto day = [](Day value) { return value ? SqlValue(dayText(value)) : SqlValue(); };
            SqlValue book, number;
            if (!charge.receipt.number.empty()) {
                book = charge.receipt.book;
                number = charge.receipt.number;
            } else if (charge.blankReceipt) {
                book = std::string();
                number = std::string();
            }
            m_writer.insert("WYZJ",
                { ++m_rowId, account.householdId ? SqlValue(account.householdId) : SqlValue(),
                    account.registrationId ? SqlValue(account.registrationId) : SqlValue(),
                    account.spaceId ? SqlValue(account.spaceId) : SqlValue(), charge.fee->item,
                    periodText(charge.period), money(charge.cents), money(charge.income),
                    charge.paid ? SqlValue(dayTimeText(charge.paid, charge.seconds)) : SqlValue(), day(charge.refunded),
                    day(charge.entered), day(charge.stopFrom), day(charge.stopTo),
                    charge.waived ? SqlValue(std::string("减免")) : SqlValue(), textOrNull(charge.cashier),
                    textOrNull(charge.method), book, number });
        }

        DemoDbWriter& m_writer;
        DemoRandom& m_random;
        const DemoWorld& m_world;
        DemoReceipts& m_receipts;
        long long m_rowId = 0;
        bool m_waivable = false;
    };

} // namespace

void writeLedger(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world,
    const std::vector<DemoAccount>& accounts, DemoReceipts& receipts)
{
    LedgerWriter ledger(writer, random, world, receipts);
    for (const DemoAccount& account : accounts)
        ledger.account(account);
}

} // namespace fee::demo
