#pragma once

#include <QString>
#include <QStringView>
#include <QVector>
#include <cstdint>
#include <vector>

namespace fee {

// The texts of a grid's cells, packed: each row's texts lie back to back in
// large shared blocks, with where each cell's text ends. A report of 100,000
// rows of short texts then costs little more than its characters, where a
// string per cell costs several times them. Not thread-safe on its own: the
// grid model guards it.
class GridTexts {
public:
    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }

    // Empty cells only.
    void reset(int rows, int cols);
    // Cuts rows or appends empty ones.
    void setRows(int rows);
    // Cuts every row or widens it with empty cells.
    void setCols(int cols);
    // A row of texts at the end; missing texts are empty (cells.size() <= cols).
    void appendRow(const QVector<QString>& cells);

    QString text(int row, int col) const { return view(row, col).toString(); }
    QStringView view(int row, int col) const;
    void setText(int row, int col, QStringView text);
    QVector<QString> rowTexts(int row) const;

    // Characters held in the blocks, for measuring.
    qsizetype storedCharacters() const;

private:
    struct Row {
        std::uint32_t block = 0;
        std::uint32_t start = 0; // where the row's texts begin in its block
    };
    static constexpr qsizetype kBlockCharacters = 1 << 18;

    qsizetype rowLength(int row) const;
    const char16_t* rowData(int row) const;
    // Room for `length` more characters at the end of the last block.
    void reserveTail(qsizetype length);
    // Stores a row's texts (given whole, with their ends) at the tail.
    void storeRow(int row, const char16_t* data, qsizetype length);
    void compactIfWasteful();

    std::vector<Row> m_rows;
    std::vector<std::uint32_t> m_ends; // rows x cols: where each cell's text ends, from its row's start
    std::vector<std::vector<char16_t>> m_blocks;
    qsizetype m_wasted = 0; // characters of rows that moved or were cut
    int m_cols = 0;
};

} // namespace fee
