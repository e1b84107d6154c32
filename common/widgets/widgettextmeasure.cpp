#include "common/widgets/widgettextmeasure.h"

#include "common/grid/gridmodel.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <cmath>

namespace fee {

namespace {

    double screenDpi()
    {
        if (QGuiApplication::instance()) {
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                return screen->logicalDotsPerInchX();
        }
        return 96.0;
    }

} // namespace

double textWidthTwips(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    for (const QString& line : plain.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest * 1440.0 / screenDpi();
}

void installWidgetTextMeasure()
{
    GridModel::setTextMeasure([](const QString& text, const QString& fontName, double fontSize) {
        // One metrics object per font: fills measure every cell they write.
        static QHash<QString, QFontMetrics*> cache;
        const QString key = fontName + QLatin1Char('/') + QString::number(fontSize);
        QFontMetrics* metrics = cache.value(key);
        if (!metrics) {
            QFont font(fontName);
            font.setPointSizeF(fontSize > 0 ? fontSize : 9);
            metrics = new QFontMetrics(font);
            cache.insert(key, metrics);
        }
        return int(std::lround(textWidthTwips(*metrics, text)));
    });
}

} // namespace fee
