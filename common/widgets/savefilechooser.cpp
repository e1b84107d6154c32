#include "common/widgets/savefilechooser.h"

#include <QFileDialog>

namespace fee {

namespace {
    SaveFileChooser& installedChooser()
    {
        static SaveFileChooser chooser;
        return chooser;
    }
}

void setSaveFileChooser(SaveFileChooser chooser) { installedChooser() = std::move(chooser); }

QString chooseSaveFile(QWidget* parent, const QString& presetName, const QString& filter)
{
    if (const SaveFileChooser& chooser = installedChooser())
        return chooser(parent, presetName, filter);
    return QFileDialog::getSaveFileName(parent, QString(), presetName, filter);
}

} // namespace fee
