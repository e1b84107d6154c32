#include "core/grid/fonttextmeasure.h"

#include "core/grid/gridmodel.h"
#include "core/grid/twips.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <cmath>
#include <memory>
#include <mutex>

namespace fee {

namespace {

    double screenDpi()
    {
        if (QGuiApplication::instance()) {
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                return screen->logicalDotsPerInchX();
        }
        return kScreenDpi;
    }

    // One metrics object per font, shared by every thread that measures.
    // Font metrics are not safe to use from two threads at once, so one
    // measurement runs at a time; fills measure each distinct text once
    // (ColumnFitter), which keeps the waiting short.
    struct MetricsCache {
        std::mutex mutex;
        QHash<QString, QFontMetrics> metrics;
        double dpi = kScreenDpi;

        int measure(const QString& text, const QString& fontName, double fontSize)
        {
            const QString key = fontName + QLatin1Char('/') + QString::number(fontSize);
            std::lock_guard lock(mutex);
            auto it = metrics.constFind(key);
            if (it == metrics.constEnd()) {
                QFont font(fontName);
                font.setPointSizeF(fontSize > 0 ? fontSize : 9);
                it = metrics.insert(key, QFontMetrics(font));
            }
            return int(std::lround(textWidthTwips(*it, text, dpi)));
        }
    };

    // The fonts behind the metrics go with the application object: drop the
    // measure (and with it the cache) while they are still there.
    void uninstallAtExit() { GridModel::setTextMeasure({}); }

} // namespace

double textWidthTwips(const QFontMetrics& metrics, const QString& text, double dpi)
{
    int widest = 0;
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    for (const QString& line : plain.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return pixelsToTwips(widest, dpi);
}

double textWidthTwips(const QFontMetrics& metrics, const QString& text)
{
    return textWidthTwips(metrics, text, screenDpi());
}

void installFontTextMeasure()
{
    auto cache = std::make_shared<MetricsCache>();
    cache->dpi = screenDpi();
    GridModel::setTextMeasure([cache](const QString& text, const QString& fontName, double fontSize) {
        return cache->measure(text, fontName, fontSize);
    });
    if (QCoreApplication::instance()) {
        qRemovePostRoutine(uninstallAtExit); // once, however often installed
        qAddPostRoutine(uninstallAtExit);
    }
}

} // namespace fee
