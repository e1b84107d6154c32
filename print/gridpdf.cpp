#include "print/gridpdf.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "print/paintersurface.h"
#include "print/pdftextmap.h"
#include "core/fontfamilies.h"
#include "print/printpagechoice.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QSaveFile>

namespace fee {

namespace {

    constexpr int kPdfResolution = 1200;

    [[noreturn]] void fileFailure(const QString& path, const QString& reason)
    {
        throw Failure(kErrFile, QStringLiteral("无法保存文件 \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
    }

} // namespace

GridPdfResult writeGridPdf(
    const GridModel& grid, const QString& path, const PrintGridOptions& options, PrintPaper paper, bool fitToWidth)
{
    if (path.isEmpty())
        throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    const PrintPageChoice page = choosePrintPage(grid, options.skip, paper, fitToWidth);

    // The pages are made in memory: the file's text maps are mended before it
    // is written (pdftextmap.h).
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const PrintGridOptions pdfOptions = withPrintPageChoice(options, page);
    PrintGridResult printed;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(page.layout);
        writer.setTitle(options.title);
        writer.setCreator(QStringLiteral("fee-reports"));
        PainterSurface surface(&writer);
        printed = PrintGrid(surface, grid, pdfOptions);
    }
    if (printed.stopped) {
        GridPdfResult stopped;
        stopped.page = page;
        stopped.stopped = true;
        return stopped;
    }
    QByteArray pdf = buffer.buffer();
    buffer.close();
    const QStringList faces { fontFamiliesFor(grid.fontName()).front(),
        fontFamiliesFor(QStringLiteral("宋体")).front() };
    repairPdfTextMaps(pdf, radicalIdeographs(faces));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fileFailure(path, file.errorString());
    if (file.write(pdf) != pdf.size())
        fileFailure(path, file.errorString());
    if (!file.commit())
        fileFailure(path, file.errorString());

    GridPdfResult result;
    result.pages = printed.pages;
    result.page = page;
    result.landscape = page.landscape();
    result.cutOff = printed.cutOff;
    result.parts = printed.parts;
    result.notice = printOverflowNotice(page, printed.parts, printed.cutOff);
    return result;
}

} // namespace fee
