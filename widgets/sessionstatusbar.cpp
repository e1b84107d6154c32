#include "widgets/sessionstatusbar.h"

#include "core/secretmask.h"
#include "core/sessioninfo.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>

namespace fee {

QVector<SessionStatusBar::Panel> SessionStatusBar::standardPanels()
{
    return {
        { Role::Text, QStringLiteral("操作员") },
        { Role::UserName },
        { Role::Text, QStringLiteral("部门") },
        { Role::DepartmentName },
        { Role::Text, QStringLiteral("岗位") },
        { Role::PositionName },
        { Role::Message, QString(), true },
        { Role::Date },
        { Role::Time },
    };
}

SessionStatusBar::SessionStatusBar(const QVector<Panel>& panels, QWidget* parent)
    : QStatusBar(parent)
    , m_roles(panels)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    for (int i = 0; i < panels.size(); ++i) {
        auto* label = new QLabel(panels[i].role == Role::Text ? panels[i].text : QString(), this);
        label->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        label->setContentsMargins(6, 0, 6, 0);
        addWidget(label, panels[i].stretch ? 1 : 0);
        m_panels.append(label);
    }
    if (numberOf(Role::Date) || numberOf(Role::Time)) {
        updateClock();
        auto* clock = new QTimer(this);
        connect(clock, &QTimer::timeout, this, &SessionStatusBar::updateClock);
        clock->start(1000);
    }
}

void SessionStatusBar::showSession(const SessionInfo& session, const QString& prefix)
{
    if (const int n = numberOf(Role::UserName))
        setPanelText(n, prefix + session.UserName);
    if (const int n = numberOf(Role::DepartmentName))
        setPanelText(n, prefix + session.DepartmentName);
    if (const int n = numberOf(Role::PositionName))
        setPanelText(n, prefix + session.PositionName);
}

QLabel* SessionStatusBar::panel(int number) const { return m_panels.value(number - 1); }

void SessionStatusBar::setPanelText(int number, const QString& text)
{
    if (QLabel* label = panel(number))
        label->setText(withoutSecrets(text));
}

QString SessionStatusBar::panelText(int number) const
{
    const QLabel* label = panel(number);
    return label ? label->text() : QString();
}

void SessionStatusBar::setMessage(const QString& text) { setPanelText(numberOf(Role::Message), text); }

QString SessionStatusBar::message() const { return panelText(numberOf(Role::Message)); }

int SessionStatusBar::numberOf(Role role) const
{
    for (int i = 0; i < m_roles.size(); ++i) {
        if (m_roles[i].role == role)
            return i + 1;
    }
    return 0;
}

void SessionStatusBar::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    setPanelText(numberOf(Role::Date), now.date().toString(QStringLiteral("yyyy-MM-dd")));
    setPanelText(numberOf(Role::Time), now.time().toString(QStringLiteral("HH:mm:ss")));
}

} // namespace fee
