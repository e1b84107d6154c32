#pragma once

#include "workbook/workbookformat.h"

#include <QHash>
#include <QVector>

namespace fee {

// Every distinct cell format of a workbook once; cells keep an index into it.
// Index 0 is the default format.
class WorkbookFormatTable {
public:
    WorkbookFormatTable();
    int intern(const WorkbookFormat& format);
    const WorkbookFormat& at(int index) const { return m_formats.at(index); }
    int size() const { return int(m_formats.size()); }

private:
    QVector<WorkbookFormat> m_formats;
    QHash<WorkbookFormat, int> m_index;
};

} // namespace fee
