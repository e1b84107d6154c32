#include "workbook/workbooksheetxml.h"

#include "workbook/workbookcell.h"
#include "workbook/workbooksheet.h"

#include <QSet>
#include <charconv>
#include <cmath>

namespace fee {

namespace {

    constexpr double kDefaultColumnWidth = 8.43;

    // Appends XML text to a byte array without going through QString per piece.
    class Out {
    public:
        explicit Out(QByteArray& bytes)
            : m_bytes(bytes)
        {
        }
        Out& operator<<(const char* text)
        {
            m_bytes.append(text);
            return *this;
        }
        Out& operator<<(const QByteArray& text)
        {
            m_bytes.append(text);
            return *this;
        }
        Out& operator<<(long long n)
        {
            char buffer[24];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
            m_bytes.append(buffer, r.ptr - buffer);
            return *this;
        }
        Out& operator<<(int n) { return *this << static_cast<long long>(n); }
        // The shortest text that reads back as the same number.
        Out& number(double value)
        {
            char buffer[32];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
            m_bytes.append(buffer, r.ptr - buffer);
            return *this;
        }
        // Escaped text: markup characters as entities, characters XML cannot
        // hold as the spreadsheet's _xHHHH_ form, and a literal "_xHHHH_"
        // protected so that readers do not decode it.
        Out& text(const QString& s, bool attribute = false)
        {
            const QByteArray utf8 = s.toUtf8();
            const char* p = utf8.constData();
            const char* const end = p + utf8.size();
            const char* run = p;
            auto flush = [&](const char* upTo) { m_bytes.append(run, upTo - run); };
            for (; p < end; ++p) {
                const unsigned char c = static_cast<unsigned char>(*p);
                const char* entity = nullptr;
                char escaped[8];
                if (c == '&')
                    entity = "&amp;";
                else if (c == '<')
                    entity = "&lt;";
                else if (c == '>')
                    entity = "&gt;";
                else if (c == '"' && attribute)
                    entity = "&quot;";
                else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    std::snprintf(escaped, sizeof escaped, "_x%04X_", c);
                    entity = escaped;
                } else if (c == '_' && isEscapeLike(p, end)) {
                    entity = "_x005F_";
                }
                if (entity) {
                    flush(p);
                    m_bytes.append(entity);
                    run = p + 1;
                }
            }
            flush(end);
            return *this;
        }

    private:
        static bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
        static bool isEscapeLike(const char* p, const char* end)
        {
            return end - p >= 7 && p[1] == 'x' && isHex(p[2]) && isHex(p[3]) && isHex(p[4]) && isHex(p[5])
                && p[6] == '_';
        }
        QByteArray& m_bytes;
    };

    bool needsPreserve(const QString& s)
    {
        if (s.isEmpty())
            return false;
        auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
        return blank(s.front()) || blank(s.back()) || s.contains(u'\n');
    }

    QByteArray columnName(int col) { return columnLetters(col).toLatin1(); }

} // namespace

double WorkbookSheetXml::storedWidth(double characters)
{
    const int pixels = characters < 1 ? int(characters * 12 + 0.5) : int(characters * 7 + 0.5) + 5;
    return std::floor(pixels / 7.0 * 256) / 256;
}

QVector<int> WorkbookSheetXml::usedFormats(const WorkbookSheet& sheet)
{
    QSet<int> seen;
    QVector<int> list;
    auto add = [&](int f) {
        if (f != 0 && !seen.contains(f)) {
            seen.insert(f);
            list.append(f);
        }
    };
    for (auto it = sheet.columnFormats().cbegin(); it != sheet.columnFormats().cend(); ++it)
        add(it.value());
    for (auto it = sheet.rowFormats().cbegin(); it != sheet.rowFormats().cend(); ++it)
        add(it.value());
    for (int r = 1; r <= sheet.lastRow(); ++r)
        for (const WorkbookCell& cell : sheet.row(r))
            add(cell.format);
    std::sort(list.begin(), list.end());
    return list;
}

QByteArray WorkbookSheetXml::write(const WorkbookSheet& sheet, const QHash<int, int>& styleOf)
{
    QByteArray bytes;
    // About 50 bytes a cell of markup and text; rows are as wide as the widest one written last.
    const qsizetype width = sheet.lastRow() ? sheet.row(sheet.lastRow()).size() : 0;
    bytes.reserve(4096 + qsizetype(sheet.lastRow()) * (32 + 50 * width));
    Out out(bytes);
    auto style = [&](int format) { return styleOf.value(format, 0); };
    const WorkbookPrintLayout& layout = sheet.printLayout();

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    if (layout.enabled)
        out << "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
    out << "<dimension ref=\"" << sheet.usedRange().address().toLatin1() << "\"/>";
    out << "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>";
    out << "<sheetFormatPr defaultRowHeight=\"15\"/>";

    // Columns: widths and column formats, one <col> per column.
    QMap<int, double> widths = sheet.columnWidths();
    for (auto it = sheet.columnFormats().cbegin(); it != sheet.columnFormats().cend(); ++it)
        if (!widths.contains(it.key()))
            widths.insert(it.key(), kDefaultColumnWidth);
    if (!widths.isEmpty()) {
        out << "<cols>";
        for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
            out << "<col min=\"" << it.key() << "\" max=\"" << it.key() << "\" width=\"";
            out.number(storedWidth(it.value()));
            out << "\"";
            if (const int s = style(sheet.columnFormats().value(it.key(), 0)))
                out << " style=\"" << s << "\"";
            if (it.value() == 0)
                out << " hidden=\"1\"";
            out << " customWidth=\"1\"/>";
        }
        out << "</cols>";
    }

    // Rows: every row with cells, a format or a height.
    QSet<int> extraRows;
    for (auto it = sheet.rowFormats().cbegin(); it != sheet.rowFormats().cend(); ++it)
        if (it.key() > sheet.lastRow())
            extraRows.insert(it.key());
    for (auto it = sheet.rowHeights().cbegin(); it != sheet.rowHeights().cend(); ++it)
        if (it.key() > sheet.lastRow())
            extraRows.insert(it.key());
    QList<int> rows;
    for (int r = 1; r <= sheet.lastRow(); ++r)
        rows.append(r);
    QList<int> extra(extraRows.cbegin(), extraRows.cend());
    std::sort(extra.begin(), extra.end());
    rows += extra;

    QVector<QByteArray> letters;
    out << "<sheetData>";
    for (const int r : rows) {
        const QVector<WorkbookCell>* cells = r <= sheet.lastRow() ? &sheet.row(r) : nullptr;
        const int rowStyle = style(sheet.rowFormat(r));
        const auto height = sheet.rowHeights().constFind(r);
        bool any = rowStyle != 0 || height != sheet.rowHeights().cend();
        if (!any && cells)
            for (const WorkbookCell& cell : *cells)
                if (cell.kind != WorkbookCell::Empty || cell.format != 0) {
                    any = true;
                    break;
                }
        if (!any)
            continue;
        out << "<row r=\"" << r << "\"";
        if (rowStyle)
            out << " s=\"" << rowStyle << "\" customFormat=\"1\"";
        if (height != sheet.rowHeights().cend()) {
            out << " ht=\"";
            out.number(height.value());
            out << "\" customHeight=\"1\"";
        }
        out << ">";
        const QByteArray rowNumber = QByteArray::number(r);
        const int count = cells ? int(cells->size()) : 0;
        while (letters.size() < count)
            letters.append(columnName(int(letters.size()) + 1));
        for (int c = 0; c < count; ++c) {
            const WorkbookCell& cell = cells->at(c);
            if (cell.kind == WorkbookCell::Empty && cell.format == 0)
                continue;
            out << "<c r=\"" << letters.at(c) << rowNumber << "\"";
            if (const int s = style(cell.format))
                out << " s=\"" << s << "\"";
            switch (cell.kind) {
            case WorkbookCell::Empty:
                out << "/>";
                break;
            case WorkbookCell::Number:
                out << "><v>";
                out.number(cell.number);
                out << "</v></c>";
                break;
            case WorkbookCell::Text:
                out << " t=\"inlineStr\"><is><t" << (needsPreserve(cell.text) ? " xml:space=\"preserve\">" : ">");
                out.text(cell.text);
                out << "</t></is></c>";
                break;
            case WorkbookCell::Formula:
                if (cell.result == WorkbookCell::TextResult)
                    out << " t=\"str\"";
                out << "><f>";
                out.text(cell.text.mid(1));
                out << "</f>";
                if (cell.result == WorkbookCell::NumberResult) {
                    out << "<v>";
                    out.number(cell.number);
                    out << "</v>";
                } else if (cell.result == WorkbookCell::TextResult) {
                    out << "<v>";
                    out.text(cell.resultText);
                    out << "</v>";
                }
                out << "</c>";
                break;
            }
        }
        out << "</row>";
    }
    out << "</sheetData>";

    if (!sheet.merges().isEmpty()) {
        out << "<mergeCells count=\"" << int(sheet.merges().size()) << "\">";
        for (const WorkbookArea& m : sheet.merges())
            out << "<mergeCell ref=\"" << m.address().toLatin1() << "\"/>";
        out << "</mergeCells>";
    }
    out << "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>";
    if (layout.enabled) {
        out << "<pageSetup orientation=\"" << (WorkbookPrintLayout::landscapeFor(sheet) ? "landscape" : "portrait")
            << "\" fitToWidth=\"1\" fitToHeight=\"0\"/>";
    }
    out << "</worksheet>";
    return bytes;
}

} // namespace fee
