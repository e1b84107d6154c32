#include "cli/demodb/demodbreceipts.h"

#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbwriter.h"

#include <algorithm>
#include <cstdio>

namespace fee::demo {

namespace {

    SqlValue dayOrNull(Day day) { return day ? SqlValue(dayText(day)) : SqlValue(); }

    std::string periodList(const std::vector<Period>& periods)
    {
        std::string text;
        for (Period period : periods)
            text += (text.empty() ? "" : ",") + periodText(period);
        return text;
    }

    const std::vector<std::string> kRemarks = { "补开", "代收", "客户要求开具" };

} // namespace

DemoReceipts::DemoReceipts(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world)
    : m_writer(writer)
    , m_random(random)
    , m_world(world)
    , m_counters(world.offices.size(), 0)
{
}

ReceiptNumber DemoReceipts::nextNumber(std::size_t office)
{
    const int serial = ++m_counters[office];
    const std::string& code = m_world.offices[office].code;
    char book[32];
    char number[32];
    std::snprintf(book, sizeof book, "RK%s-%03d", code.c_str(), (serial - 1) / 200 + 1);
    std::snprintf(number, sizeof number, "%s%06d", code.c_str(), serial);
    return { book, number };
}

long long DemoReceipts::writeHeader(
    const ReceiptRequest& request, const ReceiptNumber& number, const HeaderExtras& extras)
{
    const DemoOffice& office = m_world.offices[request.office];
    const long long id = ++m_receiptId;
    m_writer.insert("票据",
        { id, number.book, number.number, request.payer, textOrNull(request.address), dayText(extras.issued),
            request.cashier, dayTimeText(request.day, request.seconds), request.cashier, request.method,
            textOrNull(extras.remark), office.department, extras.withOffice ? SqlValue(office.code) : SqlValue(),
            dayOrNull(request.refunded), dayOrNull(extras.voided), dayOrNull(extras.exchanged),
            textOrNull(extras.exchangedInto.number), textOrNull(extras.exchangedInto.book),
            textOrNull(extras.replaces) });
    return id;
}

void DemoReceipts::writeLine(long long receiptId, const ReceiptLine& line, bool taxKnown, bool nonRoutine)
{
    m_writer.insert("票据开票数据",
        { ++m_lineId, receiptId, line.item, m_world.itemName(line.item), periodList(line.periods), money(line.cents),
            taxKnown ? money(line.cents - line.incomeCents) : SqlValue(), nonRoutine ? 1LL : 0LL });
}

ReceiptNumber DemoReceipts::issueRoutine(const ReceiptRequest& request)
{
    const ReceiptNumber number = nextNumber(request.office);
    HeaderExtras extras;
    extras.issued = request.day;
    // A few receipts were written out some days before the money came in.
    if (m_random.chance(0.05))
        extras.issued = request.day - m_random.between(1, 20);
    if (m_random.chance(0.03))
        extras.remark = m_random.pick(kRemarks);

    // An internal exchange: the receipt is replaced by a new one; the original
    // records the replacement (or only the date, the replacement pointing
    // back), and the ledger keeps the original's numbers.
    ReceiptNumber replacement;
    if (m_random.chance(0.015) && request.day + 40 <= kDataEnd && !request.refunded) {
        extras.exchanged = request.day + m_random.between(1, 30);
        replacement = nextNumber(request.office);
        if (m_random.chance(0.7))
            extras.exchangedInto = replacement;
    }
    const bool taxKnown = !m_random.chance(0.1);
    const long long id = writeHeader(request, number, extras);
    for (const ReceiptLine& line : request.lines)
        writeLine(id, line, taxKnown, false);

    if (!replacement.number.empty()) {
        HeaderExtras swapped;
        swapped.issued = extras.exchanged;
        swapped.replaces = number.number;
        const long long swappedId = writeHeader(request, replacement, swapped);
        for (const ReceiptLine& line : request.lines)
            writeLine(swappedId, line, taxKnown, false);
    }
    return number;
}

void DemoReceipts::writeNonRoutine()
{
    const Day first = firstDayOf(kFirstPeriod);
    const Day cableEnd = dayOf(2024, 12, 31);
    static const std::vector<long long> kDeposits = { 200000, 300000, 500000 };
    for (std::size_t o = 0; o < m_world.offices.size(); ++o) {
        const DemoOffice& office = m_world.offices[o];
        if (office.role != OfficeRole::Regular)
            continue;
        const Day last = std::min(kDataEnd, firstDayOf(office.lastPeriod + 1) - 1);
        const int count = std::max(12, static_cast<int>(m_counters[o] / 20));
        for (int r = 0; r < count; ++r) {
            ReceiptRequest request;
            request.office = o;
            request.payer = m_random.personName();
            request.address = m_random.chance(0.8) ? office.estate + std::to_string(m_random.between(1, 6)) + "栋" : "";
            request.day = m_random.between(first, last);
            request.seconds = m_random.chance(0.3) ? static_cast<int>(m_random.between(8 * 3600, 18 * 3600)) : 0;
            request.cashier = m_random.pick(office.cashiers);
            request.method = m_random.pick(m_world.paymentMethods);

            const double kind = m_random.unit();
            ReceiptLine line;
            if (kind < 0.6 || (kind < 0.85 && request.day > cableEnd)) {
                line.item = "21";
                line.cents = m_random.pick(kDeposits);
                line.incomeCents = line.cents;
            } else if (kind < 0.85) {
                line.item = "22";
                line.cents = 24000;
                line.incomeCents = (line.cents * 100 + 53) / 106;
            } else {
                line.item = "02";
                line.cents = m_random.between(3000, 60000);
                line.incomeCents = (line.cents * 100 + 53) / 106;
            }
            request.lines.push_back(line);

            HeaderExtras extras;
            extras.issued = request.day;
            // Receipts of the first office's department that belong to no
            // office: counted only when statistics go by department.
            extras.withOffice = !(o == 0 && m_random.chance(0.3));
            const double fate = m_random.unit();
            if (fate < 0.05)
                extras.voided = std::min(kDataEnd, request.day + m_random.between(0, 3));
            else if (fate < 0.09 && request.day + 100 <= kDataEnd)
                request.refunded = request.day + m_random.between(10, 100);
            // Some were written out days before the money came in.
            if (m_random.chance(0.08))
                extras.issued = request.day - m_random.between(1, 20);
            // Non-routine receipts are exchanged internally too: the original
            // records its replacement (or only the date), the replacement the
            // number it replaced.
            const ReceiptNumber number = nextNumber(o);
            ReceiptNumber replacement;
            if (!extras.voided && !request.refunded && m_random.chance(0.06) && request.day + 40 <= kDataEnd) {
                extras.exchanged = request.day + m_random.between(1, 30);
                replacement = nextNumber(o);
                if (m_random.chance(0.7))
                    extras.exchangedInto = replacement;
            }
            const long long id = writeHeader(request, number, extras);
            writeLine(id, line, line.item != "21", true);
            if (!replacement.number.empty()) {
                HeaderExtras swapped;
                swapped.issued = extras.exchanged;
                swapped.withOffice = extras.withOffice;
                swapped.replaces = number.number;
                writeLine(writeHeader(request, replacement, swapped), line, line.item != "21", true);
            }
        }
    }
}

} // namespace fee::demo
