#include "charts/chartfile.h"

#include "charts/barchart.h"
#include "core/failure.h"

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace fee {

namespace {
    QString extensionOf(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

    [[noreturn]] void fail(const QString& fileName, const QString& why)
    {
        throw Failure(kErrFile, QStringLiteral("无法写入图表文件 \"%1\": %2").arg(fileName, why));
    }
}

bool isChartFileName(const QString& fileName)
{
    const QString extension = extensionOf(fileName);
    return extension == QLatin1String("png") || extension == QLatin1String("svg") || extension == QLatin1String("pdf");
}

void writeChartFile(const ChartData& data, const QString& fileName)
{
    if (!isChartFileName(fileName))
        fail(fileName, QStringLiteral("文件名须以 .png、.svg 或 .pdf 结尾"));
    const QSize size = barChartFileSize(data);
    // Laid out in a scene of its own, as the window's view lays out its
    // chart; the layout happens in the events after the resize.
    QGraphicsScene scene;
    QChart* chart = makeBarChart(data);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    scene.setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(fileName, file.errorString());
    const QString extension = extensionOf(fileName);
    if (extension == QLatin1String("png")) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter);
        painter.end();
        if (!image.save(&file, "PNG"))
            fail(fileName, QStringLiteral("PNG"));
    } else if (extension == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(data.title);
        QPainter painter(&svg);
        scene.render(&painter);
        painter.end();
    } else {
        QPdfWriter pdf(&file);
        pdf.setTitle(data.title);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        scene.render(&painter);
        painter.end();
    }
    if (!file.commit())
        fail(fileName, file.errorString());
}

} // namespace fee
