#pragma once

#include "workbookchart.h"

#include <QString>
#include <memory>
#include <vector>

namespace fee {

class WorkbookFormatTable;
class WorkbookSheet;

// Emits the in-memory sheets through libxlsxwriter into one file: one library
// format per distinct cell format, merges first, then every cell once.
class WorkbookWriter {
public:
    WorkbookWriter(const WorkbookFormatTable& formats, const std::vector<std::unique_ptr<WorkbookSheet>>& sheets,
        const std::vector<WorkbookChart>& charts);
    // Throws Failure(kErrWorkbook / kErrFile).
    void write(const QString& fileName) const;

private:
    const WorkbookFormatTable& m_formats;
    const std::vector<std::unique_ptr<WorkbookSheet>>& m_sheets;
    const std::vector<WorkbookChart>& m_charts;
};

} // namespace fee
