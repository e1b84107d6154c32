#include "common/widgets/printpreview.h"

#include "common/failure.h"
#include "common/print/paintersurface.h"
#include "common/print/printpagechoice.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <optional>

namespace fee {

void showGridPrintPreview(const GridModel& grid, const PrintGridOptions& options, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(choosePrintLayout(grid, options.skip).layout);
    printer.setDocName(options.title);

    PrintGridOptions previewOptions = options;
    if (previewOptions.paperWidth == PaperWidthAnswer::Ask)
        previewOptions.paperWidth = PaperWidthAnswer::No;

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("GridPrintPreview"));
    if (!options.title.isEmpty())
        dialog.setWindowTitle(options.title);
    std::optional<Failure> failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // Nothing may be thrown through the dialog's event loop.
        try {
            PainterSurface surface(target);
            PrintGrid(surface, grid, previewOptions);
        } catch (const Failure& f) {
            failure = f;
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        }
    });
    dialog.exec();
    if (failure)
        throw *failure;
}

} // namespace fee
