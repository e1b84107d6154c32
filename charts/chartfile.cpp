#include "charts/chartfile.h"

#include "charts/barchart.h"
#include "core/failure.h"
#include "core/fontfamilies.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace fee {

namespace {
    // Texts are measured and drawn at the screen's usual resolution in every
    // kind of file, so that they all show the same picture.
    constexpr int kResolution = 96;

    QString extensionOf(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

    [[noreturn]] void fail(const QString& fileName, const QString& why)
    {
        throw Failure(kErrFile, QStringLiteral("无法写入图表文件 \"%1\": %2").arg(fileName, why));
    }

    // The SVG generator names only the first family of a font, the one
    // installed here. A viewer elsewhere falls back on the report's own face
    // name and then on any sans-serif face.
    QByteArray withFallbackFamilies(QByteArray svg)
    {
        const QStringList families = fontFamiliesFor(QStringLiteral("微软雅黑"));
        QStringList quoted;
        for (const QString& family : families)
            quoted << QLatin1Char('\'') + family + QLatin1Char('\'');
        quoted << QStringLiteral("'Microsoft YaHei'") << QStringLiteral("sans-serif");
        quoted.removeDuplicates();
        const QByteArray written = "font-family=\"" + families.first().toUtf8() + '"';
        return svg.replace(written, "font-family=\"" + quoted.join(QStringLiteral(", ")).toUtf8() + '"');
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
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    const BarChart chart(data, BarChart::kFileWidth, &image, BarChart::kFileMinimumHeight);
    const QSize size = chart.size();

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(fileName, file.errorString());
    const QString extension = extensionOf(fileName);
    if (extension == QLatin1String("png")) {
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        chart.paint(painter);
        painter.end();
        if (!image.save(&file, "PNG"))
            fail(fileName, QStringLiteral("PNG"));
    } else if (extension == QLatin1String("svg")) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(kResolution);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(data.title);
        svg.setDescription(QStringLiteral("fee-reports"));
        QPainter painter(&svg);
        chart.paint(painter);
        painter.end();
        if (file.write(withFallbackFamilies(buffer.data())) < 0)
            fail(fileName, file.errorString());
    } else {
        QPdfWriter pdf(&file);
        pdf.setTitle(data.title);
        pdf.setCreator(QStringLiteral("fee-reports"));
        pdf.setResolution(kResolution);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kResolution, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        chart.paint(painter);
        painter.end();
    }
    if (!file.commit())
        fail(fileName, file.errorString());
}

} // namespace fee
