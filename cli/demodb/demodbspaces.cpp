#include "cli/demodb/demodbspaces.h"

#include "cli/demodb/demodbmodel.h"
#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbreceipts.h"
#include "cli/demodb/demodbwriter.h"

#include <algorithm>

namespace fee::demo {

namespace {

    constexpr long long kSpaceFee = 6000; // cents a month
    const Period kFirstSpacePeriod = periodOf(2025, 1);
    const Period kLastSpacePeriod = periodOf(2028, 12);

    long long incomeOf(long long cents) { return (cents * 100 + 53) / 106; }

    struct SpacePayment {
        Period from = 0;
        Period to = 0;
        Day day = 0;
    };

    // Quarter by quarter, paid in the quarter's first weeks; a prepaying
    // owner pays everything from June 2026 to the end of 2028 at once.
    std::vector<SpacePayment> payments(DemoRandom& random, bool prepays)
    {
        std::vector<SpacePayment> out;
        for (Period p = kFirstSpacePeriod; p <= periodOf(2026, 12); p += 3) {
            if (prepays && p >= periodOf(2026, 4)) {
                out.push_back({ p, kLastSpacePeriod, random.between(dayOf(2026, 4, 1), dayOf(2026, 11, 30)) });
                break;
            }
            const Day day = firstDayOf(p) + random.between(0, 40);
            if (day <= kDataEnd)
                out.push_back({ p, p + 2, day });
        }
        return out;
    }

} // namespace

void writeSpaceLedger(
    DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world, DemoReceipts& receipts, int roomsPerOffice)
{
    long long spaceId = writer.rowCount("车位说明表");
    for (std::size_t o = 0; o < world.offices.size(); ++o) {
        const DemoOffice& office = world.offices[o];
        if (office.role != OfficeRole::Regular && office.role != OfficeRole::ParkingOnly)
            continue;
        const int spaces = std::max(3, roomsPerOffice / 20);
        for (int s = 0; s < spaces; ++s) {
            const long long id = ++spaceId;
            const std::string owner = random.personName();
            writer.insert("车位说明表", { id, office.code, owner });
            const bool prepays = random.chance(0.3);
            for (const SpacePayment& payment : payments(random, prepays)) {
                ReceiptRequest request;
                request.office = o;
                request.payer = owner;
                request.address = office.estate + "地下车位" + std::to_string(s + 1) + "号";
                request.day = payment.day;
                request.seconds = random.chance(0.2) ? static_cast<int>(random.between(8 * 3600, 19 * 3600)) : 0;
                request.cashier = random.pick(office.cashiers);
                request.method = random.pick(world.paymentMethods);
                ReceiptLine line { "11", {}, 0, 0 };
                for (Period p = payment.from; p <= payment.to; ++p) {
                    line.periods.push_back(p);
                    line.cents += kSpaceFee;
                    line.incomeCents += incomeOf(kSpaceFee);
                }
                request.lines.push_back(line);
                ReceiptNumber receipt;
                if (random.chance(0.7))
                    receipt = receipts.issueRoutine(request);
                const std::string seen = dayTimeText(payment.day, request.seconds);
                for (Period p = payment.from; p <= payment.to; ++p) {
                    writer.insert("WYZJ",
                        { SqlValue(), SqlValue(), SqlValue(), id, std::string("11"), periodText(p), money(kSpaceFee),
                            money(incomeOf(kSpaceFee)), seen, SqlValue(), SqlValue(), SqlValue(), SqlValue(),
                            SqlValue(), request.cashier, request.method, textOrNull(receipt.book),
                            textOrNull(receipt.number) });
                }
            }
        }
    }
}

} // namespace fee::demo
