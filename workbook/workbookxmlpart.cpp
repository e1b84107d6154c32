#include "workbook/workbookxmlpart.h"

#include "core/failure.h"
#include "workbook/workbookzip.h"

#include <QDir>

namespace fee {

void WorkbookXmlPart::load(const WorkbookZip& zip, const QString& partName)
{
    m_name = partName;
    m_text = decodeXmlPart(zip.read(partName, true), partName);
    m_spans = scanXml(m_text, partName);
    m_edits = XmlTextEdits();
    if (m_spans.isEmpty())
        throw Failure(kErrFile, QStringLiteral("工作簿的 %1 是空的").arg(partName));
}

void WorkbookXmlPart::save(WorkbookZip& zip) const
{
    if (!m_edits.isEmpty())
        zip.write(m_name, m_edits.applied(m_text).toUtf8());
}

void WorkbookXmlPart::appendChildren(const XmlSpan& span, const QString& children)
{
    if (span.selfClosing()) {
        QString open = startTagOf(span);
        open.replace(open.lastIndexOf(QLatin1String("/>")), 2, QStringLiteral(">"));
        m_edits.replace(span.start, span.end, open + children + QStringLiteral("</%1>").arg(span.qualifiedName));
    } else {
        m_edits.insert(m_text.lastIndexOf(u'<', span.end - 1), children);
    }
}

QString WorkbookXmlPart::directoryOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString WorkbookXmlPart::resolveTarget(const QString& sourcePart, const QString& target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : directoryOf(sourcePart) + target;
    path = QDir::cleanPath(path);
    return path.startsWith(u'/') ? path.mid(1) : path;
}

QString WorkbookXmlPart::relationshipsPartOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return directoryOf(part) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

} // namespace fee
