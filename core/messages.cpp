#include "core/messages.h"

#include "core/secretmask.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace fee {

namespace {

    BoxHandler& installedHandler()
    {
        static BoxHandler handler;
        return handler;
    }

} // namespace

void setBoxHandler(BoxHandler handler) { installedHandler() = std::move(handler); }

BoxAnswer showBox(const BoxRequest& original)
{
    // A driver's message may quote the connection it failed on.
    BoxRequest request = original;
    request.text = withoutSecrets(original.text);
    request.title = withoutSecrets(original.title);
    const BoxHandler& handler = installedHandler();
    if (handler)
        return handler(request);
    // No screen to show it on: the text still reaches the person running us.
    const QByteArray line = (request.title + QStringLiteral(": ") + request.text).toUtf8();
    std::fprintf(stderr, "%s\n", line.constData());
    return request.buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

QString programTitle()
{
    if (QCoreApplication::instance()) {
        const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (!base.isEmpty())
            return base;
    }
    return QStringLiteral("fee-reports");
}

void msgBox(const QString& text, const QString& title, BoxIcon icon)
{
    BoxRequest request;
    request.text = text;
    request.title = title.isNull() ? programTitle() : title;
    request.icon = icon;
    request.buttons = BoxButtons::Ok;
    showBox(request);
}

QString errCodeText(int number, const QString& description)
{
    return QStringLiteral("错误码: ") + QString::number(number) + QStringLiteral(" 错误描述: ") + description;
}

QString errNumberText(int number, const QString& description)
{
    return QStringLiteral("错误号: ") + QString::number(number) + QStringLiteral("错误描述: ") + description;
}

QString errPlainText(int number, const QString& description, const QString& separator)
{
    return QString::number(number) + separator + description;
}

QString errInfoText(const QString& description) { return QStringLiteral("错误信息：") + description; }

void ErrCodeBox(int number, const QString& description)
{
    msgBox(errCodeText(number, description), QString::fromUtf8(kSystemTitle));
}

void ErrNumberBox(int number, const QString& description)
{
    msgBox(errNumberText(number, description), QString::fromUtf8(kSystemTitle));
}

void ErrPlainBox(int number, const QString& description, const QString& separator)
{
    msgBox(errPlainText(number, description, separator), programTitle());
}

void ErrInfoBox(const QString& description) { msgBox(errInfoText(description), QStringLiteral("信息文本")); }

} // namespace fee
