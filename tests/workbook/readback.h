#pragma once

#include <QJsonObject>
#include <QString>

// What a written workbook holds, read back by an independent reader
// (openpyxl through readback.py).
class WorkbookReadback {
public:
    // Empty (ok() false) when the reader could not run; error() tells why.
    // The named sheet, or the first one.
    static WorkbookReadback read(const QString& xlsxPath, const QString& sheet = {});

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    // The cell's entry ("value", "type", "formula", "numberFormat", "font",
    // "size", "bold", "fill", "border", "borderAll", "horizontal", "wrap");
    // empty when the cell holds neither value nor style.
    QJsonObject cell(const QString& address) const { return m_cells.value(address).toObject(); }
    QStringList merges() const;
    // The stored width of a column ("A"), -1 when not set.
    double width(const QString& column) const { return m_widths.value(column).toDouble(-1); }
    // The stored height of a row in points, -1 when not set.
    double height(int row) const { return m_heights.value(QString::number(row)).toDouble(-1); }
    QStringList sheets() const;
    // The page setup: "orientation", "fitToPage", "fitToWidth", "fitToHeight", "titleRows" ("4:5" or null).
    QJsonObject page() const { return m_root.value(QStringLiteral("page")).toObject(); }

    // The width the file stores for a width set in character units (the
    // library adds the cell padding and rounds to whole pixels).
    static double storedWidth(double characters);

private:
    bool m_ok = false;
    QString m_error;
    QJsonObject m_cells;
    QJsonObject m_widths;
    QJsonObject m_heights;
    QJsonObject m_root;
};
