#include "workbook/workbookarea.h"

#include "core/failure.h"

#include <algorithm>

namespace fee {

namespace {

    [[noreturn]] void badAddress(const QString& address)
    {
        throw Failure(kErrWorkbook, QStringLiteral("无效的单元格区域: \"%1\"").arg(address));
    }

    void checkRow(int row)
    {
        if (row < 1 || row > WorkbookArea::kMaxRows)
            throw Failure(kErrWorkbook, QStringLiteral("行号超出范围: %1").arg(row));
    }

    void checkCol(int col)
    {
        if (col < 1 || col > WorkbookArea::kMaxCols)
            throw Failure(kErrWorkbook, QStringLiteral("列号超出范围: %1").arg(col));
    }

    // One end of an address: optional "$", letters, optional "$", digits. Either
    // part may be missing (whole rows or columns); 0 stands for a missing part.
    bool parseEnd(QStringView text, int& row, int& col)
    {
        qsizetype i = 0;
        const qsizetype n = text.size();
        if (i < n && text[i] == u'$')
            ++i;
        qint64 c = 0;
        qsizetype letters = 0;
        while (i < n && text[i].isLetter() && text[i].unicode() < 128) {
            c = c * 26 + (text[i].toUpper().unicode() - u'A' + 1);
            if (c > WorkbookArea::kMaxCols)
                return false;
            ++i;
            ++letters;
        }
        if (letters > 0 && i < n && text[i] == u'$')
            ++i;
        qint64 r = 0;
        qsizetype digits = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            r = r * 10 + (text[i].unicode() - u'0');
            if (r > WorkbookArea::kMaxRows)
                return false;
            ++i;
            ++digits;
        }
        if (i != n || (letters == 0 && digits == 0) || (digits > 0 && r == 0))
            return false;
        row = int(r);
        col = int(c);
        return true;
    }

} // namespace

QString columnLetters(int col)
{
    QString letters;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        letters.prepend(QChar(u'A' + rest));
        col = (col - 1) / 26;
    }
    return letters;
}

QString WorkbookArea::address() const
{
    if (wholeRows)
        return QStringLiteral("%1:%2").arg(top).arg(bottom);
    if (wholeCols)
        return columnLetters(left) + u':' + columnLetters(right);
    const QString first = columnLetters(left) + QString::number(top);
    if (isSingleCell())
        return first;
    return first + u':' + columnLetters(right) + QString::number(bottom);
}

WorkbookArea WorkbookArea::cell(int row, int col) { return cells(row, col, row, col); }

WorkbookArea WorkbookArea::cells(int top, int left, int bottom, int right)
{
    checkRow(top);
    checkRow(bottom);
    checkCol(left);
    checkCol(right);
    WorkbookArea a;
    a.top = std::min(top, bottom);
    a.bottom = std::max(top, bottom);
    a.left = std::min(left, right);
    a.right = std::max(left, right);
    return a;
}

WorkbookArea WorkbookArea::rows(int first, int last)
{
    WorkbookArea a = cells(first, 1, last, kMaxCols);
    a.wholeRows = true;
    return a;
}

WorkbookArea WorkbookArea::columns(int first, int last)
{
    WorkbookArea a = cells(1, first, kMaxRows, last);
    a.wholeCols = true;
    return a;
}

WorkbookArea WorkbookArea::parse(const QString& address)
{
    const QString text = address.trimmed();
    const qsizetype colon = text.indexOf(u':');
    const QStringView first = colon < 0 ? QStringView(text) : QStringView(text).left(colon);
    const QStringView second = colon < 0 ? first : QStringView(text).mid(colon + 1);
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!parseEnd(first, r1, c1) || !parseEnd(second, r2, c2))
        badAddress(address);
    if (r1 > 0 && c1 > 0 && r2 > 0 && c2 > 0)
        return cells(r1, c1, r2, c2);
    if (colon >= 0 && c1 == 0 && c2 == 0)
        return rows(r1, r2);
    if (colon >= 0 && r1 == 0 && r2 == 0)
        return columns(c1, c2);
    badAddress(address);
}

WorkbookArea WorkbookArea::span(const WorkbookArea& a, const WorkbookArea& b)
{
    WorkbookArea s;
    s.top = std::min(a.top, b.top);
    s.left = std::min(a.left, b.left);
    s.bottom = std::max(a.bottom, b.bottom);
    s.right = std::max(a.right, b.right);
    s.wholeRows = a.wholeRows && b.wholeRows;
    s.wholeCols = a.wholeCols && b.wholeCols;
    return s;
}

} // namespace fee
