#include "workbook/workbookpackagepatcher.h"

#include "core/failure.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbooksheet.h"
#include "workbook/workbooksheetxml.h"
#include "workbook/workbookstylespatch.h"
#include "workbook/workbookxmlpart.h"
#include "workbook/workbookzip.h"

#include <QDir>
#include <QSet>

namespace fee {

namespace {

    const QString kRelationshipsNs
        = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    const QString kRelType = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
    const QString kWorksheetType
        = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    const QString kStylesType
        = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
    const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");

    struct Relationship {
        qsizetype span;
        QString id;
        QString type;
        QString target; // resolved part name
    };

    struct SheetEntry {
        qsizetype span;
        QString name;
        int sheetId;
        QString relId;
        QString state;
    };

    class PackagePatcher {
    public:
        PackagePatcher(WorkbookZip& zip, const QString& fileName, const WorkbookSheet& sheet)
            : m_zip(zip)
            , m_fileName(fileName)
            , m_sheet(sheet)
        {
        }

        void apply()
        {
            loadParts();
            const int position = findSheet();
            const QString sheetPart = position >= 0 ? reuseSheet(position) : appendSheet();
            writeSheet(sheetPart);
            setPrintTitles(position >= 0 ? position : int(m_sheets.size()));
            showWorkbookWindow();
            m_contentTypes.save(m_zip);
            m_workbook.save(m_zip);
            m_workbookRels.save(m_zip);
        }

    private:
        void loadParts()
        {
            m_contentTypes.load(m_zip, kContentTypesPart);
            WorkbookXmlPart rootRels;
            rootRels.load(m_zip, QStringLiteral("_rels/.rels"));
            QString workbookPart;
            for (const Relationship& r : relationshipsOf(rootRels, QString()))
                if (r.type == kRelType + QStringLiteral("officeDocument"))
                    workbookPart = r.target;
            if (workbookPart.isEmpty())
                WorkbookPackagePatcher::refuse(
                    m_fileName, QStringLiteral("不是 Excel 工作簿 (.xlsx)，或是不支持的 Strict Open XML 格式"));
            if (!insidePackage(workbookPart))
                WorkbookPackagePatcher::refuse(m_fileName, QStringLiteral("工作簿部件的位置在文件包之外"));
            if (!workbookPart.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                WorkbookPackagePatcher::refuse(m_fileName, QStringLiteral("是二进制格式 (.xlsb) 的工作簿"));
            m_workbook.load(m_zip, workbookPart);
            if (m_workbook.root().name != u"workbook"
                || m_workbook.root().namespaceUri != QLatin1String(WorkbookStylesPatch::kMainNamespace))
                WorkbookPackagePatcher::refuse(
                    m_fileName, QStringLiteral("工作簿的格式无法识别 (Strict Open XML 不受支持)"));
            m_workbookRels.load(m_zip, WorkbookXmlPart::relationshipsPartOf(workbookPart));
            m_relationships = relationshipsOf(m_workbookRels, workbookPart);
            // An Id given twice leaves open which part a sheet is: the sheet
            // could go to one while a spreadsheet reads the other.
            QSet<QString> ids;
            for (const Relationship& r : m_relationships) {
                if (ids.contains(r.id))
                    WorkbookPackagePatcher::refuse(
                        m_fileName, QStringLiteral("工作簿的关系 Id \"%1\" 出现了不止一次").arg(r.id));
                ids.insert(r.id);
            }

            for (qsizetype i = 0; i < m_workbook.spans().size(); ++i) {
                const XmlSpan& span = m_workbook.spans().at(i);
                if (span.depth == 2 && span.name == u"sheets")
                    m_sheetsSpan = i;
                if (span.depth == 2 && span.name == u"definedNames")
                    m_definedNamesSpan = i;
                if (span.depth == 3 && span.name == u"sheet" && m_sheetsSpan >= 0) {
                    SheetEntry entry { i, span.attribute(QStringLiteral("name")),
                        span.attribute(QStringLiteral("sheetId")).toInt(),
                        span.attributes.value(kRelationshipsNs, QStringLiteral("id")).toString(),
                        span.attribute(QStringLiteral("state")) };
                    m_sheets.append(entry);
                }
            }
            if (m_sheetsSpan < 0)
                WorkbookPackagePatcher::refuse(m_fileName, QStringLiteral("工作簿没有工作表列表"));
        }

        QVector<Relationship> relationshipsOf(const WorkbookXmlPart& rels, const QString& sourcePart) const
        {
            QVector<Relationship> list;
            for (qsizetype i = 0; i < rels.spans().size(); ++i) {
                const XmlSpan& span = rels.spans().at(i);
                if (span.name != u"Relationship")
                    continue;
                const bool external = span.attribute(QStringLiteral("TargetMode")) == u"External";
                list.append({ i, span.attribute(QStringLiteral("Id")), span.attribute(QStringLiteral("Type")),
                    external ? QString()
                             : WorkbookXmlPart::resolveTarget(sourcePart, span.attribute(QStringLiteral("Target"))) });
            }
            return list;
        }

        // A sheet without an Id has no relationship, even where one lacks its Id too.
        const Relationship* relationship(const QString& id) const
        {
            if (id.isEmpty())
                return nullptr;
            for (const Relationship& r : m_relationships)
                if (r.id == id)
                    return &r;
            return nullptr;
        }

        const Relationship* relationshipOfType(const QString& type) const
        {
            for (const Relationship& r : m_relationships)
                if (r.type == kRelType + type)
                    return &r;
            return nullptr;
        }

        // The position of the sheet named exactly like ours, -1 when there is none.
        int findSheet() const
        {
            const QString name = m_sheet.name();
            for (int i = 0; i < m_sheets.size(); ++i)
                if (m_sheets.at(i).name == name)
                    return i;
            // The spreadsheet takes sheet names without regard to case: the name is taken.
            for (const SheetEntry& s : m_sheets)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                    throw Failure(kErrWorkbook, QStringLiteral("工作表名称已被使用: \"%1\"").arg(s.name));
            return -1;
        }

        QString reuseSheet(int position)
        {
            const SheetEntry& entry = m_sheets.at(position);
            const Relationship* r = relationship(entry.relId);
            if (!r || r->type != kRelType + QStringLiteral("worksheet") || r->target.isEmpty())
                throw Failure(
                    kErrWorkbook, QStringLiteral("工作表名称已被图表或其他工作表使用: \"%1\"").arg(entry.name));
            // A damaged or hostile package may point the sheet at a part the
            // patch rewrites itself (the sheet would then be lost under it) or
            // outside the package.
            if (!insidePackage(r->target) || isPackageStructure(r->target))
                WorkbookPackagePatcher::refuse(
                    m_fileName, QStringLiteral("工作表 \"%1\" 指向的部件 %2 不是工作表").arg(entry.name, r->target));
            // The old sheet's drawings, comments and tables belonged to it alone.
            m_zip.remove(WorkbookXmlPart::relationshipsPartOf(r->target));
            if (!entry.state.isEmpty() && entry.state != u"visible") {
                const XmlSpan& span = m_workbook.spans().at(entry.span);
                m_workbook.edits().replace(span.start, span.startTagEnd,
                    withoutAttribute(m_workbook.startTagOf(span), QStringLiteral("state")));
            }
            dropCalcChainFor(entry.sheetId);
            return r->target;
        }

        QString appendSheet()
        {
            const QString dir = WorkbookXmlPart::directoryOf(m_workbook.name());
            int n = int(m_sheets.size()) + 1;
            QString part;
            do
                part = dir + QStringLiteral("worksheets/sheet%1.xml").arg(n++);
            while (m_zip.contains(part) || hasOverride(part));

            int sheetId = 0;
            for (const SheetEntry& s : m_sheets)
                sheetId = std::max(sheetId, s.sheetId);
            const QString id = newRelationshipId();
            addRelationship(id, QStringLiteral("worksheet"), part.mid(dir.size()));
            addOverride(part, kWorksheetType);

            const XmlSpan& sheets = m_workbook.spans().at(m_sheetsSpan);
            QString element = QStringLiteral("<%1sheet name=\"%2\" sheetId=\"%3\" ")
                                  .arg(sheets.prefix(), xmlEscaped(m_sheet.name()))
                                  .arg(sheetId + 1);
            // The prefix is declared on the element itself: writers differ in where they declare it.
            element += QStringLiteral("xmlns:r=\"%1\" r:id=\"%2\"/>").arg(kRelationshipsNs, id);
            m_workbook.appendChildren(sheets, element);
            return part;
        }

        void writeSheet(const QString& sheetPart)
        {
            const Relationship* styles = relationshipOfType(QStringLiteral("styles"));
            const QString stylesPart = styles ? styles->target : QString();
            const bool hasStyles = !stylesPart.isEmpty() && m_zip.contains(stylesPart);
            WorkbookStylesPatch patch(hasStyles ? decodeXmlPart(m_zip.read(stylesPart, true), stylesPart) : QString(),
                hasStyles ? stylesPart : QStringLiteral("styles.xml"));
            QHash<int, int> styleOf;
            for (const int f : WorkbookSheetXml::usedFormats(m_sheet))
                styleOf.insert(f, patch.styleFor(m_sheet.formatTable().at(f)));
            m_zip.write(sheetPart, WorkbookSheetXml::write(m_sheet, styleOf));
            if (!patch.changed())
                return;
            if (hasStyles) {
                m_zip.write(stylesPart, patch.result().toUtf8());
                return;
            }
            // A package without styles gets its own part.
            const QString dir = WorkbookXmlPart::directoryOf(m_workbook.name());
            QString part = dir + QStringLiteral("styles.xml");
            for (int n = 2; m_zip.contains(part) || hasOverride(part); ++n)
                part = dir + QStringLiteral("styles%1.xml").arg(n);
            m_zip.write(part, patch.result().toUtf8());
            if (styles) // a relationship to a missing part: point it at the new one
                m_workbookRels.edits().replace(m_workbookRels.spans().at(styles->span).start,
                    m_workbookRels.spans().at(styles->span).end, QString());
            addRelationship(newRelationshipId(), QStringLiteral("styles"), part.mid(dir.size()));
            addOverride(part, kStylesType);
        }

        // The sheet's heading rows printed on every page: the workbook's
        // _xlnm.Print_Titles for the sheet's position. The reused sheet's old
        // print titles and print area go with its old content.
        void setPrintTitles(int position)
        {
            const QString localId = QString::number(position);
            int kept = 0;
            if (m_definedNamesSpan >= 0) {
                const XmlSpan& names = m_workbook.spans().at(m_definedNamesSpan);
                for (qsizetype i = m_definedNamesSpan + 1; i < m_workbook.spans().size(); ++i) {
                    const XmlSpan& span = m_workbook.spans().at(i);
                    if (span.start >= names.end)
                        break;
                    if (span.depth != 3)
                        continue;
                    const QString name = span.attribute(QStringLiteral("name"));
                    const bool ours = span.attribute(QStringLiteral("localSheetId")) == localId
                        && (name == u"_xlnm.Print_Titles" || name == u"_xlnm.Print_Area");
                    if (ours && position < m_sheets.size())
                        m_workbook.edits().replace(span.start, span.end, QString());
                    else
                        ++kept;
                }
            }
            const WorkbookPrintLayout& layout = m_sheet.printLayout();
            const bool titles = layout.enabled && layout.titleFirstRow > 0;
            const QString prefix = m_workbook.root().prefix();
            QString added;
            if (titles) {
                QString quoted = m_sheet.name();
                quoted.replace(u'\'', QStringLiteral("''"));
                added = QStringLiteral(
                    "<%1definedName name=\"_xlnm.Print_Titles\" localSheetId=\"%2\">%3</%1definedName>")
                            .arg(prefix, localId,
                                xmlEscaped(QStringLiteral("'%1'!$%2:$%3")
                                               .arg(quoted)
                                               .arg(layout.titleFirstRow)
                                               .arg(layout.titleLastRow)));
            }
            if (m_definedNamesSpan >= 0) {
                const XmlSpan& names = m_workbook.spans().at(m_definedNamesSpan);
                if (kept == 0 && added.isEmpty())
                    m_workbook.edits().replace(names.start, names.end, QString()); // nothing left in it
                else if (!added.isEmpty())
                    m_workbook.appendChildren(names, added);
                return;
            }
            if (added.isEmpty())
                return;
            // definedNames follows sheets, functionGroups and externalReferences.
            qsizetype at = m_workbook.spans().at(m_sheetsSpan).end;
            for (const XmlSpan& span : m_workbook.spans())
                if (span.depth == 2 && (span.name == u"functionGroups" || span.name == u"externalReferences"))
                    at = std::max(at, span.end);
            m_workbook.edits().insert(at, QStringLiteral("<%1definedNames>%2</%1definedNames>").arg(prefix, added));
        }

        // The sheet is written to be seen: a workbook whose first window is
        // hidden shows it again.
        void showWorkbookWindow()
        {
            for (const XmlSpan& span : m_workbook.spans()) {
                if (span.depth != 3 || span.name != u"workbookView")
                    continue;
                const QString visibility = span.attribute(QStringLiteral("visibility"));
                if (!visibility.isEmpty() && visibility != u"visible")
                    m_workbook.edits().replace(span.start, span.startTagEnd,
                        withoutAttribute(m_workbook.startTagOf(span), QStringLiteral("visibility")));
                return;
            }
        }

        // The calculation chain lists formula cells by sheet; entries for a
        // sheet whose cells are gone make the spreadsheet repair the file.
        // The spreadsheet rebuilds a missing chain, so it goes.
        void dropCalcChainFor(int sheetId)
        {
            const Relationship* chain = relationshipOfType(QStringLiteral("calcChain"));
            if (!chain || !m_zip.contains(chain->target))
                return;
            WorkbookXmlPart part;
            part.load(m_zip, chain->target);
            int current = 0;
            bool used = false;
            for (const XmlSpan& span : part.spans()) {
                if (span.name != u"c")
                    continue;
                const QString i = span.attribute(QStringLiteral("i"));
                if (!i.isEmpty())
                    current = i.toInt();
                used = used || current == sheetId;
            }
            if (!used)
                return;
            m_zip.remove(chain->target);
            const XmlSpan& rel = m_workbookRels.spans().at(chain->span);
            m_workbookRels.edits().replace(rel.start, rel.end, QString());
            for (const XmlSpan& span : m_contentTypes.spans())
                if (span.name == u"Override"
                    && span.attribute(QStringLiteral("PartName")).compare(u'/' + chain->target, Qt::CaseInsensitive)
                        == 0)
                    m_contentTypes.edits().replace(span.start, span.end, QString());
        }

        static bool insidePackage(const QString& part)
        {
            return !part.isEmpty() && part != u".." && !part.startsWith(QLatin1String("../"));
        }

        // The parts that say what the package holds: the patch edits them.
        bool isPackageStructure(const QString& part) const
        {
            const Relationship* styles = relationshipOfType(QStringLiteral("styles"));
            for (const QString& structure :
                { kContentTypesPart, m_workbook.name(), m_workbookRels.name(), styles ? styles->target : QString() })
                if (!structure.isEmpty() && part.compare(structure, Qt::CaseInsensitive) == 0)
                    return true;
            return part.endsWith(QLatin1String(".rels"), Qt::CaseInsensitive);
        }

        bool hasOverride(const QString& part) const
        {
            for (const XmlSpan& span : m_contentTypes.spans())
                if (span.name == u"Override"
                    && span.attribute(QStringLiteral("PartName")).compare(u'/' + part, Qt::CaseInsensitive) == 0)
                    return true;
            return false;
        }

        void addOverride(const QString& part, const QString& contentType)
        {
            const XmlSpan& root = m_contentTypes.root();
            m_contentTypes.appendChildren(root,
                QStringLiteral("<%1Override PartName=\"/%2\" ContentType=\"%3\"/>")
                    .arg(root.prefix(), xmlEscaped(part), contentType));
        }

        QString newRelationshipId()
        {
            QSet<QString> taken;
            for (const Relationship& r : m_relationships)
                taken.insert(r.id);
            taken += m_newIds;
            int n = int(m_relationships.size()) + 1;
            while (taken.contains(QStringLiteral("rId%1").arg(n)))
                ++n;
            const QString id = QStringLiteral("rId%1").arg(n);
            m_newIds.insert(id);
            return id;
        }

        void addRelationship(const QString& id, const QString& type, const QString& target)
        {
            const XmlSpan& root = m_workbookRels.root();
            m_workbookRels.appendChildren(root,
                QStringLiteral("<%1Relationship Id=\"%2\" Type=\"%3%4\" Target=\"%5\"/>")
                    .arg(root.prefix(), id, kRelType, type, xmlEscaped(target)));
        }

        WorkbookZip& m_zip;
        QString m_fileName;
        const WorkbookSheet& m_sheet;
        WorkbookXmlPart m_contentTypes;
        WorkbookXmlPart m_workbook;
        WorkbookXmlPart m_workbookRels;
        QVector<Relationship> m_relationships;
        QVector<SheetEntry> m_sheets;
        qsizetype m_sheetsSpan = -1;
        qsizetype m_definedNamesSpan = -1;
        QSet<QString> m_newIds;
    };

} // namespace

void WorkbookPackagePatcher::apply(WorkbookZip& zip, const QString& fileName, const WorkbookSheet& sheet)
{
    PackagePatcher(zip, fileName, sheet).apply();
}

void WorkbookPackagePatcher::refuse(const QString& fileName, const QString& reason)
{
    throw Failure(
        kErrFile, QStringLiteral("不能写入工作簿 \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace fee
