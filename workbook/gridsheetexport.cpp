#include "workbook/gridsheetexport.h"

#include "core/failure.h"
#include "workbook/workbook.h"
#include "workbook/workbookpatch.h"
#include "workbook/workbookvalue.h"

#include <QFileInfo>
#include <algorithm>

namespace fee {

namespace {

    constexpr int kFirstGridRow = 4; // the grid's row 0 lands in sheet row 4
    constexpr double kTwipsPerWidthUnit = 100;
    constexpr int kCentre = 3; // the legacy alignment codes the sheet is laid out with
    constexpr int kRight = 4;
    constexpr int kDistributed = 5;
    constexpr int kThin = 1;

    // Source columns written with a leading apostrophe, so that their codes stay text.
    bool isTextColumn(int col) { return col == 2 || col == 5; }

    // Blanks only, as the heading comparison wants (not tabs or line breaks).
    QString trimmedBlanks(const QString& text)
    {
        qsizetype from = 0, to = text.size();
        while (from < to && text.at(from) == u' ')
            ++from;
        while (to > from && text.at(to - 1) == u' ')
            --to;
        return text.mid(from, to - from);
    }

    // A text that starts with "=" is stored as the text it is, never taken
    // for a formula (a bad one would spoil the file).
    void putTyped(WorkbookRange cell, const QString& text)
    {
        if (text.size() > 1 && text.startsWith(u'='))
            cell.setText(text);
        else
            cell.setValue(text);
    }

    // A grid cell into the sheet by its value: money, counts and rates as
    // numbers; texts (and dates, which the sheet has always held as their
    // texts) as typed in; the code columns as text.
    void putCell(WorkbookRange cell, const CellValue& value, int col)
    {
        if (isTextColumn(col))
            cell.setValue(QLatin1Char('\'') + value.text());
        else if (value.isNumber())
            writeCellValue(cell, value);
        else if (value.isText())
            putTyped(cell, value.string());
        else
            putTyped(cell, value.text());
    }

    QVector<int> checkedColumns(const GridModel& grid, QVector<int> columns)
    {
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        if (columns.isEmpty())
            throw Failure(kErrInvalidArgument, QStringLiteral("没有选择要输出的列"));
        if (columns.first() < 0 || columns.last() >= grid.cols())
            throw Failure(kErrInvalidArgument, QStringLiteral("要输出的列超出表格范围"));
        return columns;
    }

    // Repeated headings of a two-level heading: equal neighbours of row 4
    // become one cell across, and a heading equal to its sub-heading one cell
    // down. A column inside a run across keeps its sub-heading: merging it
    // down would swallow the sub-headings of the run.
    void mergeHeadings(WorkbookSheet& ws, int k)
    {
        const int top = kFirstGridRow, sub = kFirstGridRow + 1;
        for (int i = 1; i <= k; ++i) {
            const QVariant heading = ws.value(top, i);
            int last = i;
            while (last + 1 <= k && ws.value(top, last + 1) == heading)
                ++last;
            if (last > i) {
                for (int j = last; j > i; --j)
                    ws.cells(top, j).setValue(QString());
                ws.range(ws.cells(top, i), ws.cells(top, last)).merge();
                i = last;
                continue;
            }
            if (ws.value(top, i) == ws.value(sub, i)) {
                ws.cells(sub, i).setValue(QString());
                ws.range(ws.cells(top, i), ws.cells(sub, i)).merge();
            }
        }
    }

} // namespace

QString GridSheetExport::columnHeading(const GridModel& grid, int col)
{
    QString heading = grid.rows() > 0 ? grid.text(0, col) : QString();
    if (grid.fixedRows() == 2 && grid.rows() > 1) {
        const QString sub = grid.text(1, col);
        if (trimmedBlanks(sub) != trimmedBlanks(heading))
            heading += QLatin1Char('(') + sub + QLatin1Char(')');
    }
    return heading;
}

QVector<int> GridSheetExport::exportableColumns(const GridModel& grid)
{
    QVector<int> columns;
    for (int c = 0; c < grid.cols(); ++c)
        if (!columnHeading(grid, c).isEmpty())
            columns.append(c);
    return columns;
}

void GridSheetExport::fill(WorkbookSheet& ws, const GridModel& grid, const GridSheetOptions& options)
{
    const QVector<int> columns = checkedColumns(grid, options.columns);
    const int k = int(columns.size());
    const int n = grid.rows();
    const QDate printed = options.printDate.isValid() ? options.printDate : QDate::currentDate();

    putTyped(ws.cells(1, 1), options.title);
    putTyped(ws.cells(2, 1), options.tagText);
    ws.cells(3, 1).setValue(QStringLiteral("打印日期：") + printed.toString(QStringLiteral("yyyy年MM月dd日")));

    for (int x = 0; x < k; ++x)
        ws.columns(x + 1).setColumnWidth(grid.colWidth(columns.at(x)) / kTwipsPerWidthUnit);

    for (int i = 0; i < n; ++i) {
        const int row = i + kFirstGridRow;
        for (int x = 0; x < k; ++x)
            putCell(ws.cells(row, x + 1), grid.value(i, columns.at(x)), columns.at(x));
        if (options.rowWritten)
            options.rowWritten(i);
    }

    if (k > 1)
        for (int r = 1; r <= 3; ++r)
            ws.range(ws.cells(r, 1), ws.cells(r, k)).merge();
    ws.rows(1).setHorizontalAlignment(kCentre);
    ws.rows(2).setHorizontalAlignment(kCentre);
    ws.rows(4).setHorizontalAlignment(kCentre);
    ws.rows(3).setHorizontalAlignment(kRight);
    ws.rows(1, 4).setVerticalAlignment(kDistributed);
    ws.rows(1).setFontSize(14);
    ws.rows(2, 3).setFontSize(10);
    if (n > 0) {
        ws.range(ws.cells(kFirstGridRow, 1), ws.cells(n + kFirstGridRow - 1, k))
            .setBorderLineStyle(kThin)
            .setFontSize(10.5);
    }
    if (grid.fixedRows() == 2 && n >= 2)
        mergeHeadings(ws, k);

    const int headingRows = std::min(grid.fixedRows(), n);
    if (headingRows > 0)
        ws.setPrintLayout(kFirstGridRow, kFirstGridRow + headingRows - 1);
    else
        ws.setPrintLayout(0, 0);
}

QString GridSheetExport::workbookFileName(const QString& chosenName)
{
    if (chosenName.isEmpty())
        throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    const QFileInfo info(chosenName);
    const QString suffix = info.suffix().toLower();
    if (info.exists() || suffix == u"xlsx" || suffix == u"xlsm")
        return chosenName;
    if (suffix == u"xls")
        return chosenName.left(chosenName.size() - 3) + QStringLiteral("xlsx");
    return chosenName + QLatin1String(Workbook::kExtension);
}

QString GridSheetExport::write(const GridModel& grid, const GridSheetOptions& options, const QString& chosenName)
{
    const QString fileName = workbookFileName(chosenName);
    Workbook book;
    WorkbookSheet& ws = book.worksheet(1);
    ws.setName(options.sheetName);
    fill(ws, grid, options);
    if (QFileInfo::exists(fileName))
        WorkbookPatch::putSheet(fileName, ws);
    else
        WorkbookPatch::createWithSheet(fileName, ws);
    return fileName;
}

} // namespace fee
