// The export dialog's "put a sheet into an existing workbook": any bytes as
// the user's .xlsx file, then GridSheetExport::write with a small report
// grid. The export either succeeds, and the file then opens as a package
// whose workbook lists our sheet with our cells in its part, or it refuses
// with a Failure and leaves the file byte for byte as it was. Either way no
// temporary file is left behind.
//
// Two kinds of input. Bytes starting "#! " describe a package as text, one
// part after another ("#! part/name" on a line, then the part's bytes); the
// target zips them (stored) before the run, so the mutations reach the XML
// of the parts. Any other bytes are the file itself: damaged archives,
// lying sizes, duplicate entries and the like.

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "workbook/gridsheetexport.h"
#include "workbook/workbookxmlpart.h"
#include "workbook/workbookzip.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <zip.h>

namespace {

const QString kTitle = QStringLiteral("FUZZ-TITLE-7f3a");
const QString kMarker = QStringLiteral("FUZZ-CELL-51c9");
const QString kRelType = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kRelNs = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

struct Folders {
    QTemporaryDir base;
    QString out; // holds the user's workbook only
    QString scratch; // the temporary folder the export uses
};

Folders* folders = nullptr;

// Runs in a folder in memory when there is one: every input writes files.
void makeFolders()
{
    const QString shm = QStringLiteral("/dev/shm");
    folders = new Folders { QTemporaryDir(QFileInfo(shm).isWritable()
                                    ? shm + QStringLiteral("/fee-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/fee-fuzz-XXXXXX")),
        {}, {} };
    if (!folders->base.isValid())
        fuzz::fail("cannot make the fuzzing folder");
    folders->out = folders->base.filePath(QStringLiteral("out"));
    folders->scratch = folders->base.filePath(QStringLiteral("tmp"));
    QDir().mkpath(folders->out);
    QDir().mkpath(folders->scratch);
    qputenv("TMPDIR", QFile::encodeName(folders->scratch));
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// "#! name\n<bytes>\n#! name\n<bytes>..." zipped, each part stored as it is.
// A second part of a name already used is left out (the archive cannot hold
// it); an input without parts gives an empty file.
bool writePackage(const QString& path, const QByteArray& text)
{
    QList<QByteArray> chunks = text.mid(3).split('\n');
    struct Part {
        QByteArray name;
        QByteArray data;
    };
    QList<Part> parts;
    for (const QByteArray& line : chunks) {
        if (line.startsWith("#! ") || parts.isEmpty()) {
            parts.append({ line.startsWith("#! ") ? line.mid(3) : line, {} });
            continue;
        }
        if (!parts.last().data.isNull())
            parts.last().data += '\n';
        parts.last().data += line;
    }
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return false;
    for (const Part& p : parts) {
        zip_source_t* source = zip_source_buffer(z, p.data.constData(), zip_uint64_t(p.data.size()), 0);
        if (!source)
            continue;
        const zip_int64_t index = zip_file_add(z, p.name.constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            continue;
        }
        zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(z) < 0) {
        zip_discard(z);
        return false;
    }
    return QFile::exists(path) || writeBytes(path, {});
}

fee::GridModel reportGrid()
{
    fee::GridModel grid;
    grid.setRows(4);
    grid.setFixedRows(1);
    grid.setFormatString(QStringLiteral("<序号|^日期|>金额"));
    grid.setText(1, 0, kMarker);
    grid.setText(1, 1, QStringLiteral("2024-01-05"));
    grid.setText(1, 2, QStringLiteral("12.50"));
    grid.setText(2, 0, QStringLiteral("=1+1"));
    grid.setText(3, 0, QStringLiteral("<&>\"'"));
    return grid;
}

const fee::XmlSpan* firstNamed(const fee::WorkbookXmlPart& part, const char* name)
{
    for (const fee::XmlSpan& span : part.spans())
        if (span.name == QLatin1String(name))
            return &span;
    return nullptr;
}

// Finds our sheet the way a spreadsheet does: package relationships, the
// workbook, its relationships, the sheet's part.
void checkWritten(const QString& path, const QString& sheetName)
{
    try {
        const fee::WorkbookZip zip(path, fee::WorkbookZip::ReadOnly);
        fee::WorkbookXmlPart types;
        types.load(zip, QStringLiteral("[Content_Types].xml"));
        fee::WorkbookXmlPart rootRels;
        rootRels.load(zip, QStringLiteral("_rels/.rels"));
        QString workbookPart;
        for (const fee::XmlSpan& span : rootRels.spans())
            if (span.name == u"Relationship"
                && span.attribute(QStringLiteral("Type")) == kRelType + QStringLiteral("officeDocument"))
                workbookPart = fee::WorkbookXmlPart::resolveTarget(QString(), span.attribute(QStringLiteral("Target")));
        fuzz::check(!workbookPart.isEmpty(), "the package names its workbook");
        fee::WorkbookXmlPart workbook;
        workbook.load(zip, workbookPart);
        fee::WorkbookXmlPart workbookRels;
        workbookRels.load(zip, fee::WorkbookXmlPart::relationshipsPartOf(workbookPart));

        QString relId;
        int named = 0;
        for (const fee::XmlSpan& span : workbook.spans()) {
            if (span.depth != 3 || span.name != u"sheet")
                continue;
            const QString name = span.attribute(QStringLiteral("name"));
            if (name.compare(sheetName, Qt::CaseInsensitive) == 0)
                ++named;
            if (name == sheetName && relId.isNull())
                relId = span.attributes.value(kRelNs, QStringLiteral("id")).toString();
        }
        // (A workbook that held one name twice keeps doing so; the first is ours.)
        fuzz::check(named >= 1 && !relId.isNull(), "the workbook lists our sheet", workbookPart);
        QString sheetPart;
        for (const fee::XmlSpan& span : workbookRels.spans())
            if (span.name == u"Relationship" && span.attribute(QStringLiteral("Id")) == relId
                && span.attribute(QStringLiteral("Type")) == kRelType + QStringLiteral("worksheet"))
                sheetPart = fee::WorkbookXmlPart::resolveTarget(workbookPart, span.attribute(QStringLiteral("Target")));
        fuzz::check(!sheetPart.isEmpty(), "our sheet has a worksheet relationship", relId);
        fee::WorkbookXmlPart sheet;
        sheet.load(zip, sheetPart);
        const QString text = QString::fromUtf8(zip.read(sheetPart, true));
        fuzz::check(text.contains(kTitle) && text.contains(kMarker), "our sheet's part holds our cells", sheetPart);
        fuzz::check(firstNamed(sheet, "sheetData") != nullptr, "our sheet's part is a worksheet", sheetPart);
    } catch (const fee::Failure& f) {
        fuzz::fail("the written workbook cannot be read back", f.description());
    }
}

void checkNoLeftovers(const QString& book)
{
    const QStringList scratch
        = QDir(folders->scratch).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    fuzz::check(scratch.isEmpty(), "no scratch file is left", scratch.join(u' '));
    const QStringList out = QDir(folders->out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    fuzz::check(
        out == QStringList { QFileInfo(book).fileName() }, "no file is left beside the workbook", out.join(u' '));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    makeFolders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString book = folders->out + QStringLiteral("/book.xlsx");
    QFile::remove(book);
    const bool described = input.startsWith("#! ");
    if (!(described ? writePackage(book, input) : writeBytes(book, input)))
        fuzz::fail("cannot write the input file");
    const QByteArray before = fileBytes(book);

    // The name of the sheet the first fixtures hold, a new name, or one in other letter case.
    static const QString kNames[] = { QStringLiteral("收款日报表"), QStringLiteral("新表"), QStringLiteral("SHEET1") };
    fee::GridSheetOptions options;
    options.title = kTitle;
    options.tagText = QStringLiteral("日期范围:2024年01月05日至2024年01月31日");
    options.sheetName = kNames[size % 3];
    options.columns = { 0, 1, 2 };
    options.printDate = QDate(2024, 2, 1);

    static const fee::GridModel grid = reportGrid();
    bool written = false;
    try {
        const QString name = fee::GridSheetExport::write(grid, options, book);
        fuzz::check(name == book, "an existing workbook is written under its own name", name);
        written = true;
    } catch (const fee::Failure& f) {
        fuzz::check(f.number() == fee::kErrFile || f.number() == fee::kErrWorkbook, "a refusal is a file failure",
            QString::number(f.number()) + u' ' + f.description());
        fuzz::check(fileBytes(book) == before, "a refused workbook is left as it was", f.description());
    }
    checkNoLeftovers(book);
    if (written)
        checkWritten(book, options.sheetName);
    return 0;
}
