#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace fee {

class WorkbookFormatTable;
class WorkbookSheet;

// Reads an .xlsx file into in-memory sheets: sheet names and visibility, cell
// values (formulas with their saved results), the cell formats the sheet model
// knows, merged areas and column widths. Anything else in the file is dropped.
class WorkbookReader {
public:
    // Throws Failure(kErrFile) for a missing or unreadable file and for content
    // that is no workbook.
    static std::vector<std::unique_ptr<WorkbookSheet>> read(const QString& fileName, WorkbookFormatTable& formats);
};

} // namespace fee
