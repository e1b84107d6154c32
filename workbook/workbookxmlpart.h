#pragma once

#include "workbook/workbookxmltext.h"

#include <QString>
#include <QVector>

namespace fee {

class WorkbookZip;

// An XML part of a package with its elements, and the edits made to it that
// keep every other character as it was.
class WorkbookXmlPart {
public:
    // Throws Failure(kErrFile) for a missing, undecodable or empty part.
    void load(const WorkbookZip& zip, const QString& partName);
    // Writes the part back when it was edited.
    void save(WorkbookZip& zip) const;

    const QString& name() const { return m_name; }
    const QVector<XmlSpan>& spans() const { return m_spans; }
    const XmlSpan& root() const { return m_spans.first(); }
    QString startTagOf(const XmlSpan& span) const { return m_text.mid(span.start, span.startTagEnd - span.start); }
    XmlTextEdits& edits() { return m_edits; }
    // Adds children at the end of an element, opening it when it is written self-closed.
    void appendChildren(const XmlSpan& span, const QString& children);

    // "xl/" for "xl/workbook.xml".
    static QString directoryOf(const QString& part);
    // A relationship target, relative to its source part or absolute, as a part name (no leading "/").
    static QString resolveTarget(const QString& sourcePart, const QString& target);
    // "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
    static QString relationshipsPartOf(const QString& part);

private:
    QString m_name;
    QString m_text;
    QVector<XmlSpan> m_spans;
    XmlTextEdits m_edits;
};

} // namespace fee
