#include "widgets/gridprinter.h"

#include "core/failure.h"
#include "core/messages.h"
#include "print/paintersurface.h"
#include "widgets/printpreview.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace fee {

PrintGridResult printGridAsking(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options)
{
    PrintGridResult result = PrintGrid(surface, grid, options);
    if (!result.question)
        return result;
    // Nothing was drawn: the job starts again with the answer.
    PrintGridOptions answered = options;
    answered.paperWidth = showBox(*result.question) == BoxAnswer::Yes ? PaperWidthAnswer::Yes : PaperWidthAnswer::No;
    return PrintGrid(surface, grid, answered);
}

GridPrintOutcome printGridToPrinter(const GridModel& grid, const PrintGridOptions& options, QWidget* parent)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) {
        showGridPrintPreview(grid, options, parent);
        return GridPrintOutcome::Previewed;
    }
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull())
        target = QPrinterInfo::printerInfo(printers.front());
    QPrinter printer(target, QPrinter::HighResolution);
    printer.setDocName(options.title);
    PrintGridResult result;
    {
        PainterSurface surface(&printer);
        try {
            result = printGridAsking(surface, grid, options);
        } catch (...) {
            // A job cut short is withdrawn rather than printed half.
            if (surface.pagesStarted() > 0)
                printer.abort();
            throw;
        }
    }
    return result.printed ? GridPrintOutcome::Printed : GridPrintOutcome::NotPrinted;
}

namespace {
    GridPrinter& installedPrinter()
    {
        static GridPrinter printer;
        return printer;
    }
}

void setGridPrinter(GridPrinter printer) { installedPrinter() = std::move(printer); }

GridPrintOutcome printGrid(const GridModel& grid, const PrintGridOptions& options, QWidget* parent)
{
    if (const GridPrinter& printer = installedPrinter())
        return printer(grid, options, parent);
    return printGridToPrinter(grid, options, parent);
}

} // namespace fee
