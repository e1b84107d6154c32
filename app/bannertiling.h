#pragma once

#include <QList>
#include <QRect>

namespace fee {

// One copy of a part of the banner picture onto the banner strip (twips).
struct BannerCopy {
    QRect source;
    QRect target;
    bool operator==(const BannerCopy&) const = default;
};

inline constexpr int kBannerSliceStart = 8850;
inline constexpr int kBannerSliceWidth = 300;
inline constexpr int kBannerRightEnd = 4000;
inline constexpr int kBannerMaxSlices = 10000;

// The copies that widen the banner picture to a strip W twips wide and H high,
// drawn over the picture itself at x = 0: the 300-twip slice at 8850 repeats
// while its next place starts left of W - 4000 (at most 10000 times), then the
// picture from 8850 to its right edge fills the last 4000 twips.
QList<BannerCopy> BannerTiling(int width, int height, QSize pictureTwips);

} // namespace fee
