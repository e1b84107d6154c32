#pragma once

#include "app/positionchoice.h"

#include <QDialog>
#include <QList>
#include <QPixmap>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace fee {

// The login window (frmLogin): job number, password, and the choice among the
// employee's current positions.
class LoginWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget* parent = nullptr);

    QLineEdit* TxtUser() const { return m_txtUser; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QLabel* Label1() const { return m_label1; }
    QLabel* Label2() const { return m_label2; }
    QListWidget* List1() const { return m_list1; }
    // The first-start notice: shown while the settings name no server.
    QLabel* lblNoSettings() const { return m_lblNoSettings; }
    const QList<PositionChoice>& positionChoices() const { return m_positionChoices; }

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void List1_DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void checkLogin();
    void setListShown(bool shown);
    // Shows or hides the first-start notice; true when settings are missing.
    bool showSettingsNotice();

    QLineEdit* m_txtUser;
    QLineEdit* m_txtPassword;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QLabel* m_label1;
    QListWidget* m_list1;
    QLabel* m_label2;
    QLabel* m_lblNoSettings;
    QList<PositionChoice> m_positionChoices;
    QPixmap m_background;
};

} // namespace fee
