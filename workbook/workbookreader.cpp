#include "workbook/workbookreader.h"

#include "core/failure.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbookrange.h"
#include "workbook/workbooksheet.h"
#include "workbook/workbookzip.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>

namespace fee {

namespace {

    [[noreturn]] void unreadable(const QString& fileName, const QString& reason)
    {
        throw Failure(kErrFile, QStringLiteral("无法读取工作簿 \"%1\": %2").arg(fileName, reason));
    }

    QString attr(const QXmlStreamReader& xml, const char* name)
    {
        return xml.attributes().value(QLatin1String(name)).toString();
    }

    // The text of the current element up to its end, also across rich-text runs ("<r><t>").
    QString textOf(QXmlStreamReader& xml, const QString& element)
    {
        QString text;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"t")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.isStartElement() && (xml.name() == u"rPh" || xml.name() == u"phoneticPr"))
                xml.skipCurrentElement();
            else if (xml.isEndElement() && xml.name() == element)
                break;
        }
        return text;
    }

    QString builtInNumberFormat(int id)
    {
        switch (id) {
        case 1:
            return QStringLiteral("0");
        case 2:
            return QStringLiteral("0.00");
        case 3:
            return QStringLiteral("#,##0");
        case 4:
            return QStringLiteral("#,##0.00");
        case 9:
            return QStringLiteral("0%");
        case 10:
            return QStringLiteral("0.00%");
        case 11:
            return QStringLiteral("0.00E+00");
        case 14:
            return QStringLiteral("yyyy-mm-dd");
        case 49:
            return QStringLiteral("@");
        default:
            return {};
        }
    }

    quint8 horizontalFromName(const QString& name)
    {
        if (name == u"left")
            return WorkbookFormat::HLeft;
        if (name == u"center" || name == u"centerContinuous")
            return WorkbookFormat::HCenter;
        if (name == u"right")
            return WorkbookFormat::HRight;
        return WorkbookFormat::HNone;
    }

    quint8 verticalFromName(const QString& name)
    {
        if (name == u"top")
            return WorkbookFormat::VTop;
        if (name == u"center")
            return WorkbookFormat::VCenter;
        if (name == u"bottom")
            return WorkbookFormat::VBottom;
        if (name == u"justify")
            return WorkbookFormat::VJustify;
        if (name == u"distributed")
            return WorkbookFormat::VDistributed;
        return WorkbookFormat::VNone;
    }

    quint8 borderFromName(const QString& name)
    {
        if (name == u"thin" || name == u"medium" || name == u"thick" || name == u"hair")
            return WorkbookFormat::BorderThin;
        if (name == u"dashed" || name == u"mediumDashed")
            return WorkbookFormat::BorderDashed;
        if (name == u"dotted")
            return WorkbookFormat::BorderDotted;
        if (name == u"double")
            return WorkbookFormat::BorderDouble;
        if (name == u"dashDot" || name == u"mediumDashDot" || name == u"slantDashDot")
            return WorkbookFormat::BorderDashDot;
        if (name == u"dashDotDot" || name == u"mediumDashDotDot")
            return WorkbookFormat::BorderDashDotDot;
        return WorkbookFormat::BorderNone;
    }

    // The cell formats of styles.xml (cellXfs), as indexes into the format table.
    QVector<int> readStyles(const QByteArray& data, WorkbookFormatTable& table)
    {
        struct Font {
            QString name;
            double size = 0;
            bool bold = false;
        };
        QHash<int, QString> numberFormats;
        QVector<Font> fonts;
        QVector<int> fills;
        QVector<quint8> borders;
        QVector<int> xfs;
        QXmlStreamReader xml(data);
        QString section;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement()
                && (xml.name() == u"fonts" || xml.name() == u"fills" || xml.name() == u"borders"
                    || xml.name() == u"cellXfs"))
                section.clear();
            if (!xml.isStartElement())
                continue;
            const auto name = xml.name();
            if (name == u"fonts" || name == u"fills" || name == u"borders" || name == u"cellXfs") {
                section = name.toString();
            } else if (name == u"numFmt") {
                // Some writers spell out "General"; the model keeps no format for it.
                const QString code = attr(xml, "formatCode");
                numberFormats.insert(attr(xml, "numFmtId").toInt(),
                    code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ? QString() : code);
            } else if (section == u"fonts" && name == u"font") {
                fonts.append(Font {});
            } else if (section == u"fonts" && !fonts.isEmpty()) {
                const QString val = attr(xml, "val");
                if (name == u"name")
                    fonts.last().name = val;
                else if (name == u"sz")
                    fonts.last().size = val.toDouble();
                else if (name == u"b")
                    fonts.last().bold = val.isEmpty() || val == u"1" || val == u"true";
            } else if (section == u"fills" && name == u"fill") {
                fills.append(-1);
            } else if (section == u"fills" && name == u"patternFill" && !fills.isEmpty()) {
                fills.last() = attr(xml, "patternType") == u"solid" ? -2 : -1;
            } else if (section == u"fills" && name == u"fgColor" && !fills.isEmpty() && fills.last() == -2) {
                const QString argb = attr(xml, "rgb");
                bool ok = false;
                const int rgb = argb.right(6).toInt(&ok, 16);
                fills.last() = ok && argb.size() >= 6 ? rgb : -1;
            } else if (section == u"borders" && name == u"border") {
                borders.append(WorkbookFormat::BorderNone);
            } else if (section == u"borders" && name == u"left" && !borders.isEmpty()) {
                borders.last() = borderFromName(attr(xml, "style"));
            } else if (section == u"cellXfs" && name == u"xf") {
                WorkbookFormat f;
                const int numFmtId = attr(xml, "numFmtId").toInt();
                f.numberFormat = numberFormats.value(numFmtId, builtInNumberFormat(numFmtId));
                const int fontId = attr(xml, "fontId").toInt();
                // The first font is the workbook's default; only differences from it count.
                if (fontId > 0 && fontId < fonts.size()) {
                    const Font& base = fonts.first();
                    const Font& font = fonts.at(fontId);
                    if (font.name != base.name)
                        f.fontName = font.name;
                    if (font.size != base.size)
                        f.fontSize = font.size;
                    f.bold = font.bold;
                }
                const int fillId = attr(xml, "fillId").toInt();
                if (fillId >= 0 && fillId < fills.size() && fills.at(fillId) >= 0)
                    f.fill = fills.at(fillId);
                const int borderId = attr(xml, "borderId").toInt();
                if (borderId >= 0 && borderId < borders.size())
                    f.border = borders.at(borderId);
                // The alignment is a child element of the xf.
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isStartElement() && xml.name() == u"alignment") {
                        f.hAlign = horizontalFromName(attr(xml, "horizontal"));
                        f.vAlign = verticalFromName(attr(xml, "vertical"));
                        const QString wrap = attr(xml, "wrapText");
                        f.wrap = wrap == u"1" || wrap == u"true";
                    } else if (xml.isEndElement() && xml.name() == u"xf") {
                        break;
                    }
                }
                xfs.append(table.intern(f));
            }
        }
        return xfs;
    }

    QStringList readSharedStrings(const QByteArray& data)
    {
        QStringList strings;
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si")
                strings.append(textOf(xml, QStringLiteral("si")));
        }
        return strings;
    }

    // Character units from the width the file stores (digit width 7 pixels, padding 5).
    double charactersFromStoredWidth(double stored)
    {
        const double pixels = std::round(stored * 7);
        return pixels < 12 ? pixels / 12 : (pixels - 5) / 7;
    }

    void readSheet(const QByteArray& data, WorkbookSheet& sheet, const QVector<int>& xfs, const QStringList& strings)
    {
        auto formatOf = [&](const QString& s) { return xfs.value(s.toInt(), 0); };
        // Rows and cells may leave out their address; they then follow the previous one.
        int rowNumber = 0;
        int colNumber = 0;
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const auto name = xml.name();
            if (name == u"col") {
                const int first = attr(xml, "min").toInt();
                const int last = attr(xml, "max").toInt();
                if (first < 1 || last < first || last > WorkbookArea::kMaxCols)
                    continue;
                const QString width = attr(xml, "width");
                if (!width.isEmpty() && (attr(xml, "customWidth") == u"1" || attr(xml, "customWidth") == u"true"))
                    sheet.columns(first, last)
                        .setColumnWidth(std::clamp(charactersFromStoredWidth(width.toDouble()), 0.0, 255.0));
            } else if (name == u"mergeCell") {
                sheet.range(attr(xml, "ref")).merge();
            } else if (name == u"row") {
                const QString r = attr(xml, "r");
                rowNumber = r.isEmpty() ? rowNumber + 1 : r.toInt();
                colNumber = 0;
            } else if (name == u"c") {
                const QString r = attr(xml, "r");
                const WorkbookArea at
                    = r.isEmpty() ? WorkbookArea::cell(rowNumber, colNumber + 1) : WorkbookArea::parse(r);
                colNumber = at.left;
                const QString type = attr(xml, "t");
                const int format = formatOf(attr(xml, "s"));
                QString formula, value, inlineText;
                bool hasValue = false;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isStartElement() && xml.name() == u"f") {
                        formula = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    } else if (xml.isStartElement() && xml.name() == u"v") {
                        value = xml.readElementText();
                        hasValue = true;
                    } else if (xml.isStartElement() && xml.name() == u"is") {
                        inlineText = textOf(xml, QStringLiteral("is"));
                        hasValue = true;
                    } else if (xml.isEndElement() && xml.name() == u"c") {
                        break;
                    }
                }
                WorkbookRange cell(sheet, at);
                if (!formula.isEmpty()) {
                    QVariant result;
                    if (type == u"str" || type == u"e")
                        result = value;
                    else if (hasValue && !value.isEmpty())
                        result = value.toDouble();
                    cell.setFormula(QLatin1Char('=') + formula, result);
                } else if (type == u"s") {
                    cell.setText(strings.value(value.toInt()));
                } else if (type == u"inlineStr") {
                    cell.setText(inlineText);
                } else if (type == u"str" || type == u"e") {
                    cell.setText(value);
                } else if (hasValue && !value.isEmpty()) {
                    bool ok = false;
                    const double number = value.toDouble(&ok);
                    if (ok)
                        cell.setNumber(number);
                }
                sheet.changeFormat(at, [&](WorkbookFormat& f) { f = sheet.formatTable().at(format); });
            }
        }
        if (xml.hasError())
            throw Failure(kErrFile, QStringLiteral("工作表 \"%1\" 已损坏: %2").arg(sheet.name(), xml.errorString()));
    }

    // "worksheets/sheet1.xml" or "/xl/worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml"
    QString partPath(const QString& target)
    {
        if (target.startsWith(u'/'))
            return target.mid(1);
        return QStringLiteral("xl/") + target;
    }

} // namespace

std::vector<std::unique_ptr<WorkbookSheet>> WorkbookReader::read(const QString& fileName, WorkbookFormatTable& formats)
{
    const WorkbookZip zip(fileName, WorkbookZip::ReadOnly);

    QHash<QString, QString> targets;
    {
        QXmlStreamReader xml(zip.read(QStringLiteral("xl/_rels/workbook.xml.rels"), true));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"Relationship")
                targets.insert(attr(xml, "Id"), partPath(attr(xml, "Target")));
        }
    }
    const QStringList strings = readSharedStrings(zip.read(QStringLiteral("xl/sharedStrings.xml"), false));
    const QVector<int> xfs = readStyles(zip.read(QStringLiteral("xl/styles.xml"), false), formats);

    std::vector<std::unique_ptr<WorkbookSheet>> sheets;
    QXmlStreamReader xml(zip.read(QStringLiteral("xl/workbook.xml"), true));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"sheet")
            continue;
        const QString target = targets.value(
            xml.attributes()
                .value(QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
                    QStringLiteral("id"))
                .toString());
        if (target.isEmpty() || !target.contains(QLatin1String("worksheets/")))
            continue; // chart sheets and the like
        auto sheet = std::make_unique<WorkbookSheet>(formats, attr(xml, "name"));
        sheet->setVisible(attr(xml, "state").isEmpty() || attr(xml, "state") == u"visible");
        readSheet(zip.read(target, true), *sheet, xfs, strings);
        sheets.push_back(std::move(sheet));
    }
    if (xml.hasError())
        unreadable(fileName, xml.errorString());
    if (sheets.empty())
        unreadable(fileName, QStringLiteral("没有工作表"));
    return sheets;
}

} // namespace fee
