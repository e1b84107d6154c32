#pragma once

#include <QHashFunctions>
#include <QString>

namespace fee {

// The look of one cell as the range operations leave it. Zero / empty members
// mean "not set": the spreadsheet's defaults apply.
struct WorkbookFormat {
    enum HAlign : quint8 { HNone, HLeft, HCenter, HRight };
    enum VAlign : quint8 { VNone, VTop, VCenter, VBottom, VJustify, VDistributed };
    enum Border : quint8 {
        BorderNone,
        BorderThin,
        BorderDashed,
        BorderDotted,
        BorderDouble,
        BorderDashDot,
        BorderDashDotDot
    };

    QString numberFormat;
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool wrap = false;
    quint8 hAlign = HNone;
    quint8 vAlign = VNone;
    quint8 border = BorderNone; // all four edges
    int fill = -1; // 0xRRGGBB, -1 = no fill

    bool isDefault() const;
    bool operator==(const WorkbookFormat& other) const = default;
};

size_t qHash(const WorkbookFormat& format, size_t seed = 0);

// The codes the callers pass, turned into format members. Unknown codes throw
// Failure(kErrWorkbook).
quint8 horizontalAlignmentFromCode(int code);
quint8 verticalAlignmentFromCode(int code);
quint8 borderFromLineStyle(int lineStyle);
// A colour given in blue-green-red order (RGB(192, 192, 255) = 16761024) as 0xRRGGBB.
int rgbFromBgr(int bgr);

} // namespace fee
