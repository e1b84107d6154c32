#include "common/widgets/gridprinter.h"

#include "common/failure.h"
#include "common/print/paintersurface.h"
#include "common/widgets/printpreview.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace fee {

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
            result = PrintGrid(surface, grid, options);
        } catch (...) {
            // A job cut short is withdrawn rather than printed half.
            if (surface.pagesStarted() > 0)
                printer.abort();
            throw;
        }
    }
    return result.printed ? GridPrintOutcome::Printed : GridPrintOutcome::NotPrinted;
}

} // namespace fee
