#pragma once

namespace fee {

// Alignment codes of the report grids (column alignment and fixed-cell
// alignment): horizontal position x 3 + vertical position, and 9 for general.
enum GridAlign : int {
    AlignLeftTop = 0,
    AlignLeft = 1, // left, vertically centred
    AlignLeftBottom = 2,
    AlignCenterTop = 3,
    AlignCenter = 4, // centred both ways
    AlignCenterBottom = 5,
    AlignRightTop = 6,
    AlignRight = 7, // right, vertically centred
    AlignRightBottom = 8,
    AlignGeneral = 9, // text left, numbers right, vertically centred
};

} // namespace fee
