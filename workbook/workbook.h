#pragma once

#include "workbook/workbookchart.h"
#include "workbook/workbookrange.h"
#include "workbook/workbooksheet.h"

#include <QString>
#include <memory>
#include <vector>

namespace fee {

class WorkbookFormatTable;

// A workbook built in memory and written in one go as an .xlsx file. It starts
// with one sheet, "Sheet1". Every failure throws fee::Failure (kErrWorkbook for
// refused operations, kErrFile for paths and files).
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    static constexpr const char* kExtension = ".xlsx";

    int worksheetCount() const { return int(m_sheets.size()); }
    // 1-based, like Worksheets(1).
    WorkbookSheet& worksheet(int index);
    const WorkbookSheet& worksheet(int index) const;
    // Null when no sheet has this name (compared exactly).
    WorkbookSheet* worksheet(const QString& name);
    // Appended after the last sheet; without a name it gets the next free "SheetN".
    WorkbookSheet& addWorksheet(const QString& name = {});

    // A chart sheet after the worksheets; its series point at worksheet cells.
    void addChartSheet(const WorkbookChart& chart) { m_charts.push_back(chart); }
    const std::vector<WorkbookChart>& chartSheets() const { return m_charts; }

    // Replaces the sheets with those of an .xlsx file (values, formulas with
    // their saved results, formats, merges, column widths). On failure the
    // workbook stays as it was.
    void load(const QString& fileName);

    // Writes path + ".xlsx". The file appears only complete: the workbook is
    // written to a temporary file and moved over the target at the end, so a
    // failure leaves an existing file as it was.
    void saveAs(const QString& pathWithoutExtension) const;
    // The same with the full file name.
    void saveToFile(const QString& fileName) const;

private:
    std::unique_ptr<WorkbookFormatTable> m_formats;
    std::vector<std::unique_ptr<WorkbookSheet>> m_sheets;
    std::vector<WorkbookChart> m_charts;
};

} // namespace fee
