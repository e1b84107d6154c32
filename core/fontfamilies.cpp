#include "core/fontfamilies.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>

namespace fee {

namespace {

    struct FontRole {
        const char* names[2];
        const char* candidates[3];
    };

    // Song and Kai are serif faces; YaHei is a sans face. Without the serif
    // face the sans one still draws the characters (never boxes).
    const FontRole kRoles[] = {
        { { "宋体", "SimSun" }, { "Noto Serif CJK SC", "Noto Sans CJK SC", "Droid Sans Fallback" } },
        { { "微软雅黑", "Microsoft YaHei" }, { "Noto Sans CJK SC", "Droid Sans Fallback", nullptr } },
        { { "楷体_GB2312", "KaiTi_GB2312" }, { "Noto Serif CJK SC", "Noto Sans CJK SC", "Droid Sans Fallback" } },
    };

    const FontRole* roleOf(const QString& requested)
    {
        for (const FontRole& role : kRoles) {
            for (const char* name : role.names) {
                if (requested.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
                    return &role;
            }
        }
        return nullptr;
    }

    QStringList resolve(const QString& requested)
    {
        QStringList families;
        const FontRole* role = roleOf(requested);
        if (role && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            const QStringList installed = QFontDatabase::families();
            for (const char* candidate : role->candidates) {
                if (candidate && installed.contains(QString::fromUtf8(candidate), Qt::CaseInsensitive))
                    families << QString::fromUtf8(candidate);
            }
        }
        families << requested;
        return families;
    }

} // namespace

QStringList fontFamiliesFor(const QString& requested)
{
    // The font database is asked once per name: a printout sets its fonts on
    // every page.
    static QMutex mutex;
    static QHash<QString, QStringList> cache;
    QMutexLocker lock(&mutex);
    auto found = cache.constFind(requested);
    if (found != cache.constEnd())
        return *found;
    const QStringList families = resolve(requested);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        cache.insert(requested, families);
    return families;
}

void installFontSubstitutions()
{
    for (const FontRole& role : kRoles) {
        for (const char* name : role.names) {
            QStringList found = fontFamiliesFor(QString::fromUtf8(name));
            found.removeLast(); // the requested name itself
            if (!found.isEmpty())
                QFont::insertSubstitutions(QString::fromUtf8(name), found);
        }
    }
}

QString substituteFamily(const QString& requested)
{
    const QStringList found = fontFamiliesFor(requested);
    return found.size() > 1 ? found.first() : QString();
}

} // namespace fee
