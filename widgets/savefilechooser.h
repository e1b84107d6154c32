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
// The filter is handed to the chooser as the caller wrote it: either the file
// dialog's own form ("电子表 (*.xls *.xlsx)") or description and patterns
// separated by "|" ("电子表|*.xls;*.xlsx"), which the file dialog is shown as
// fileDialogFilter() turns it.
QString chooseSaveFile(QWidget* parent, const QString& presetName, const QString& filter);

// A filter of descriptions and patterns separated by "|" (patterns separated
// by ";") in the file dialog's form: "电子表|*.xls;*.xlsx" becomes
// "电子表 (*.xls *.xlsx)", several pairs are joined by ";;". A filter without
// "|" is returned as it is.
QString fileDialogFilter(const QString& filter);

} // namespace fee
