#include "core/grid/gridcells.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace fee {

namespace {

    using Kind = CellValue::Kind;

    // A typed value's number in two 16-bit units when it fits 32 bits, else four.
    struct Encoded {
        char16_t units[4];
        qsizetype size = 0;
        QStringView view() const { return QStringView(units, size); }
    };

    Encoded encode(qint64 number)
    {
        Encoded e;
        const bool small = number >= std::numeric_limits<qint32>::min() && number <= std::numeric_limits<qint32>::max();
        const quint64 bits = quint64(number);
        e.size = small ? 2 : 4;
        for (qsizetype k = 0; k < e.size; ++k)
            e.units[k] = char16_t((bits >> (16 * k)) & 0xFFFF);
        return e;
    }

    qint64 decode(QStringView units)
    {
        quint64 bits = 0;
        for (qsizetype k = 0; k < units.size(); ++k)
            bits |= quint64(units.at(k).unicode()) << (16 * k);
        if (units.size() == 2)
            return qint64(qint32(quint32(bits)));
        return qint64(bits);
    }

    bool isTyped(Kind kind) { return kind != Kind::Empty && kind != Kind::Text; }

} // namespace

void GridCells::reset(int rows, int cols)
{
    m_cols = cols;
    m_blocks.clear();
    m_wasted = 0;
    m_rows.assign(size_t(rows), Row {});
    m_ends.assign(size_t(rows) * size_t(cols), 0);
    m_kinds.assign(size_t(rows) * size_t(cols), std::uint8_t(Kind::Empty));
}

qsizetype GridCells::rowLength(int row) const
{
    return m_cols == 0 ? 0 : qsizetype(m_ends[index(row, m_cols - 1)]);
}

const char16_t* GridCells::rowData(int row) const
{
    const Row& r = m_rows[size_t(row)];
    return rowLength(row) == 0 ? nullptr : m_blocks[r.block].data() + r.start;
}

QStringView GridCells::span(int row, int col) const
{
    const size_t base = index(row, 0);
    const std::uint32_t begin = col == 0 ? 0 : m_ends[base + size_t(col) - 1];
    const std::uint32_t end = m_ends[base + size_t(col)];
    if (begin == end)
        return {};
    return QStringView(rowData(row) + begin, qsizetype(end - begin));
}

CellValue GridCells::value(int row, int col) const
{
    const Kind k = kind(row, col);
    if (k == Kind::Empty)
        return CellValue();
    if (k == Kind::Text)
        return CellValue::fromText(span(row, col).toString());
    return CellValue::fromStored(k, decode(span(row, col)));
}

QString GridCells::text(int row, int col) const
{
    const Kind k = kind(row, col);
    if (k == Kind::Text)
        return span(row, col).toString();
    if (k == Kind::Empty)
        return QString();
    return value(row, col).text();
}

QVector<QString> GridCells::rowTexts(int row) const
{
    QVector<QString> texts;
    texts.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c)
        texts.append(text(row, c));
    return texts;
}

QVector<CellValue> GridCells::rowValues(int row) const
{
    QVector<CellValue> values;
    values.reserve(m_cols);
    for (int c = 0; c < m_cols; ++c)
        values.append(value(row, c));
    return values;
}

bool GridCells::sameValue(int row, int col, int otherRow, int otherCol) const
{
    return kind(row, col) == kind(otherRow, otherCol) && span(row, col) == span(otherRow, otherCol);
}

void GridCells::reserveTail(qsizetype length)
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

void GridCells::storeRow(int row, const char16_t* data, qsizetype length)
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

void GridCells::appendRow(const QVector<QString>& cells)
{
    const int row = rows();
    m_rows.push_back(Row {});
    qsizetype length = 0;
    for (int c = 0; c < m_cols; ++c) {
        const bool filled = c < cells.size() && !cells[c].isEmpty();
        if (filled)
            length += cells[c].size();
        m_ends.push_back(std::uint32_t(length));
        m_kinds.push_back(std::uint8_t(filled ? Kind::Text : Kind::Empty));
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

void GridCells::appendRow(const QVector<CellValue>& cells)
{
    const int row = rows();
    m_rows.push_back(Row {});
    // The units of the whole row first, then one copy into the tail.
    QVector<Encoded> numbers(cells.size());
    qsizetype length = 0;
    for (int c = 0; c < m_cols; ++c) {
        const Kind k = c < cells.size() ? cells[c].kind() : Kind::Empty;
        if (k == Kind::Text)
            length += cells[c].string().size();
        else if (isTyped(k)) {
            numbers[c] = encode(cells[c].stored());
            length += numbers[c].size;
        }
        m_ends.push_back(std::uint32_t(length));
        m_kinds.push_back(std::uint8_t(k));
    }
    if (length == 0)
        return;
    reserveTail(length);
    std::vector<char16_t>& block = m_blocks.back();
    m_rows[size_t(row)] = Row { std::uint32_t(m_blocks.size() - 1), std::uint32_t(block.size()) };
    for (int c = 0; c < m_cols && c < cells.size(); ++c) {
        const Kind k = cells[c].kind();
        if (k == Kind::Text) {
            const char16_t* text = reinterpret_cast<const char16_t*>(cells[c].string().utf16());
            block.insert(block.end(), text, text + cells[c].string().size());
        } else if (isTyped(k)) {
            block.insert(block.end(), numbers[c].units, numbers[c].units + numbers[c].size);
        }
    }
}

void GridCells::setText(int row, int col, QStringView text)
{
    setSpan(row, col, text.isEmpty() ? Kind::Empty : Kind::Text, text);
}

void GridCells::setValue(int row, int col, const CellValue& value)
{
    const Kind k = value.kind();
    if (k == Kind::Text)
        setSpan(row, col, k, value.string());
    else if (isTyped(k)) {
        const Encoded e = encode(value.stored());
        setSpan(row, col, k, e.view());
    } else
        setSpan(row, col, Kind::Empty, {});
}

void GridCells::setSpan(int row, int col, Kind kind, QStringView units)
{
    const size_t base = index(row, 0);
    m_kinds[base + size_t(col)] = std::uint8_t(kind);
    const qsizetype begin = col == 0 ? 0 : qsizetype(m_ends[base + size_t(col) - 1]);
    const qsizetype end = qsizetype(m_ends[base + size_t(col)]);
    const qsizetype oldLength = rowLength(row);
    const qsizetype delta = units.size() - (end - begin);
    if (delta == 0 && (units.isEmpty() || span(row, col) == units))
        return;
    if (delta == 0) {
        // Same length: overwrite in place.
        char16_t* data = m_blocks[m_rows[size_t(row)].block].data() + m_rows[size_t(row)].start;
        std::memcpy(data + begin, units.utf16(), size_t(units.size()) * sizeof(char16_t));
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
        if (!units.isEmpty())
            std::memcpy(tail.data() + where.start + begin, units.utf16(), size_t(units.size()) * sizeof(char16_t));
    } else {
        // Elsewhere: the row moves to the tail with its new cell.
        std::vector<char16_t> moved;
        moved.reserve(size_t(oldLength + delta));
        const char16_t* old = rowData(row);
        if (old)
            moved.insert(moved.end(), old, old + begin);
        moved.insert(moved.end(), units.utf16(), units.utf16() + units.size());
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

void GridCells::setRows(int rows)
{
    const int old = this->rows();
    if (rows >= old) {
        m_rows.resize(size_t(rows), Row {});
        m_ends.resize(size_t(rows) * size_t(m_cols), 0);
        m_kinds.resize(size_t(rows) * size_t(m_cols), std::uint8_t(Kind::Empty));
        return;
    }
    for (int r = rows; r < old; ++r)
        m_wasted += rowLength(r);
    m_rows.resize(size_t(rows));
    m_ends.resize(size_t(rows) * size_t(m_cols));
    m_kinds.resize(size_t(rows) * size_t(m_cols));
    compactIfWasteful();
}

void GridCells::setCols(int cols)
{
    if (cols == m_cols)
        return;
    GridCells wider;
    wider.reset(0, cols);
    for (int r = 0; r < rows(); ++r) {
        QVector<CellValue> values = rowValues(r);
        values.resize(std::min(int(values.size()), cols));
        wider.appendRow(values);
    }
    *this = std::move(wider);
}

qsizetype GridCells::storedCharacters() const
{
    qsizetype n = 0;
    for (const auto& block : m_blocks)
        n += qsizetype(block.size());
    return n;
}

void GridCells::compactIfWasteful()
{
    // Rows that moved or were cut leave their old units behind; once they
    // outweigh the live ones (a new run after a big one), the live rows are
    // packed afresh.
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
