#include "workbook/workbookformattable.h"

namespace fee {

WorkbookFormatTable::WorkbookFormatTable() { intern(WorkbookFormat {}); }

int WorkbookFormatTable::intern(const WorkbookFormat& format)
{
    const auto it = m_index.constFind(format);
    if (it != m_index.constEnd())
        return it.value();
    const int index = int(m_formats.size());
    m_formats.append(format);
    m_index.insert(format, index);
    return index;
}

} // namespace fee
