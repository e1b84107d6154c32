#include "app/bannertiling.h"

namespace fee {

QList<BannerCopy> BannerTiling(int width, int height, QSize pictureTwips)
{
    QList<BannerCopy> copies;
    const QRect slice(kBannerSliceStart, 0, kBannerSliceWidth, pictureTwips.height());
    for (int i = 1; i <= kBannerMaxSlices; ++i) {
        const int left = kBannerSliceStart + kBannerSliceWidth * i;
        if (left >= width - kBannerRightEnd)
            break;
        copies.append({ slice, QRect(left, 0, kBannerSliceWidth, height) });
    }
    const int rightWidth = pictureTwips.width() - kBannerSliceStart;
    if (rightWidth > 0)
        copies.append({ QRect(kBannerSliceStart, 0, rightWidth, pictureTwips.height()),
            QRect(width - kBannerRightEnd, 0, kBannerRightEnd, height) });
    return copies;
}

} // namespace fee
