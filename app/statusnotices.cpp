#include "app/statusnotices.h"

#include "core/notices.h"
#include "widgets/sessionstatusbar.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QStringList>
#include <cstdio>

namespace fee {

namespace {

    // Long enough to be read; the window's own messages (统计结束) go to its
    // message panel and do not cover it.
    constexpr int kShownMs = 20000;

    // Lives on the GUI thread; shows notices on the status bars there, as
    // the bar's passing message over its panels.
    class StatusNotices : public QObject {
    public:
        explicit StatusNotices(QObject* parent)
            : QObject(parent)
        {
            qApp->installEventFilter(this);
        }

        void show(const QString& text)
        {
            bool shown = false;
            for (QWidget* widget : QApplication::allWidgets()) {
                if (auto* bar = qobject_cast<SessionStatusBar*>(widget); bar && bar->isVisible()) {
                    bar->showMessage(text, kShownMs);
                    shown = true;
                }
            }
            if (!shown)
                m_pending << text;
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show && !m_pending.isEmpty()) {
                if (auto* bar = qobject_cast<SessionStatusBar*>(watched)) {
                    bar->showMessage(m_pending.join(QStringLiteral("；")), kShownMs);
                    m_pending.clear();
                }
            }
            return QObject::eventFilter(watched, event);
        }

    private:
        QStringList m_pending;
    };

} // namespace

void installStatusNotices()
{
    QPointer<StatusNotices> notices = new StatusNotices(qApp);
    setNoticeHandler([notices](const QString& text) {
        const QByteArray line = text.toLocal8Bit() + '\n';
        std::fputs(line.constData(), stderr);
        std::fflush(stderr);
        QMetaObject::invokeMethod(
            qApp,
            [notices, text] {
                if (notices)
                    notices->show(text);
            },
            Qt::QueuedConnection);
    });
}

} // namespace fee
