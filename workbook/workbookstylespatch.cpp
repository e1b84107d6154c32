#include "workbook/workbookstylespatch.h"

#include "core/failure.h"

namespace fee {

namespace {

    const char* const kSectionNames[] = { "numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs" };
    // Children of styleSheet in the order the format requires.
    const char* const kStyleSheetOrder[] = { "numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs",
        "cellStyles", "dxfs", "tableStyles", "colors", "extLst" };

    int orderOf(const QString& name)
    {
        for (int i = 0; i < int(std::size(kStyleSheetOrder)); ++i)
            if (name == QLatin1String(kStyleSheetOrder[i]))
                return i;
        return -1;
    }

    // A styles part with what every workbook needs: the default font, the two
    // reserved fills, an empty border, the Normal style.
    const char* const kMinimalStyles
        = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
          "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
          "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/>"
          "<family val=\"2\"/><scheme val=\"minor\"/></font></fonts>"
          "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
          "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
          "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border>"
          "</borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" "
          "fillId=\"0\" borderId=\"0\"/></cellStyleXfs><cellXfs count=\"1\">"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
          "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
          "builtinId=\"0\"/></cellStyles></styleSheet>";

    int builtInNumberFormatId(const QString& code)
    {
        static const QHash<QString, int> ids { { QStringLiteral("0"), 1 }, { QStringLiteral("0.00"), 2 },
            { QStringLiteral("#,##0"), 3 }, { QStringLiteral("#,##0.00"), 4 }, { QStringLiteral("0%"), 9 },
            { QStringLiteral("0.00%"), 10 }, { QStringLiteral("0.00E+00"), 11 }, { QStringLiteral("@"), 49 } };
        return ids.value(code, -1);
    }

    const char* borderStyleName(quint8 border)
    {
        switch (border) {
        case WorkbookFormat::BorderThin:
            return "thin";
        case WorkbookFormat::BorderDashed:
            return "dashed";
        case WorkbookFormat::BorderDotted:
            return "dotted";
        case WorkbookFormat::BorderDouble:
            return "double";
        case WorkbookFormat::BorderDashDot:
            return "dashDot";
        case WorkbookFormat::BorderDashDotDot:
            return "dashDotDot";
        default:
            return nullptr;
        }
    }

    const char* horizontalName(quint8 align)
    {
        switch (align) {
        case WorkbookFormat::HLeft:
            return "left";
        case WorkbookFormat::HCenter:
            return "center";
        case WorkbookFormat::HRight:
            return "right";
        default:
            return nullptr;
        }
    }

    const char* verticalName(quint8 align)
    {
        switch (align) {
        case WorkbookFormat::VTop:
            return "top";
        case WorkbookFormat::VCenter:
            return "center";
        case WorkbookFormat::VBottom:
            return "bottom";
        case WorkbookFormat::VJustify:
            return "justify";
        case WorkbookFormat::VDistributed:
            return "distributed";
        default:
            return nullptr;
        }
    }

    QString number(double value) { return QString::number(value, 'g', 15); }

    bool hasWideCharacters(const QString& text)
    {
        for (const QChar c : text)
            if (c.unicode() > 0x7F)
                return true;
        return false;
    }

} // namespace

const char* const WorkbookStylesPatch::kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

WorkbookStylesPatch::WorkbookStylesPatch(const QString& stylesXml, const QString& part)
    : m_text(stylesXml.isEmpty() ? QString::fromUtf8(kMinimalStyles) : stylesXml)
    , m_part(part)
{
    m_spans = scanXml(m_text, part);
    if (m_spans.isEmpty() || m_spans.first().name != u"styleSheet"
        || m_spans.first().namespaceUri != QLatin1String(kMainNamespace) || m_spans.first().selfClosing())
        throw Failure(kErrFile, QStringLiteral("工作簿的 %1 不是可以识别的样式表").arg(part));
    m_prefix = m_spans.first().prefix();

    for (qsizetype i = 1; i < m_spans.size(); ++i) {
        const XmlSpan& span = m_spans.at(i);
        if (span.depth != 2)
            continue;
        for (int s = 0; s < SectionCount; ++s)
            if (span.name == QLatin1String(kSectionNames[s]))
                m_sections[s].span = i;
    }
    // Children of each section, by their text, so that equal ones are found again.
    for (int s = 0; s < SectionCount; ++s) {
        SectionState& state = m_sections[s];
        if (state.span < 0)
            continue;
        const XmlSpan& section = m_spans.at(state.span);
        for (qsizetype i = state.span + 1; i < m_spans.size() && m_spans.at(i).start < section.end; ++i) {
            const XmlSpan& child = m_spans.at(i);
            if (child.depth != 3)
                continue;
            const QString text = m_text.mid(child.start, child.end - child.start);
            if (!state.indexOf.contains(text))
                state.indexOf.insert(text, state.existing);
            ++state.existing;
            if (s == NumFmts) {
                const int id = child.attribute(QStringLiteral("numFmtId")).toInt();
                m_numFmtIds.insert(child.attribute(QStringLiteral("formatCode")), id);
                m_nextNumFmtId = std::max(m_nextNumFmtId, id + 1);
            }
            if (s == Fonts && state.existing == 1) {
                for (qsizetype j = i + 1; j < m_spans.size() && m_spans.at(j).start < child.end; ++j) {
                    const XmlSpan& p = m_spans.at(j);
                    const QString val = p.attribute(QStringLiteral("val"));
                    if (p.name == u"name")
                        m_baseFontName = val;
                    else if (p.name == u"sz")
                        m_baseFontSize = val.toDouble();
                    else if (p.name == u"family")
                        m_baseFontFamily = val;
                    else if (p.name == u"charset")
                        m_baseFontCharset = val;
                    else if (p.name == u"scheme")
                        m_baseFontScheme = val;
                }
            }
        }
    }
    // Fills 0 and 1 are reserved (none and gray125) whatever they say: a
    // part with fewer gets them before ours.
    SectionState& fills = m_sections[Fills];
    const QString reserved[] = { QStringLiteral("<%1><%2 patternType=\"none\"/></%1>"),
        QStringLiteral("<%1><%2 patternType=\"gray125\"/></%1>") };
    for (int k = fills.existing; k < 2; ++k)
        indexIn(Fills, reserved[k].arg(tag("fill"), tag("patternFill")));
    if (m_sections[Fonts].existing == 0)
        indexIn(Fonts, fontElement(WorkbookFormat {}));
    if (m_sections[Borders].existing == 0)
        indexIn(Borders,
            QStringLiteral("<%1><%2/><%3/><%4/><%5/><%6/></%1>")
                .arg(tag("border"), tag("left"), tag("right"), tag("top"), tag("bottom"), tag("diagonal")));
    if (m_sections[CellXfs].existing == 0)
        indexIn(
            CellXfs, QStringLiteral("<%1 numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>").arg(tag("xf")));
}

int WorkbookStylesPatch::indexIn(Section section, const QString& element)
{
    SectionState& state = m_sections[section];
    const auto it = state.indexOf.constFind(element);
    if (it != state.indexOf.constEnd())
        return it.value();
    const int index = state.existing + int(state.appended.size());
    state.appended.append(element);
    state.indexOf.insert(element, index);
    return index;
}

int WorkbookStylesPatch::numberFormatId(const QString& code)
{
    if (code.isEmpty())
        return 0;
    const int builtIn = builtInNumberFormatId(code);
    if (builtIn >= 0)
        return builtIn;
    const auto it = m_numFmtIds.constFind(code);
    if (it != m_numFmtIds.constEnd())
        return it.value();
    const int id = m_nextNumFmtId++;
    m_numFmtIds.insert(code, id);
    indexIn(NumFmts,
        QStringLiteral("<%1 numFmtId=\"%2\" formatCode=\"%3\"/>").arg(tag("numFmt")).arg(id).arg(xmlEscaped(code)));
    return id;
}

QString WorkbookStylesPatch::fontElement(const WorkbookFormat& f) const
{
    const bool ownName = !f.fontName.isEmpty() && f.fontName != m_baseFontName;
    const QString name = ownName ? f.fontName : (m_baseFontName.isEmpty() ? QStringLiteral("Calibri") : m_baseFontName);
    QString font = QStringLiteral("<%1>").arg(tag("font"));
    if (f.bold)
        font += QStringLiteral("<%1/>").arg(tag("b"));
    font += QStringLiteral("<%1 val=\"%2\"/>").arg(tag("sz"), number(f.fontSize > 0 ? f.fontSize : m_baseFontSize));
    font += QStringLiteral("<%1 val=\"%2\"/>").arg(tag("name"), xmlEscaped(name));
    const QString family = ownName ? QStringLiteral("2") : m_baseFontFamily;
    if (!family.isEmpty())
        font += QStringLiteral("<%1 val=\"%2\"/>").arg(tag("family"), family);
    // A font of its own names its character set; the theme's scheme would override the name.
    const QString charset = ownName ? (hasWideCharacters(name) ? QStringLiteral("134") : QString()) : m_baseFontCharset;
    if (!charset.isEmpty())
        font += QStringLiteral("<%1 val=\"%2\"/>").arg(tag("charset"), charset);
    if (!ownName && !m_baseFontScheme.isEmpty())
        font += QStringLiteral("<%1 val=\"%2\"/>").arg(tag("scheme"), m_baseFontScheme);
    font += QStringLiteral("</%1>").arg(tag("font"));
    return font;
}

int WorkbookStylesPatch::styleFor(const WorkbookFormat& f)
{
    if (f.isDefault())
        return 0;
    const int numFmtId = numberFormatId(f.numberFormat);
    const bool ownFont = !f.fontName.isEmpty() || f.fontSize > 0 || f.bold;
    const int fontId = ownFont ? indexIn(Fonts, fontElement(f)) : 0;
    int fillId = 0;
    if (f.fill >= 0) {
        const QString rgb = QStringLiteral("%1").arg(f.fill, 6, 16, QLatin1Char('0')).toUpper();
        fillId = indexIn(Fills,
            QStringLiteral("<%1><%2 patternType=\"solid\"><%3 rgb=\"FF%4\"/><%5 indexed=\"64\"/></%2></%1>")
                .arg(tag("fill"), tag("patternFill"), tag("fgColor"), rgb, tag("bgColor")));
    }
    int borderId = 0;
    if (const char* style = borderStyleName(f.border)) {
        QString border = QStringLiteral("<%1>").arg(tag("border"));
        for (const char* side : { "left", "right", "top", "bottom" })
            border += QStringLiteral("<%1 style=\"%2\"><%3 auto=\"1\"/></%1>")
                          .arg(tag(side), QLatin1String(style), tag("color"));
        border += QStringLiteral("<%1/></%2>").arg(tag("diagonal"), tag("border"));
        borderId = indexIn(Borders, border);
    }
    QString alignment;
    if (const char* h = horizontalName(f.hAlign))
        alignment += QStringLiteral(" horizontal=\"%1\"").arg(QLatin1String(h));
    if (const char* v = verticalName(f.vAlign))
        alignment += QStringLiteral(" vertical=\"%1\"").arg(QLatin1String(v));
    if (f.wrap)
        alignment += QStringLiteral(" wrapText=\"1\"");

    QString xf = QStringLiteral("<%1 numFmtId=\"%2\" fontId=\"%3\" fillId=\"%4\" borderId=\"%5\" xfId=\"0\"")
                     .arg(tag("xf"))
                     .arg(numFmtId)
                     .arg(fontId)
                     .arg(fillId)
                     .arg(borderId);
    if (numFmtId)
        xf += QStringLiteral(" applyNumberFormat=\"1\"");
    if (fontId)
        xf += QStringLiteral(" applyFont=\"1\"");
    if (fillId)
        xf += QStringLiteral(" applyFill=\"1\"");
    if (borderId)
        xf += QStringLiteral(" applyBorder=\"1\"");
    if (alignment.isEmpty())
        xf += QStringLiteral("/>");
    else
        xf += QStringLiteral(" applyAlignment=\"1\"><%1%2/></%3>").arg(tag("alignment"), alignment, tag("xf"));
    return indexIn(CellXfs, xf);
}

bool WorkbookStylesPatch::changed() const
{
    for (const SectionState& state : m_sections)
        if (!state.appended.isEmpty())
            return true;
    return false;
}

QString WorkbookStylesPatch::result() const
{
    XmlTextEdits edits;
    const XmlSpan& root = m_spans.first();
    for (int s = 0; s < SectionCount; ++s) {
        const SectionState& state = m_sections[s];
        if (state.appended.isEmpty())
            continue;
        const QString items = state.appended.join(QString());
        const QString count = QString::number(state.existing + state.appended.size());
        if (state.span >= 0) {
            const XmlSpan& section = m_spans.at(state.span);
            const QString startTag = m_text.mid(section.start, section.startTagEnd - section.start);
            if (section.selfClosing()) {
                QString open = withAttribute(startTag, QStringLiteral("count"), count);
                open.replace(open.lastIndexOf(QLatin1String("/>")), 2, QStringLiteral(">"));
                edits.replace(
                    section.start, section.end, open + items + QStringLiteral("</%1>").arg(section.qualifiedName));
            } else {
                edits.replace(
                    section.start, section.startTagEnd, withAttribute(startTag, QStringLiteral("count"), count));
                edits.insert(m_text.lastIndexOf(u'<', section.end - 1), items);
            }
            continue;
        }
        // A missing section goes before the first section that follows it in the required order.
        const int order = orderOf(QLatin1String(kSectionNames[s]));
        qsizetype at = m_text.lastIndexOf(u'<', root.end - 1);
        for (qsizetype i = 1; i < m_spans.size(); ++i) {
            const XmlSpan& span = m_spans.at(i);
            if (span.depth == 2 && orderOf(span.name) > order) {
                at = span.start;
                break;
            }
        }
        edits.insert(at, QStringLiteral("<%1 count=\"%2\">%3</%1>").arg(tag(kSectionNames[s]), count, items));
    }
    return edits.applied(m_text);
}

} // namespace fee
