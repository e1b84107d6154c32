#include "workbook/workbookxmltext.h"

#include "core/failure.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <algorithm>

namespace fee {

namespace {

    [[noreturn]] void badPart(const QString& part, const QString& reason)
    {
        throw Failure(kErrFile, QStringLiteral("工作簿的 %1 无法读取: %2").arg(part, reason));
    }

    struct AttributeText {
        QString name;
        qsizetype from; // the blanks before the name
        qsizetype to; // after the closing quote
    };

    bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

    // The attributes of a well-formed start tag, read token by token so that a
    // value holding another attribute's text is never taken for it.
    QVector<AttributeText> attributesOf(const QString& tag)
    {
        QVector<AttributeText> list;
        qsizetype i = 1;
        while (i < tag.size() && !isBlank(tag.at(i)) && tag.at(i) != u'>' && tag.at(i) != u'/')
            ++i;
        for (;;) {
            const qsizetype from = i;
            while (i < tag.size() && isBlank(tag.at(i)))
                ++i;
            if (i >= tag.size() || tag.at(i) == u'>' || tag.at(i) == u'/')
                break;
            const qsizetype nameStart = i;
            while (i < tag.size() && tag.at(i) != u'=' && !isBlank(tag.at(i)))
                ++i;
            const QString name = tag.mid(nameStart, i - nameStart);
            while (i < tag.size() && (isBlank(tag.at(i)) || tag.at(i) == u'='))
                ++i;
            if (i >= tag.size())
                break;
            const QChar quote = tag.at(i);
            const qsizetype close = tag.indexOf(quote, i + 1);
            if (close < 0)
                break;
            i = close + 1;
            list.append({ name, from, i });
        }
        return list;
    }

} // namespace

QString XmlSpan::prefix() const
{
    const qsizetype colon = qualifiedName.indexOf(u':');
    return colon < 0 ? QString() : qualifiedName.left(colon + 1);
}

QString decodeXmlPart(const QByteArray& data, const QString& part)
{
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF"))
        badPart(part, QStringLiteral("不是 UTF-8 编码"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (utf8.hasError())
        badPart(part, QStringLiteral("不是 UTF-8 编码"));
    return text;
}

QVector<XmlSpan> scanXml(const QString& text, const QString& part)
{
    QVector<XmlSpan> spans;
    QVector<qsizetype> open; // indexes into spans of the elements not yet closed
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            XmlSpan span;
            span.qualifiedName = xml.qualifiedName().toString();
            span.name = xml.name().toString();
            span.namespaceUri = xml.namespaceUri().toString();
            span.attributes = xml.attributes();
            span.depth = int(open.size()) + 1;
            span.startTagEnd = xml.characterOffset();
            span.start = text.lastIndexOf(u'<', span.startTagEnd - 1);
            open.append(spans.size());
            spans.append(span);
        } else if (xml.isEndElement()) {
            spans[open.takeLast()].end = xml.characterOffset();
        }
    }
    if (xml.hasError())
        badPart(part, xml.errorString());
    return spans;
}

QString xmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

void XmlTextEdits::replace(qsizetype from, qsizetype to, const QString& text) { m_edits.append({ from, to, text }); }

QString XmlTextEdits::applied(const QString& original) const
{
    QVector<Edit> edits = m_edits;
    // Insertions at one place keep the order they were made in.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.from < b.from; });
    QString out;
    out.reserve(original.size() + 1024);
    qsizetype at = 0;
    for (const Edit& e : edits) {
        out += QStringView(original).mid(at, e.from - at);
        out += e.text;
        at = std::max(at, e.to);
    }
    out += QStringView(original).mid(at);
    return out;
}

QString withAttribute(const QString& startTag, const QString& name, const QString& value)
{
    const QString attribute = QStringLiteral(" %1=\"%2\"").arg(name, xmlEscaped(value));
    QString tag = startTag;
    for (const AttributeText& a : attributesOf(tag))
        if (a.name == name)
            return tag.replace(a.from, a.to - a.from, attribute);
    const qsizetype close = tag.endsWith(QLatin1String("/>")) ? tag.size() - 2 : tag.size() - 1;
    return tag.insert(close, attribute);
}

QString withoutAttribute(const QString& startTag, const QString& name)
{
    QString tag = startTag;
    for (const AttributeText& a : attributesOf(tag))
        if (a.name == name)
            return tag.remove(a.from, a.to - a.from);
    return tag;
}

} // namespace fee
