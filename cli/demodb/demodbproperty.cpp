#include "cli/demodb/demodbproperty.h"

#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbwriter.h"

#include <algorithm>

namespace fee::demo {

namespace {

    const std::string kDeveloper = "开发商";

    PayerHabit drawHabit(DemoRandom& random, bool poorPayers)
    {
        const double roll = random.unit();
        if (poorPayers) {
            if (roll < 0.30)
                return PayerHabit::Prompt;
            if (roll < 0.40)
                return PayerHabit::Annual;
            if (roll < 0.62)
                return PayerHabit::Late;
            if (roll < 0.97)
                return PayerHabit::Defaulter;
            return PayerHabit::Prepaid;
        }
        if (roll < 0.55)
            return PayerHabit::Prompt;
        if (roll < 0.70)
            return PayerHabit::Annual;
        if (roll < 0.84)
            return PayerHabit::Late;
        if (roll < 0.93)
            return PayerHabit::Defaulter;
        return PayerHabit::Prepaid;
    }

    // Yuan per square metre and month, in cents.
    long long rateCents(const DemoOffice& office, std::size_t index)
    {
        static const long long kResidential[] = { 185, 210, 160, 235, 198 };
        if (office.kind == 1)
            return 450;
        if (office.kind == 2)
            return 320;
        return kResidential[index % 5];
    }

    class PropertyBuilder {
    public:
        PropertyBuilder(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world)
            : m_writer(writer)
            , m_random(random)
            , m_world(world)
        {
        }

        void households(std::size_t officeIndex, int rooms, bool billed)
        {
            const DemoOffice& office = m_world.offices[officeIndex];
            const bool residential = office.kind != 1;
            const int floors = rooms > 100 ? 18 : 6;
            const int unitsPerFloor = 4;
            const long long rate = rateCents(office, officeIndex);
            for (int made = 0, building = 1; made < rooms; ++building) {
                const long long buildingId = ++m_buildingId;
                const std::string number
                    = residential ? std::to_string(building) : std::string(1, char('A' + (building - 1) % 26));
                const std::string buildingWord = residential ? "栋" : "座";
                const bool withUnit = residential && building % 3 == 0;
                m_writer.insert("楼表",
                    { buildingId, office.code, office.estate, SqlValue(), number, buildingWord,
                        withUnit ? SqlValue(std::string("1")) : SqlValue(),
                        withUnit ? SqlValue(std::string("单元")) : SqlValue(), SqlValue(), SqlValue() });
                for (int floor = 1; floor <= floors && made < rooms; ++floor) {
                    for (int unit = 1; unit <= unitsPerFloor && made < rooms; ++unit, ++made) {
                        char room[16];
                        std::snprintf(room, sizeof room, "%d%02d", floor, unit);
                        const long long roomId = ++m_roomId;
                        const long long area = m_random.between(residential ? 5500 : 8000, residential ? 16000 : 42000);
                        m_writer.insert(
                            "室表", { roomId, buildingId, std::string(room), std::string("室"), money(area) });
                        const std::string address = office.estate + number + buildingWord + room + "室";
                        owners(officeIndex, roomId, address, area * rate / 100, billed);
                    }
                }
            }
        }

        void parking(std::size_t officeIndex, int registrations)
        {
            const DemoOffice& office = m_world.offices[officeIndex];
            const int garages = std::clamp(registrations / 40 + 1, 1, 3);
            for (int g = 1; g <= garages; ++g)
                m_writer.insert("车库名", { office.code, "0" + std::to_string(g) });
            static const std::vector<long long> kManagementFees = { 12000, 15000, 18050 };
            const long long fee = kManagementFees[officeIndex % kManagementFees.size()];
            for (int r = 0; r < registrations; ++r) {
                const double roll = m_random.unit();
                const std::string userType = roll < 0.7 ? "业主" : (roll < 0.9 ? "租户" : "外来车辆");
                std::string owner = m_random.personName();
                const double ownerRoll = m_random.unit();
                if (ownerRoll < 0.08)
                    owner = kDeveloper;
                else if (ownerRoll < 0.15)
                    owner.clear(); // no owner name recorded: shown by plate alone
                std::string address;
                if (userType != "外来车辆" && m_random.chance(0.8))
                    address = office.estate + std::to_string(m_random.between(1, 6)) + "栋"
                        + std::to_string(m_random.between(1, 6)) + "0" + std::to_string(m_random.between(1, 4)) + "室";
                const long long spaceId = ++m_spaceId;
                m_writer.insert(
                    "车位说明表", { spaceId, office.code, owner == kDeveloper || owner.empty() ? kDeveloper : owner });
                const long long registrationId = ++m_registrationId;
                const std::string plate = m_random.plateNumber();
                m_writer.insert("车位申请登记表",
                    { registrationId, office.code, "0" + std::to_string(m_random.between(1, garages)),
                        textOrNull(address), textOrNull(owner), plate, userType });

                DemoAccount account;
                account.office = officeIndex;
                account.registrationId = registrationId;
                account.spaceId = spaceId;
                account.payer = owner.empty() ? plate : owner;
                account.address = address;
                account.habit = owner == kDeveloper ? PayerHabit::Developer : drawHabit(m_random, office.poorPayers);
                account.firstPeriod = m_random.chance(0.75)
                    ? kFirstPeriod
                    : kFirstPeriod + static_cast<Period>(m_random.between(1, 40));
                account.lastPeriod = office.lastPeriod;
                account.charges.push_back({ "11", fee });
                if (userType == "租户")
                    account.charges.push_back({ "12", 35000 });
                finish(account);
            }
        }

        std::vector<DemoAccount> take() { return std::move(m_accounts); }

    private:
        void owners(std::size_t officeIndex, long long roomId, const std::string& address, long long fee, bool billed)
        {
            const DemoOffice& office = m_world.offices[officeIndex];
            Period first = kFirstPeriod;
            if (m_random.chance(0.08)) {
                // The room changed hands: the earlier owner's account stays,
                // marked so the collection-rate report leaves it out.
                const Period handover = periodOf(2023, 6) + static_cast<Period>(m_random.between(0, 30));
                DemoAccount previous = household(officeIndex, roomId, address, m_random.personName(), "已过户", fee);
                previous.habit = PayerHabit::Prompt;
                previous.firstPeriod = kOldestArrearsPeriod;
                previous.lastPeriod = std::min(handover, office.lastPeriod);
                if (billed)
                    finish(previous);
                first = handover + 1;
            } else if (m_random.chance(0.15)) {
                first = kFirstPeriod + static_cast<Period>(m_random.between(1, 36));
            }
            const bool developer = m_random.chance(0.06);
            const std::string remark = m_random.chance(0.02) ? "待核实" : "新进户";
            DemoAccount current
                = household(officeIndex, roomId, address, developer ? kDeveloper : m_random.personName(), remark, fee);
            current.habit = developer ? PayerHabit::Developer : drawHabit(m_random, office.poorPayers);
            current.firstPeriod = first;
            if (current.habit == PayerHabit::Defaulter && first == kFirstPeriod && m_random.chance(0.3))
                current.firstPeriod = kOldestArrearsPeriod;
            current.lastPeriod = office.lastPeriod;
            if (billed && current.firstPeriod <= current.lastPeriod)
                finish(current);
        }

        DemoAccount household(std::size_t officeIndex, long long roomId, const std::string& address,
            const std::string& name, const std::string& remark, long long fee)
        {
            const DemoOffice& office = m_world.offices[officeIndex];
            DemoAccount account;
            account.office = officeIndex;
            account.householdId = ++m_householdId;
            account.payer = name;
            account.address = address;
            m_writer.insert("业主表", { account.householdId, roomId, name, remark });
            account.charges.push_back({ "01", fee });
            if (office.kind == 1)
                account.charges.push_back({ "9", 5000 });
            else
                account.charges.push_back({ "02", m_random.between(800, 2500) });
            return account;
        }

        void finish(DemoAccount& account) { m_accounts.push_back(std::move(account)); }

        DemoDbWriter& m_writer;
        DemoRandom& m_random;
        const DemoWorld& m_world;
        std::vector<DemoAccount> m_accounts;
        long long m_buildingId = 0;
        long long m_roomId = 0;
        long long m_householdId = 0;
        long long m_registrationId = 0;
        long long m_spaceId = 0;
    };

} // namespace

std::vector<DemoAccount> writeProperty(
    DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world, int roomsPerOffice)
{
    PropertyBuilder builder(writer, random, world);
    for (std::size_t i = 0; i < world.offices.size(); ++i) {
        switch (world.offices[i].role) {
        case OfficeRole::Regular:
            builder.households(i, roomsPerOffice, true);
            builder.parking(i, std::max(2, roomsPerOffice / 6));
            break;
        case OfficeRole::ParkingOnly:
            builder.parking(i, std::max(8, roomsPerOffice / 4));
            break;
        case OfficeRole::Empty:
            builder.households(i, 12, false);
            break;
        case OfficeRole::Ended:
            builder.households(i, 12, true);
            break;
        }
    }
    return builder.take();
}

} // namespace fee::demo
