#include "core/grid/gridtexts.h"

#include <algorithm>
#include <cstring>

namespace fee {

void GridTexts::reset(int rows, int cols)
{
    m_cols = cols;
    m_blocks.clear();
    m_wasted = 0;
    m_rows.assign(size_t(rows), Row {});
    m_ends.assign(size_t(rows) * size_t(cols), 0);
}

qsizetype GridTexts::rowLength(int row) const
{
    return m_cols == 0 ? 0 : qsizetype(m_ends[size_t(row) * size_t(m_cols) + size_t(m_cols) - 1]);
}

const char16_t* GridTexts::rowData(int row) const
{
    const Row& r = m_rows[size_t(row)];
    return rowLength(row) == 0 ? nullptr : m_blocks[r.block].data() + r.start;
}

QStringView GridTexts::view(int row, int col) const
{
    const size_t base = size_t(row) * size_t(m_cols);
    const std::uint32_t begin = col == 0 ? 0 : m_ends[base + size_t(col) - 1];
    const std::uint32_t end = m_ends[base + size_t(col)];
    if (begin == end)
        return {};
    return QStringView(rowData(row) + begin, qsizetype(end - begin));
}

QVector<QString> GridTexts::rowTexts(int row) const
{
    QVector<QString> texts;
    texts.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c)
        texts.append(view(row, c).toString());
    return texts;
}

void GridTexts::reserveTail(qsizetype length)
{
    if (!m_blocks.empty()) {
        const std::vector<char16_t>& last = m_blocks.back();
        if (qsizetype(last.capacity() - last.size()) >= length)
            return;
    }
    std::vector<char16_t> block;
    block.reserve(size_t(std::max(kBlockCharacters, length)));
    m_blocks.push_back(std::move(block));
}

void GridTexts::storeRow(int row, const char16_t* data, qsizetype length)
{
    if (length == 0) {
        m_rows[size_t(row)] = Row {};
        return;
    }
    reserveTail(length);
    std::vector<char16_t>& block = m_blocks.back();
    m_rows[size_t(row)] = Row { std::uint32_t(m_blocks.size() - 1), std::uint32_t(block.size()) };
    block.insert(block.end(), data, data + length);
}

void GridTexts::appendRow(const QVector<QString>& cells)
{
    const int row = rows();
    m_rows.push_back(Row {});
    qsizetype length = 0;
    for (int c = 0; c < m_cols; ++c) {
        if (c < cells.size())
            length += cells[c].size();
        m_ends.push_back(std::uint32_t(length));
    }
    if (length == 0)
        return;
    reserveTail(length);
    std::vector<char16_t>& block = m_blocks.back();
    m_rows[size_t(row)] = Row { std::uint32_t(m_blocks.size() - 1), std::uint32_t(block.size()) };
    for (int c = 0; c < m_cols && c < cells.size(); ++c) {
        const char16_t* text = reinterpret_cast<const char16_t*>(cells[c].utf16());
        block.insert(block.end(), text, text + cells[c].size());
    }
}

void GridTexts::setText(int row, int col, QStringView text)
{
    const size_t base = size_t(row) * size_t(m_cols);
    const qsizetype begin = col == 0 ? 0 : qsizetype(m_ends[base + size_t(col) - 1]);
    const qsizetype end = qsizetype(m_ends[base + size_t(col)]);
    const qsizetype oldLength = rowLength(row);
    const qsizetype delta = text.size() - (end - begin);
    if (delta == 0 && (text.isEmpty() || view(row, col) == text))
        return;
    if (delta == 0) {
        // Same length: overwrite in place.
        char16_t* data = m_blocks[m_rows[size_t(row)].block].data() + m_rows[size_t(row)].start;
        if (!text.isEmpty())
            std::memcpy(data + begin, text.utf16(), size_t(text.size()) * sizeof(char16_t));
        return;
    }

    const Row where = m_rows[size_t(row)];
    const bool atTail = oldLength > 0 && where.block == m_blocks.size() - 1
        && qsizetype(where.start) + oldLength == qsizetype(m_blocks.back().size());
    std::vector<char16_t>& tail = m_blocks.empty() ? m_blocks.emplace_back() : m_blocks.back();
    if (atTail && qsizetype(tail.capacity() - tail.size()) >= delta) {
        // The row written last (a run filling its newest row): change it where it lies.
        const auto at = tail.begin() + qsizetype(where.start) + begin;
        if (delta < 0)
            tail.erase(at, at - delta);
        else
            tail.insert(at + (end - begin), size_t(delta), u'\0');
        // An empty view may carry no storage at all, and memcpy refuses a null source even for zero bytes.
        if (!text.isEmpty())
            std::memcpy(tail.data() + where.start + begin, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    } else {
        // Elsewhere: the row moves to the tail with its new text.
        std::vector<char16_t> moved;
        moved.reserve(size_t(oldLength + delta));
        const char16_t* old = rowData(row);
        if (old)
            moved.insert(moved.end(), old, old + begin);
        moved.insert(moved.end(), text.utf16(), text.utf16() + text.size());
        if (old)
            moved.insert(moved.end(), old + end, old + oldLength);
        if (atTail)
            m_blocks.back().resize(where.start); // its old place was the tail: give it back
        else
            m_wasted += oldLength;
        storeRow(row, moved.data(), qsizetype(moved.size()));
    }
    for (int c = col; c < m_cols; ++c)
        m_ends[base + size_t(c)] = std::uint32_t(qsizetype(m_ends[base + size_t(c)]) + delta);
    compactIfWasteful();
}

void GridTexts::setRows(int rows)
{
    const int old = this->rows();
    if (rows >= old) {
        m_rows.resize(size_t(rows), Row {});
        m_ends.resize(size_t(rows) * size_t(m_cols), 0);
        return;
    }
    for (int r = rows; r < old; ++r)
        m_wasted += rowLength(r);
    m_rows.resize(size_t(rows));
    m_ends.resize(size_t(rows) * size_t(m_cols));
    compactIfWasteful();
}

void GridTexts::setCols(int cols)
{
    if (cols == m_cols)
        return;
    GridTexts wider;
    wider.reset(0, cols);
    for (int r = 0; r < rows(); ++r) {
        QVector<QString> texts = rowTexts(r);
        texts.resize(std::min(int(texts.size()), cols));
        wider.appendRow(texts);
    }
    *this = std::move(wider);
}

qsizetype GridTexts::storedCharacters() const
{
    qsizetype n = 0;
    for (const auto& block : m_blocks)
        n += qsizetype(block.size());
    return n;
}

void GridTexts::compactIfWasteful()
{
    // Rows that moved or were cut leave their old characters behind; once
    // they outweigh the live ones (a new run after a big one), the live rows
    // are packed afresh.
    if (m_wasted < (1 << 16) || m_wasted < storedCharacters() - m_wasted)
        return;
    std::vector<std::vector<char16_t>> blocks;
    blocks.swap(m_blocks);
    std::vector<Row> rowsBefore = m_rows;
    m_wasted = 0;
    for (int r = 0; r < rows(); ++r) {
        const qsizetype length = rowLength(r);
        if (length == 0) {
            m_rows[size_t(r)] = Row {};
            continue;
        }
        const Row& from = rowsBefore[size_t(r)];
        storeRow(r, blocks[from.block].data() + from.start, length);
    }
}

} // namespace fee
