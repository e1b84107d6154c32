#include "widgets/savefilechooser.h"

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
    return QFileDialog::getSaveFileName(parent, QString(), presetName, fileDialogFilter(filter));
}

QString fileDialogFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        pairs << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(u' ') + QLatin1Char(')');
    }
    return pairs.join(QStringLiteral(";;"));
}

} // namespace fee
