#pragma once

#include <QString>
#include <QVector>
#include <QXmlStreamAttributes>

namespace fee {

// One element of an XML part and where its text lies, for edits that leave
// every other character of the part as it was.
struct XmlSpan {
    QString qualifiedName; // with its prefix, "x:sheet"
    QString name; // without it
    QString namespaceUri;
    QXmlStreamAttributes attributes;
    int depth = 0; // the root is 1
    qsizetype start = -1; // the "<" of the start tag
    qsizetype startTagEnd = -1; // just after the start tag's ">"
    qsizetype end = -1; // just after the end tag (or after "/>")

    bool selfClosing() const { return end == startTagEnd; }
    // "x:" for "x:sheet", empty without a prefix.
    QString prefix() const;
    QString attribute(const QString& name) const { return attributes.value(name).toString(); }
};

// A package part's text: UTF-8 (with or without a byte-order mark) is the
// only encoding taken. Throws Failure(kErrFile) naming the part otherwise.
QString decodeXmlPart(const QByteArray& data, const QString& part);

// Every element in document order. Throws Failure(kErrFile) for text that is
// not well-formed XML.
QVector<XmlSpan> scanXml(const QString& text, const QString& part);

// Escaped for element text and attribute values alike.
QString xmlEscaped(const QString& text);

// Insertions and replacements by position in the original text, applied at
// once; the positions never overlap.
class XmlTextEdits {
public:
    void insert(qsizetype at, const QString& text) { replace(at, at, text); }
    void replace(qsizetype from, qsizetype to, const QString& text);
    bool isEmpty() const { return m_edits.isEmpty(); }
    QString applied(const QString& original) const;

private:
    struct Edit {
        qsizetype from;
        qsizetype to;
        QString text;
    };
    QVector<Edit> m_edits;
};

// The start tag's text with attribute `name` set to `value` (added before
// the closing ">" or "/>" when missing), every other character kept.
QString withAttribute(const QString& startTag, const QString& name, const QString& value);
// The start tag's text without attribute `name`.
QString withoutAttribute(const QString& startTag, const QString& name);

} // namespace fee
