#include "core/secretmask.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <mutex>

namespace fee {

namespace {

    const QString kMask = QStringLiteral("******");

    struct SecretList {
        std::mutex mutex;
        QStringList texts; // longest first, so that a secret inside another goes after it
    };

    SecretList& secrets()
    {
        // Never destroyed: a message may still be printed while statics unwind.
        static auto* list = new SecretList;
        return *list;
    }

    QtMessageHandler& previousHandler()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }

    void maskingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        const QString masked = withoutSecrets(message);
        if (QtMessageHandler previous = previousHandler()) {
            previous(type, context, masked);
            return;
        }
        const QByteArray line = qFormatLogMessage(type, context, masked).toLocal8Bit();
        std::fprintf(stderr, "%s\n", line.constData());
        std::fflush(stderr);
    }

} // namespace

void rememberSecret(const QString& secret)
{
    if (secret.isEmpty())
        return;
    SecretList& list = secrets();
    std::lock_guard lock(list.mutex);
    if (list.texts.contains(secret))
        return;
    const auto at = std::find_if(
        list.texts.begin(), list.texts.end(), [&secret](const QString& known) { return known.size() < secret.size(); });
    list.texts.insert(at, secret);
}

QString withoutSecrets(const QString& text)
{
    QStringList known;
    {
        SecretList& list = secrets();
        std::lock_guard lock(list.mutex);
        known = list.texts;
    }
    QString masked = text;
    for (const QString& secret : known) {
        if (isDistinctSecret(secret))
            masked.replace(secret, kMask);
    }
    // A connection string quoted in a message (a driver's, or an argument
    // echoed back) shows its password piece even when the secret was never
    // handed to us as one: the value in quotes, in braces or up to the next
    // semicolon or line end.
    static const QRegularExpression kPasswordPiece(
        QStringLiteral("(\\b(?:password|pwd)\\s*=\\s*)(?:'(?:[^']|'')*'?|\"(?:[^\"]|\"\")*\"?|\\{(?:[^}]|\\}\\})*\\}?|["
                       "^;\\r\\n]*)"),
        QRegularExpression::CaseInsensitiveOption);
    masked.replace(kPasswordPiece, QStringLiteral("\\1") + kMask);
    return masked;
}

bool isDistinctSecret(const QString& secret)
{
    constexpr int kDistinctWeight = 6;
    int weight = 0;
    for (const QChar c : secret)
        weight += c.unicode() < 0x80 ? 1 : 2;
    return weight >= kDistinctWeight;
}

void installSecretMaskingMessageHandler()
{
    QtMessageHandler previous = qInstallMessageHandler(maskingHandler);
    if (previous != maskingHandler)
        previousHandler() = previous;
}

} // namespace fee
