#include "workbook/workbookformat.h"

#include "core/failure.h"

namespace fee {

bool WorkbookFormat::isDefault() const { return *this == WorkbookFormat {}; }

size_t qHash(const WorkbookFormat& f, size_t seed)
{
    return qHashMulti(
        seed, f.numberFormat, f.fontName, f.fontSize, f.bold, f.wrap, f.hAlign, f.vAlign, f.border, f.fill);
}

quint8 horizontalAlignmentFromCode(int code)
{
    switch (code) {
    case 1: // xlGeneral: the default, so no alignment of its own
        return WorkbookFormat::HNone;
    case -4131:
    case 2:
        return WorkbookFormat::HLeft;
    case -4108:
    case 3:
        return WorkbookFormat::HCenter;
    case -4152:
    case 4:
        return WorkbookFormat::HRight;
    default:
        throw Failure(kErrWorkbook, QStringLiteral("不能设置水平对齐方式: %1").arg(code));
    }
}

quint8 verticalAlignmentFromCode(int code)
{
    switch (code) {
    case -4160:
    case 1:
        return WorkbookFormat::VTop;
    case -4108:
    case 2:
        return WorkbookFormat::VCenter;
    case -4107:
    case 3:
        return WorkbookFormat::VBottom;
    case -4130:
    case 4:
        return WorkbookFormat::VJustify;
    case -4117:
    case 5:
        return WorkbookFormat::VDistributed;
    default:
        throw Failure(kErrWorkbook, QStringLiteral("不能设置垂直对齐方式: %1").arg(code));
    }
}

quint8 borderFromLineStyle(int lineStyle)
{
    switch (lineStyle) {
    case -4142: // xlLineStyleNone
        return WorkbookFormat::BorderNone;
    case 1:
        return WorkbookFormat::BorderThin;
    case -4115:
        return WorkbookFormat::BorderDashed;
    case -4118:
        return WorkbookFormat::BorderDotted;
    case -4119:
        return WorkbookFormat::BorderDouble;
    case 4:
        return WorkbookFormat::BorderDashDot;
    case 5:
        return WorkbookFormat::BorderDashDotDot;
    default:
        throw Failure(kErrWorkbook, QStringLiteral("不能设置边框线型: %1").arg(lineStyle));
    }
}

int rgbFromBgr(int bgr)
{
    if (bgr < 0 || bgr > 0xFFFFFF)
        throw Failure(kErrWorkbook, QStringLiteral("无效的颜色值: %1").arg(bgr));
    const int r = bgr & 0xFF;
    const int g = (bgr >> 8) & 0xFF;
    const int b = (bgr >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b;
}

} // namespace fee
