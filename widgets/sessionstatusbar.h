#pragma once

#include <QStatusBar>
#include <QString>
#include <QVector>

class QLabel;

namespace fee {

struct SessionInfo;

// The status bar of the report windows (object name "StatusBar1", panels
// "StatusBar1_Panel1".. numbered from 1): fixed labels, the session's user,
// department and position, a message panel and a running clock.
class SessionStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum class Role { Text, UserName, DepartmentName, PositionName, Message, Date, Time };
    struct Panel {
        Role role = Role::Text;
        QString text; // Role::Text: the panel's fixed text
        bool stretch = false;
    };

    // The usual panels: "操作员", user, "部门", department, "岗位", position,
    // a stretching message panel, date, time.
    static QVector<Panel> standardPanels();

    explicit SessionStatusBar(const QVector<Panel>& panels, QWidget* parent = nullptr);

    // Fills the session panels; each name is preceded by `prefix` (some
    // windows show a blank before the names).
    void showSession(const SessionInfo& session, const QString& prefix = QString());

    // Panels counted from 1; the message panel of the window by its role.
    QLabel* panel(int number) const;
    void setPanelText(int number, const QString& text);
    QString panelText(int number) const;
    void setMessage(const QString& text);
    QString message() const;

private:
    void updateClock();
    int numberOf(Role role) const; // 0 when the bar has no such panel

    QVector<Panel> m_roles;
    QVector<QLabel*> m_panels;
};

} // namespace fee
