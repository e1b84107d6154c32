#include "app/bannerstrip.h"

#include "app/bannertiling.h"
#include "core/grid/twips.h"

#include <QPainter>

namespace fee {

namespace {
    constexpr int kStripHeightTwips = 810;

    QRectF pixels(const QRect& twips)
    {
        const double f = 1.0 / kTwipsPerPixel;
        return QRectF(twips.x() * f, twips.y() * f, twips.width() * f, twips.height() * f);
    }
} // namespace

BannerStrip::BannerStrip(QWidget* parent)
    : QWidget(parent)
    , m_picture(QStringLiteral(":/app/banner.png"))
{
    setObjectName(QStringLiteral("Picture1"));
    setFixedHeight(twipsToPixels(kStripHeightTwips));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize BannerStrip::sizeHint() const { return QSize(m_picture.width(), twipsToPixels(kStripHeightTwips)); }

void BannerStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_picture.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPointF(0, 0), m_picture);
    const QSize pictureTwips(m_picture.width() * kTwipsPerPixel, m_picture.height() * kTwipsPerPixel);
    const auto copies = BannerTiling(width() * kTwipsPerPixel, height() * kTwipsPerPixel, pictureTwips);
    for (const BannerCopy& copy : copies)
        painter.drawPixmap(pixels(copy.target), m_picture, pixels(copy.source));
}

} // namespace fee
