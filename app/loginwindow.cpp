#include "app/loginwindow.h"

#include "app/loginservice.h"

#include "app/appversion.h"
#include "app/connectdatabase.h"
#include "app/dbsettings.h"
#include "app/programexit.h"
#include "app/shell.h"
#include "core/failure.h"
#include "core/grid/twips.h"
#include "core/messages.h"
#include "db/dbconnection.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace fee {

namespace {
    template <typename W> W* placed(W* widget, const char* name, int left, int top, int width, int height)
    {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(twipsRect(left, top, width, height));
        return widget;
    }
} // namespace

LoginWindow::LoginWindow(QWidget* parent)
    : QDialog(parent)
    , m_txtUser(placed(new QLineEdit(this), "TxtUser", 2070, 1050, 1755, 254))
    , m_txtPassword(placed(new QLineEdit(this), "txtPassword", 2070, 1440, 1755, 254))
    , m_cmdOK(placed(new QPushButton(QStringLiteral("确定"), this), "cmdOK", 2130, 1860, 746, 300))
    , m_cmdCancel(placed(new QPushButton(QStringLiteral("取消"), this), "cmdCancel", 3060, 1860, 746, 300))
    , m_label1(placed(new QLabel(this), "Label1", 4260, 600, 750, 300))
    , m_list1(placed(new QListWidget(this), "List1", 2070, 1800, 2895, 930))
    , m_label2(placed(new QLabel(QStringLiteral("请您选择要登录的岗位"), this), "Label2", 1200, 1800, 885, 585))
    , m_lblNoSettings(placed(new QLabel(this), "lblNoSettings", 90, 2790, 4935, 600))
    , m_background(QStringLiteral(":/app/login.png"))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("物业管理QLX系统"));
    setWindowIcon(QIcon(QStringLiteral(":/app/icon.png")));
    setFixedSize(twipsSize(5115, 3420));

    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_txtUser->setFrame(true);

    // Enter moves on through the fields; only a focused button reacts to it.
    for (QPushButton* button : { m_cmdOK, m_cmdCancel }) {
        button->setAutoDefault(true);
        button->setDefault(false);
    }

    m_label1->setText(loginVersionCaption());
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The caption wraps to three lines in the narrow column; let it grow
    // downwards rather than cut its last line.
    m_label2->resize(m_label2->width(), qMax(m_label2->height(), m_label2->heightForWidth(m_label2->width())));

    m_list1->raise(); // lies over the two buttons when shown
    setListShown(false);

    // The administrator copies the file's path from here.
    m_lblNoSettings->setWordWrap(true);
    m_lblNoSettings->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblNoSettings->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblNoSettings->setStyleSheet(QStringLiteral("QLabel { color: #a01010; }"));
    showSettingsNotice();

    setTabOrder(m_txtUser, m_txtPassword);
    setTabOrder(m_txtPassword, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_list1);

    m_txtUser->installEventFilter(this);
    m_txtPassword->installEventFilter(this);
    connect(m_cmdOK, &QPushButton::clicked, this, &LoginWindow::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &LoginWindow::cmdCancel_Click);
    connect(m_list1, &QListWidget::itemDoubleClicked, this, &LoginWindow::List1_DblClick);
    m_txtUser->setFocus();
}

void LoginWindow::setListShown(bool shown)
{
    m_list1->setVisible(shown);
    m_label2->setVisible(shown);
}

bool LoginWindow::showSettingsNotice()
{
    const QString notice = missingSettingsNotice();
    m_lblNoSettings->setText(notice);
    m_lblNoSettings->setToolTip(notice);
    m_lblNoSettings->setVisible(!notice.isEmpty());
    if (notice.isEmpty())
        return false;
    // A long home folder wraps the notice onto more lines: the window grows
    // rather than cut them.
    const int needed = m_lblNoSettings->heightForWidth(m_lblNoSettings->width());
    m_lblNoSettings->resize(m_lblNoSettings->width(), qMax(m_lblNoSettings->height(), needed));
    setFixedSize(width(), qMax(twipsSize(5115, 3420).height(), m_lblNoSettings->geometry().bottom() + 4));
    return true;
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    // Coming back to the window is not entering the field.
    if (edit && event->type() == QEvent::FocusIn
        && static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
        edit->selectAll();
        // A mouse click places the cursor after the focus arrives.
        QTimer::singleShot(0, edit, [edit] {
            if (edit->hasFocus())
                edit->selectAll();
        });
        if (edit == m_txtUser)
            setListShown(false);
    }
    return QDialog::eventFilter(watched, event);
}

void LoginWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    // Closing the login window by its close box ends the program like Cancel.
    event->ignore();
    cmdCancel_Click();
}

void LoginWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
}

void LoginWindow::cmdCancel_Click() { endProgram(0); }

void LoginWindow::cmdOK_Click()
{
    try {
        checkLogin();
    } catch (const Failure& failure) {
        ErrPlainBox(failure.number(), failure.description(), QStringLiteral(" "));
    } catch (const std::exception& e) {
        ErrPlainBox(0, QString::fromUtf8(e.what()), QStringLiteral(" "));
    }
}

void LoginWindow::checkLogin()
{
    const QString user = m_txtUser->text();
    const QString password = m_txtPassword->text();
    if (user.isEmpty()) {
        msgBox(QStringLiteral("用户名不能为空!"), programTitle());
        return;
    }
    if (password.isEmpty()) {
        msgBox(QStringLiteral("密码不能为空!"), programTitle());
        return;
    }

    // Without a server in the settings a connection attempt could only end in
    // the driver's error and the program's end; the notice says what to write
    // instead, and the next OK reads the settings again.
    if (showSettingsNotice()) {
        msgBox(m_lblNoSettings->text(), QStringLiteral("连接提示"));
        return;
    }

    SessionInfo& session = sessionInfo();
    const QString keptName = session.UserName;
    session = SessionInfo();
    session.UserName = keptName;

    if (!ConnectDatabase(QString())) {
        endProgram(0);
        return;
    }

    if (user == QStringLiteral("qv") && password == QStringLiteral("morvekalintu4096")) {
        session.UserCode = QStringLiteral("超级用户");
        Shell::showMainWindow();
        return;
    }

    const LoginCheck check = fee::checkLogin(DbConnection::shared(), user, password);
    if (!check.employeeFound) {
        msgBox(QStringLiteral("用户名或密码不正确,请重新输入!"), programTitle());
        return;
    }
    if (check.positions.isEmpty()) {
        msgBox(QStringLiteral("对不起，您没有岗位，请选择系统管理员"), programTitle(), BoxIcon::None);
        return;
    }

    m_list1->clear();
    m_positionChoices.clear();
    for (const LoginPosition& position : check.positions) {
        m_list1->addItem(position.entryText);
        m_positionChoices.append(position.choice);
    }

    if (m_list1->count() == 1) {
        m_list1->setCurrentRow(0);
        List1_DblClick();
        return;
    }
    setListShown(true);
}

void LoginWindow::List1_DblClick()
{
    const int index = m_list1->currentRow();
    if (index < 0 || index >= m_positionChoices.size() || !m_list1->currentItem()->isSelected())
        return;
    const PositionChoice& choice = m_positionChoices.at(index);
    SessionInfo& session = sessionInfo();
    for (int i = 0; i < SessionInfo::kFieldCount; ++i)
        session.field(i) = trimSpaces(choice.field(i));
    Shell::showMainWindow();
}

} // namespace fee
