#include "workbook/workbookpatch.h"

#include "workbook/workbookfilecommit.h"
#include "workbook/workbookpackagepatcher.h"
#include "workbook/workbookzip.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryFile>

namespace fee {

void WorkbookPatch::checkPackageSignature(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        WorkbookPackagePatcher::refuse(fileName, file.errorString());
    const QByteArray head = file.read(8);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        WorkbookPackagePatcher::refuse(fileName,
            QStringLiteral("它是 Excel 97-2003 格式 (.xls) 或加密的工作簿，只能写入 .xlsx 工作簿。"
                           "请换一个文件名，或先用 Excel 把它另存为 .xlsx"));
    if (!head.startsWith("PK"))
        WorkbookPackagePatcher::refuse(fileName, QStringLiteral("它不是 Excel 工作簿 (.xlsx)"));
}

namespace {

    // The parts every workbook has, with no sheet yet: the sheet and the
    // styles are then added like to any other workbook.
    QMap<QString, QByteArray> emptyPackage()
    {
        QMap<QString, QByteArray> parts;
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
        parts.insert(QStringLiteral("[Content_Types].xml"),
            head
                + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" "
                  "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Override PartName=\"/xl/workbook.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                  "</Types>");
        parts.insert(QStringLiteral("_rels/.rels"),
            head
                + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"xl/workbook.xml\"/></Relationships>");
        parts.insert(QStringLiteral("xl/workbook.xml"),
            head
                + "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<bookViews><workbookView/></bookViews><sheets></sheets></workbook>");
        parts.insert(QStringLiteral("xl/_rels/workbook.xml.rels"),
            head
                + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "</Relationships>");
        return parts;
    }

    QString scratchName() { return QDir::tempPath() + QStringLiteral("/fee-workbook-XXXXXX.xlsx"); }

} // namespace

void WorkbookPatch::createWithSheet(const QString& fileName, const WorkbookSheet& sheet)
{
    WorkbookFileCommit out(fileName);
    QTemporaryFile scratch(scratchName());
    if (!scratch.open())
        WorkbookPackagePatcher::refuse(fileName, scratch.errorString());
    scratch.close();
    {
        WorkbookZip zip(scratch.fileName(), WorkbookZip::Create, fileName);
        const QMap<QString, QByteArray> parts = emptyPackage();
        for (auto it = parts.cbegin(); it != parts.cend(); ++it)
            zip.write(it.key(), it.value());
        WorkbookPackagePatcher::apply(zip, fileName, sheet);
        zip.commit();
    }
    out.commitFrom(scratch.fileName());
}

void WorkbookPatch::putSheet(const QString& fileName, const WorkbookSheet& sheet)
{
    checkPackageSignature(fileName);
    WorkbookFileCommit out(fileName);

    // The package is changed in a private copy; the file itself is replaced only at the end.
    QTemporaryFile scratch(scratchName());
    if (!scratch.open())
        WorkbookPackagePatcher::refuse(fileName, scratch.errorString());
    {
        QFile original(fileName);
        if (!original.open(QIODevice::ReadOnly))
            WorkbookPackagePatcher::refuse(fileName, original.errorString());
        char buffer[256 * 1024];
        qint64 n;
        while ((n = original.read(buffer, sizeof buffer)) > 0)
            if (scratch.write(buffer, n) != n)
                WorkbookPackagePatcher::refuse(fileName, scratch.errorString());
        if (n < 0)
            WorkbookPackagePatcher::refuse(fileName, original.errorString());
    }
    scratch.close();
    {
        WorkbookZip zip(scratch.fileName(), WorkbookZip::Update, fileName);
        WorkbookPackagePatcher::apply(zip, fileName, sheet);
        zip.commit();
    }
    out.commitFrom(scratch.fileName());
}

} // namespace fee
