#include "core/notices.h"

#include "core/secretmask.h"

#include <cstdio>
#include <mutex>

namespace fee {

namespace {

    struct NoticeSeam {
        std::mutex mutex;
        NoticeHandler handler;
    };

    NoticeSeam& seam()
    {
        // Never destroyed: a worker thread may still give a notice while statics unwind.
        static auto* instance = new NoticeSeam;
        return *instance;
    }

} // namespace

void setNoticeHandler(NoticeHandler handler)
{
    std::lock_guard lock(seam().mutex);
    seam().handler = std::move(handler);
}

void notice(const QString& text)
{
    const QString masked = withoutSecrets(text);
    NoticeHandler handler;
    {
        std::lock_guard lock(seam().mutex);
        handler = seam().handler;
    }
    if (handler) {
        handler(masked);
        return;
    }
    const QByteArray line = masked.toLocal8Bit() + '\n';
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

} // namespace fee
