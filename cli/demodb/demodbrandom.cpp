#include "cli/demodb/demodbrandom.h"

#include <array>

namespace fee::demo {

namespace {

    const std::vector<std::string> kSurnames
        = { "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何", "高",
              "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "欧阳", "司马" };
    const std::vector<std::string> kGivenChars = { "伟", "芳", "娜", "秀", "敏", "静", "丽", "强", "磊", "军", "洋",
        "勇", "艳", "杰", "娟", "涛", "明", "超", "霞", "平", "刚", "桂", "英", "华", "建", "国", "志", "文", "红",
        "玉", "兰", "春", "海", "晨", "宇", "欣", "怡", "浩", "婷", "鑫" };
    const std::vector<std::string> kPlateRegions = { "粤B", "粤A", "粤S", "湘A", "赣C", "京N" };
    constexpr std::array<char, 33> kPlateChars = { 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'J', 'K', 'L', 'M', 'N', 'P',
        'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', '1', '2', '3', '4', '5', '6', '7', '8', '9' };

} // namespace

DemoRandom::DemoRandom(std::uint64_t seed)
    : m_engine(seed)
{
}

long long DemoRandom::between(long long low, long long high)
{
    if (high <= low)
        return low;
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    // Rejection keeps the draw unbiased for any span.
    const std::uint64_t limit = UINT64_MAX - (UINT64_MAX % span);
    std::uint64_t value;
    do
        value = m_engine();
    while (value >= limit);
    return low + static_cast<long long>(value % span);
}

double DemoRandom::unit() { return static_cast<double>(m_engine() >> 11) * (1.0 / 9007199254740992.0); }

std::string DemoRandom::personName()
{
    std::string name = pick(kSurnames) + pick(kGivenChars);
    if (chance(0.6))
        name += pick(kGivenChars);
    return name;
}

std::string DemoRandom::plateNumber()
{
    std::string plate = pick(kPlateRegions) + "·";
    for (int i = 0; i < 5; ++i)
        plate += kPlateChars[index(kPlateChars.size())];
    return plate;
}

} // namespace fee::demo
