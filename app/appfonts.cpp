#include "app/appfonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace fee {

namespace {
    struct FontRole {
        const char* names[2];
        const char* candidates[4];
    };

    // Song and Kai are serif faces; YaHei is a sans face.
    const FontRole kRoles[] = {
        { { "宋体", "SimSun" }, { "Noto Serif CJK SC", "Noto Sans CJK SC", "Droid Sans Fallback", nullptr } },
        { { "微软雅黑", "Microsoft YaHei" }, { "Noto Sans CJK SC", "Droid Sans Fallback", nullptr, nullptr } },
        { { "楷体_GB2312", "KaiTi_GB2312" },
            { "Noto Serif CJK SC", "Noto Sans CJK SC", "Droid Sans Fallback", nullptr } },
    };

    QStringList installedCandidates(const FontRole& role)
    {
        const QStringList families = QFontDatabase::families();
        QStringList found;
        for (const char* candidate : role.candidates) {
            if (candidate && families.contains(QString::fromUtf8(candidate), Qt::CaseInsensitive))
                found << QString::fromUtf8(candidate);
        }
        return found;
    }
} // namespace

void installFontSubstitutions()
{
    for (const FontRole& role : kRoles) {
        const QStringList found = installedCandidates(role);
        if (found.isEmpty())
            continue;
        for (const char* name : role.names)
            QFont::insertSubstitutions(QString::fromUtf8(name), found);
    }
}

QString substituteFamily(const QString& requested)
{
    for (const FontRole& role : kRoles) {
        for (const char* name : role.names) {
            if (requested.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0) {
                const QStringList found = installedCandidates(role);
                return found.isEmpty() ? QString() : found.first();
            }
        }
    }
    return QString();
}

void useApplicationFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    QApplication::setFont(font);
}

} // namespace fee
