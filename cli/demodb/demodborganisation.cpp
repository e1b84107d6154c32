#include "cli/demodb/demodborganisation.h"

#include "cli/demodb/demodbmodel.h"
#include "cli/demodb/demodbrandom.h"
#include "cli/demodb/demodbwriter.h"

#include <cstdio>

namespace fee::demo {

namespace {

    const std::vector<std::string> kResidentialEstates
        = { "阳光花园", "翠湖居", "锦绣江南", "碧水湾", "金色家园", "丽景华庭", "海悦山庄", "枫林苑", "书香门第",
              "御景湾", "南山名苑", "星河丹堤", "桃源居", "万科城", "香蜜湖", "东方明珠" };
    const std::vector<std::string> kCommercialEstates = { "金融大厦", "国贸中心", "科技园", "时代广场" };
    const std::vector<std::string> kOtherEstates = { "创业园", "物流园" };
    const std::vector<std::string> kBatchSuffix = { "", "二期", "三期", "四期", "五期", "六期", "七期", "八期" };

    std::string code(const char* pattern, int number)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, pattern, number);
        return buffer;
    }

    std::string estateName(const std::vector<std::string>& names, int ordinal)
    {
        const auto count = static_cast<int>(names.size());
        return names[ordinal % count] + kBatchSuffix[(ordinal / count) % static_cast<int>(kBatchSuffix.size())]
            + (ordinal / count >= static_cast<int>(kBatchSuffix.size()) ? std::to_string(ordinal) : "");
    }

    struct Position {
        std::string code, name, department, category, holder;
    };
    struct Assignment {
        std::string employee, position;
        long long main;
        SqlValue left;
    };

    void writeStaticTables(DemoDbWriter& writer, DemoWorld& world)
    {
        writer.insert("职能部门类别", { std::string("01"), std::string("职能部门") });
        writer.insert("职能部门类别", { std::string("02"), std::string("管理处") });
        writer.insert("岗位类别", { std::string("01"), std::string("管理岗") });
        writer.insert("岗位类别", { std::string("02"), std::string("操作岗") });

        const std::vector<std::pair<std::string, std::string>> departments
            = { { "0101", "财务部" }, { "0102", "客服部" }, { "0103", "工程部" }, { "0104", "保安部" } };
        for (const auto& [number, name] : departments)
            writer.insert("职能部门new", { number, name, std::string("01"), SqlValue() });
        writer.insert("职能部门new",
            { std::string("0105"), std::string("质检部"), std::string("01"), std::string("2024-12-31") });

        struct Item {
            std::string code, name, category;
            SqlValue ended;
        };
        const std::vector<Item> items = {
            { "01", "物业管理费", "物业管理费", {} },
            { "02", "公共能耗分摊", "物业管理费", {} },
            { "11", "车位管理费", "车位费", {} },
            { "12", "车位租金", "车位费", {} },
            { "21", "装修押金", "其他", {} },
            { "22", "有线电视费", "其他", std::string("2024-12-31") },
            { "9", "垃圾清运费", "其他", {} },
        };
        for (const Item& item : items) {
            writer.insert("SETUPSFXM", { item.code, item.name, item.category, item.ended });
            world.feeItems.push_back({ item.code, item.name });
        }

        world.paymentMethods = { "现金", "刷卡", "转账", "微信", "支付宝" };
        for (const std::string& method : world.paymentMethods)
            writer.insert("收款方式列表", { method });
    }

    void addOffice(DemoWorld& world, const std::string& estate, int kind, OfficeRole role)
    {
        DemoOffice office;
        office.code = code("%02d", static_cast<int>(world.offices.size()) + 1);
        office.department = "02" + office.code;
        office.estate = estate;
        office.name = estate + "管理处";
        office.kind = kind;
        office.role = role;
        if (role == OfficeRole::Ended)
            office.lastPeriod = periodOf(2024, 6);
        world.offices.push_back(office);
    }

} // namespace

void writeOrganisation(DemoDbWriter& writer, DemoRandom& random, int regularOffices, DemoWorld& world)
{
    writeStaticTables(writer, world);

    // Kinds: the last regular office is of kind 2, the two before it
    // commercial (when there are enough offices), the rest residential.
    const int other = regularOffices >= 3 ? 1 : 0;
    const int commercial = regularOffices >= 8 ? 2 : (regularOffices >= 4 ? 1 : 0);
    const int residential = regularOffices - other - commercial;
    for (int i = 0; i < residential; ++i)
        addOffice(world, estateName(kResidentialEstates, i), 0, OfficeRole::Regular);
    for (int i = 0; i < commercial; ++i)
        addOffice(world, estateName(kCommercialEstates, i), 1, OfficeRole::Regular);
    for (int i = 0; i < other; ++i)
        addOffice(world, estateName(kOtherEstates, i), 2, OfficeRole::Regular);
    addOffice(world, "天虹停车场", 0, OfficeRole::ParkingOnly);
    addOffice(world, "新城公寓", 0, OfficeRole::Empty);
    addOffice(world, "旧城小区", 0, OfficeRole::Ended);

    std::vector<Position> positions = {
        { "001", "会计", "0101", "01", "1001" },
        { "002", "客服主管", "0102", "01", "1002" },
        { "003", "电工", "0103", "02", "1002" },
        { "004", "保安员", "0104", "02", "1002" },
        { "005", "出纳", "0101", "02", "1003" },
        { "006", "前台接待", "0102", "02", "1004" },
        { "007", "质检员", "0105", "02", "1003" },
    };
    // The main position goes in first: the login lists positions in the order
    // the rows come back.
    std::vector<Assignment> assignments = {
        { "1001", "001", 1, {} },
        { "1002", "002", 1, {} },
        { "1002", "003", 0, {} },
        { "1002", "004", 1, std::string("2024-03-31") },
        { "1003", "005", 1, std::string("2025-01-15") },
        { "1003", "007", 0, std::string("2024-12-31") },
        { "1004", "006", 1, {} },
    };
    writer.insert("员工档案", { 1LL, std::string("1001"), std::string("1234"), std::string("张伟"), SqlValue() });
    writer.insert("员工档案", { 2LL, std::string("1002"), std::string("5678"), std::string("李娜"), SqlValue() });
    writer.insert("员工档案", { 3LL, std::string("1003"), std::string("1003"), std::string("王强"), SqlValue() });
    writer.insert(
        "员工档案", { 4LL, std::string("1004"), std::string("1004"), std::string("赵敏"), std::string("2025-06-30") });
    writer.insert("员工档案", { 5LL, std::string("1005"), std::string("8888"), std::string("刘洋"), SqlValue() });

    // Office staff have no password: they appear as payees, never as logins.
    long long employeeId = 6;
    int staffNumber = 3001;
    int positionNumber = 101;
    for (std::size_t i = 0; i < world.offices.size(); ++i) {
        DemoOffice& office = world.offices[i];
        std::string officeName = office.name;
        // Some office names were typed with a line break in the middle.
        if (i % 4 == 3)
            officeName = office.estate + "\r\n管理处";
        writer.insert("设置管理处",
            { office.code, officeName, office.department,
                office.role == OfficeRole::Ended ? SqlValue(std::string("2024-06-30")) : SqlValue(),
                static_cast<long long>(office.kind) });
        writer.insert("职能部门new", { office.department, office.name, std::string("02"), SqlValue() });

        std::string manager = "1005";
        if (i != 0) {
            manager = code("%d", staffNumber++);
            writer.insert("员工档案", { employeeId++, manager, SqlValue(), random.personName(), SqlValue() });
        }
        positions.push_back({ code("%03d", positionNumber++), "管理处主任", office.department, "01", manager });
        assignments.push_back({ manager, positions.back().code, 1, {} });
        for (int c = 0; c < 2; ++c) {
            const std::string number = code("%d", staffNumber++);
            const std::string name = random.personName();
            writer.insert("员工档案", { employeeId++, number, SqlValue(), name, SqlValue() });
            positions.push_back({ code("%03d", positionNumber++), "收费员", office.department, "02", number });
            assignments.push_back({ number, positions.back().code, 1, {} });
            office.cashiers.push_back(name);
        }
    }

    for (const Position& p : positions)
        writer.insert("岗位信息new", { p.code, p.name, p.department, p.category, p.holder });
    for (const Assignment& a : assignments)
        writer.insert("岗位员工new", { a.employee, a.position, a.main, a.left });
}

} // namespace fee::demo
