#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace fee {

// Asks for the name of a workbook to write. Returns the chosen name, or an
// empty text when the user cancels. Replaceable so that the exports can run
// without a dialog.
using SaveFileChooser = std::function<QString(QWidget* parent, const QString& presetName, const QString& filter)>;

// Installs a chooser; an empty one restores the file dialog.
void setSaveFileChooser(SaveFileChooser chooser);
QString chooseSaveFile(QWidget* parent, const QString& presetName, const QString& filter);

} // namespace fee
