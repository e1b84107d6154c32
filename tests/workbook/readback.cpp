#include "readback.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <cmath>

WorkbookReadback WorkbookReadback::read(const QString& xlsxPath, const QString& sheet)
{
    WorkbookReadback r;
    QProcess python;
    QStringList arguments { QStringLiteral(WORKBOOK_READBACK), xlsxPath };
    if (!sheet.isEmpty())
        arguments << sheet;
    python.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        r.m_error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return r;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(python.readAllStandardOutput(), &parseError);
    if (!doc.isObject()) {
        r.m_error = parseError.errorString();
        return r;
    }
    r.m_root = doc.object();
    r.m_cells = r.m_root.value(QStringLiteral("cells")).toObject();
    r.m_widths = r.m_root.value(QStringLiteral("widths")).toObject();
    r.m_heights = r.m_root.value(QStringLiteral("heights")).toObject();
    r.m_ok = true;
    return r;
}

QStringList WorkbookReadback::merges() const
{
    QStringList list;
    for (const QJsonValue& v : m_root.value(QStringLiteral("merges")).toArray())
        list << v.toString();
    list.sort();
    return list;
}

QStringList WorkbookReadback::sheets() const
{
    QStringList list;
    for (const QJsonValue& v : m_root.value(QStringLiteral("sheets")).toArray())
        list << v.toString();
    return list;
}

double WorkbookReadback::storedWidth(double characters)
{
    // A digit is 7 pixels wide in the default font, with 5 pixels of padding.
    const int pixels = characters < 1 ? int(characters * 12 + 0.5) : int(characters * 7 + 0.5) + 5;
    return std::floor(pixels / 7.0 * 256) / 256;
}
