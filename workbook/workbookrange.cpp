#include "workbook/workbookrange.h"

#include "core/failure.h"
#include "workbook/workbooksheet.h"

namespace fee {

WorkbookRange& WorkbookRange::setValue(const QString& typed)
{
    m_sheet->writeTyped(m_area, typed);
    return *this;
}

WorkbookRange& WorkbookRange::setNumber(double value)
{
    m_sheet->writeNumber(m_area, value);
    return *this;
}

WorkbookRange& WorkbookRange::setNumber(double value, const QString& defaultFormat)
{
    m_sheet->writeNumber(m_area, value);
    m_sheet->changeFormat(m_area, [&](WorkbookFormat& f) {
        if (f.numberFormat.isEmpty())
            f.numberFormat = defaultFormat;
    });
    return *this;
}

WorkbookRange& WorkbookRange::setText(const QString& text)
{
    m_sheet->writeText(m_area, text);
    return *this;
}

WorkbookRange& WorkbookRange::setDate(const QDate& date)
{
    // Serial day numbers count from 1899-12-30 (day 0), as the spreadsheet's 1900 system does from March 1900 on.
    static const QDate kEpoch(1899, 12, 30);
    if (!date.isValid() || date < QDate(1900, 3, 1) || date > QDate(9999, 12, 31))
        throw Failure(kErrWorkbook, QStringLiteral("无效的日期: %1").arg(date.toString(Qt::ISODate)));
    m_sheet->writeNumber(m_area, double(kEpoch.daysTo(date)));
    return *this;
}

WorkbookRange& WorkbookRange::setFormula(const QString& formula, const QVariant& result)
{
    m_sheet->writeFormula(m_area, formula, result);
    return *this;
}

QVariant WorkbookRange::value() const { return m_sheet->value(m_area.top, m_area.left); }

WorkbookRange& WorkbookRange::merge()
{
    m_sheet->merge(m_area);
    return *this;
}

WorkbookRange& WorkbookRange::unmerge()
{
    m_sheet->unmerge(m_area);
    return *this;
}

WorkbookRange& WorkbookRange::setHorizontalAlignment(int code)
{
    const quint8 align = horizontalAlignmentFromCode(code);
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.hAlign = align; });
    return *this;
}

WorkbookRange& WorkbookRange::setVerticalAlignment(int code)
{
    const quint8 align = verticalAlignmentFromCode(code);
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.vAlign = align; });
    return *this;
}

WorkbookRange& WorkbookRange::setNumberFormat(const QString& format)
{
    // "General" is the spreadsheet's name for no number format.
    const QString stored = format.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ? QString() : format;
    if (stored.size() > 255)
        throw Failure(kErrWorkbook, QStringLiteral("无效的数字格式: \"%1\"").arg(format));
    m_sheet->changeFormat(m_area, [&](WorkbookFormat& f) { f.numberFormat = stored; });
    return *this;
}

WorkbookRange& WorkbookRange::setFontName(const QString& name)
{
    if (name.isEmpty() || name.size() > 31)
        throw Failure(kErrWorkbook, QStringLiteral("无效的字体名称: \"%1\"").arg(name));
    m_sheet->changeFormat(m_area, [&](WorkbookFormat& f) { f.fontName = name; });
    return *this;
}

WorkbookRange& WorkbookRange::setFontSize(double points)
{
    if (!(points >= 1 && points <= 409))
        throw Failure(kErrWorkbook, QStringLiteral("无效的字号: %1").arg(points));
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.fontSize = points; });
    return *this;
}

WorkbookRange& WorkbookRange::setFontBold(bool bold)
{
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.bold = bold; });
    return *this;
}

WorkbookRange& WorkbookRange::setWrapText(bool wrap)
{
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.wrap = wrap; });
    return *this;
}

WorkbookRange& WorkbookRange::setInteriorColor(int bgr)
{
    const int rgb = rgbFromBgr(bgr);
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.fill = rgb; });
    return *this;
}

WorkbookRange& WorkbookRange::setBorderLineStyle(int lineStyle)
{
    const quint8 border = borderFromLineStyle(lineStyle);
    m_sheet->changeFormat(m_area, [=](WorkbookFormat& f) { f.border = border; });
    return *this;
}

WorkbookRange& WorkbookRange::setColumnWidth(double width)
{
    m_sheet->setColumnWidth(m_area, width);
    return *this;
}

WorkbookRange& WorkbookRange::clear()
{
    m_sheet->clear(m_area);
    return *this;
}

} // namespace fee
