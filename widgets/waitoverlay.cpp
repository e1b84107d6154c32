#include "widgets/waitoverlay.h"

#include "core/runprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fee {

WaitOverlay::WaitOverlay(const QString& objectName, const QString& labelName, const QString& text, QWidget* parent)
    : QFrame(parent)
    , m_label(new QLabel(text, this))
    , m_subject(new QLabel(this))
    , m_progress(new QLabel(this))
    , m_cancel(new QPushButton(QStringLiteral("取消统计"), this))
{
    setObjectName(objectName);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    m_label->setObjectName(labelName);
    m_label->setAlignment(Qt::AlignCenter);
    m_subject->setObjectName(objectName + QStringLiteral("_Subject"));
    m_subject->setAlignment(Qt::AlignCenter);
    m_subject->hide();
    m_progress->setObjectName(objectName + QStringLiteral("_Progress"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_cancel->setObjectName(objectName + QStringLiteral("_Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_label);
    column->addWidget(m_subject);
    column->addWidget(m_progress);
    column->addLayout(buttons);
    resize(380, 110);
    hide();

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        // One press is enough; the run ends at its next statement or row.
        m_cancel->setEnabled(false);
        m_progress->setText(QStringLiteral("正在取消..."));
        emit cancelRequested();
    });
}

void WaitOverlay::setSubject(const QString& subject)
{
    m_subject->setText(subject);
    m_subject->setVisible(!subject.isEmpty());
    // Grows to its texts, never below its first size.
    const QSize wanted = sizeHint().expandedTo(QSize(380, 110));
    if (wanted != size() && parentWidget()) {
        const QPoint centre = geometry().center();
        resize(wanted);
        move(centre - QPoint(width() / 2, height() / 2));
    } else {
        resize(wanted);
    }
}

void WaitOverlay::showOver(const QWidget* target)
{
    m_progress->clear();
    m_cancel->setEnabled(true);
    recentre(target);
    show();
    raise();
}

void WaitOverlay::recentre(const QWidget* target)
{
    const QRect area = target->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void WaitOverlay::showProgress(const RunProgress& progress)
{
    if (!m_cancel->isEnabled())
        return;
    QString text;
    if (progress.officeCount > 0)
        text = QStringLiteral("已完成 %1/%2 个管理处").arg(progress.officesDone).arg(progress.officeCount);
    if (progress.rowsRead > 0)
        text += (text.isEmpty() ? QString() : QStringLiteral("，"))
            + QStringLiteral("已读 %1 行").arg(progress.rowsRead);
    // Long enough that a slow statement does not look like a lost server.
    constexpr int kSilenceShown = 10;
    if (progress.serverSilentSeconds >= kSilenceShown)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n"))
            + QStringLiteral("服务器已 %1 秒没有响应").arg(progress.serverSilentSeconds);
    m_progress->setText(text);
}

void WaitOverlay::finish()
{
    hide();
    m_cancel->setEnabled(true);
}

} // namespace fee
