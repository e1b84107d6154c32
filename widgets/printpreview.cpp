#include "widgets/printpreview.h"

#include "widgets/gridprintpreviewdialog.h"

namespace fee {

void showGridPrintPreview(const GridModel& grid, const PrintGridOptions& options, QWidget* parent)
{
    GridPrintPreviewDialog dialog(grid, options, parent);
    dialog.exec();
    if (dialog.failure())
        throw *dialog.failure();
}

} // namespace fee
