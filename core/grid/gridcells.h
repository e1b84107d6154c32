#pragma once

#include "core/grid/cellvalue.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <cstdint>
#include <vector>

namespace fee {

// The values of a grid's cells, packed: each row's cells lie back to back in
// large shared blocks of 16-bit units, with where each cell ends and what
// kind of value it is. A text takes its characters; a typed value (money,
// rate, count, date) its number in two units when it fits 32 bits, else
// four. A report of 100,000 rows then costs less than its texts would, where
// a string per cell costs several times them. Not thread-safe on its own:
// the grid model guards it.
class GridCells {
public:
    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }

    // Empty cells only.
    void reset(int rows, int cols);
    // Cuts rows or appends empty ones.
    void setRows(int rows);
    // Cuts every row or widens it with empty cells.
    void setCols(int cols);
    // A row at the end; missing cells are empty (cells.size() <= cols).
    void appendRow(const QVector<QString>& cells);
    void appendRow(const QVector<CellValue>& cells);

    CellValue value(int row, int col) const;
    void setValue(int row, int col, const CellValue& value);
    CellValue::Kind kind(int row, int col) const { return CellValue::Kind(m_kinds[index(row, col)]); }
    bool isEmpty(int row, int col) const { return kind(row, col) == CellValue::Kind::Empty; }
    // The cell as it is shown (CellValue::text()).
    QString text(int row, int col) const;
    void setText(int row, int col, QStringView text);
    QVector<QString> rowTexts(int row) const;
    QVector<CellValue> rowValues(int row) const;
    // Two cells hold the same value.
    bool sameValue(int row, int col, int otherRow, int otherCol) const;

    // Units held in the blocks, for measuring.
    qsizetype storedCharacters() const;

private:
    struct Row {
        std::uint32_t block = 0;
        std::uint32_t start = 0; // where the row's cells begin in its block
    };
    static constexpr qsizetype kBlockCharacters = 1 << 18;

    size_t index(int row, int col) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    QStringView span(int row, int col) const;
    qsizetype rowLength(int row) const;
    const char16_t* rowData(int row) const;
    // Replaces one cell's units.
    void setSpan(int row, int col, CellValue::Kind kind, QStringView units);
    // Room for `length` more units at the end of the last block.
    void reserveTail(qsizetype length);
    // Stores a row's units (given whole, with their ends) at the tail.
    void storeRow(int row, const char16_t* data, qsizetype length);
    void compactIfWasteful();

    std::vector<Row> m_rows;
    std::vector<std::uint32_t> m_ends; // rows x cols: where each cell ends, from its row's start
    std::vector<std::uint8_t> m_kinds; // rows x cols: CellValue::Kind
    std::vector<std::vector<char16_t>> m_blocks;
    qsizetype m_wasted = 0; // units of rows that moved or were cut
    int m_cols = 0;
};

} // namespace fee
