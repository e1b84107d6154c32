#pragma once

#include "workbook/workbookarea.h"
#include "workbook/workbookcell.h"
#include "workbook/workbookformat.h"
#include "workbook/workbookprintlayout.h"

#include <QHash>
#include <QMap>
#include <QVariant>
#include <QVector>
#include <functional>

namespace fee {

class WorkbookFormatTable;
class WorkbookRange;

// One worksheet held in memory: cell values, per-cell formats accumulated from
// the range operations, merged areas, column widths. Nothing is written until
// the workbook is saved.
class WorkbookSheet {
public:
    WorkbookSheet(WorkbookFormatTable& formats, const QString& name);

    QString name() const { return m_name; }
    // Throws Failure(kErrWorkbook) for a name the spreadsheet refuses.
    void setName(const QString& name);
    bool visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    // Cells(row, column), Range("A4:AL5"), Range(Cells(..), Cells(..)), Rows(n), Columns(n); 1-based.
    WorkbookRange cells(int row, int col);
    WorkbookRange range(const QString& address);
    WorkbookRange range(const WorkbookRange& first, const WorkbookRange& last);
    WorkbookRange rows(int first, int last = 0);
    WorkbookRange columns(int first, int last = 0);

    // Reading back.
    const WorkbookCell* cellAt(int row, int col) const; // null when never touched
    // A number as double, a text as QString, a formula its saved result; invalid when empty.
    QVariant value(int row, int col) const;
    const WorkbookFormat& formatAt(int row, int col) const;
    // The rows and columns holding values or formats; an area of one cell (A1) for an empty sheet.
    WorkbookArea usedRange() const;
    bool isEmpty() const;
    double columnWidth(int col) const; // < 0 when not set
    const QVector<WorkbookArea>& merges() const { return m_merges; }
    const QMap<int, double>& columnWidths() const { return m_colWidths; }
    // Row heights in points; rows without one keep the spreadsheet's default.
    void setRowHeight(int row, double points);
    const QMap<int, double>& rowHeights() const { return m_rowHeights; }
    int rowFormat(int row) const { return m_rowFormats.value(row, 0); }
    const QHash<int, int>& rowFormats() const { return m_rowFormats; }
    const QHash<int, int>& columnFormats() const { return m_colFormats; }
    const WorkbookFormatTable& formatTable() const { return m_formats; }
    int lastRow() const { return int(m_rows.size()); }

    // Prints fitted to one page wide, landscape when the table is wider than
    // tall, rows titleFirstRow to titleLastRow repeated on every page (0, 0:
    // none). One call per export.
    void setPrintLayout(int titleFirstRow, int titleLastRow);
    const WorkbookPrintLayout& printLayout() const { return m_printLayout; }
    const QVector<WorkbookCell>& row(int row) const { return m_rows.at(row - 1); }

    // The operations behind WorkbookRange.
    void writeTyped(const WorkbookArea& area, const QString& typed);
    void writeNumber(const WorkbookArea& area, double value);
    void writeText(const WorkbookArea& area, const QString& text);
    void writeFormula(const WorkbookArea& area, const QString& formula, const QVariant& result);
    void changeFormat(const WorkbookArea& area, const std::function<void(WorkbookFormat&)>& change);
    void merge(const WorkbookArea& area);
    void unmerge(const WorkbookArea& area);
    void clear(const WorkbookArea& area);
    void setColumnWidth(const WorkbookArea& area, double width);

private:
    WorkbookCell& cellRef(int row, int col);
    void requireCells(const WorkbookArea& area, const char* what) const;
    void forEachCell(const WorkbookArea& area, const std::function<void(WorkbookCell&)>& visit);
    void storeText(WorkbookCell& cell, const QString& text);
    int newCellFormat(int row, int col) const;

    WorkbookFormatTable& m_formats;
    QString m_name;
    bool m_visible = true;
    QVector<QVector<WorkbookCell>> m_rows; // [row - 1][col - 1], grown on demand
    QVector<WorkbookArea> m_merges; // never overlapping
    QMap<int, double> m_colWidths;
    QMap<int, double> m_rowHeights;
    QHash<int, int> m_rowFormats;
    QHash<int, int> m_colFormats;
    WorkbookPrintLayout m_printLayout;
};

} // namespace fee
