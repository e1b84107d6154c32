#include "app/aboutdialog.h"

#include "app/appversion.h"
#include "core/grid/twips.h"
#include "core/messages.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace fee {

namespace {
    QStringList& toolOverride()
    {
        static QStringList tools;
        return tools;
    }

    template <typename W> W* placed(W* widget, const char* name, int left, int top, int width, int height)
    {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(twipsRect(left, top, width, height));
        return widget;
    }

    QFrame* divider(QWidget* parent, int top)
    {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(twipsRect(225, top, 5280, 30));
        return line;
    }

    QLabel* picture(QWidget* parent, const char* name, int left, int top, const QString& file)
    {
        auto* label = placed(new QLabel(parent), name, left, top, 540, 540);
        label->setPixmap(QPixmap(file).scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return label;
    }
} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QWidget(parent)
    , m_lblTitle(placed(new QLabel(this), "lblTitle", 1050, 240, 4440, 480))
    , m_lblVersion(placed(new QLabel(QStringLiteral("版本"), this), "lblVersion", 1050, 780, 4440, 225))
    , m_label7(placed(new QLabel(this), "Label7", 1050, 1125, 4440, 1170))
    , m_cmdOK(placed(new QPushButton(QStringLiteral("确定"), this), "cmdOK", 4245, 2625, 1260, 345))
    , m_cmdSysInfo(placed(new QPushButton(QStringLiteral("系统信息"), this), "cmdSysInfo", 4260, 3075, 1245, 345))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于物业管理QLX系统2011版"));
    setWindowIcon(QIcon(QStringLiteral(":/app/icon.png")));
    setFixedSize(twipsSize(5730, 3705));

    picture(this, "picIcon", 240, 240, QStringLiteral(":/app/about.png"));
    picture(this, "picLogo", 240, 2625, QStringLiteral(":/app/icon.png"));
    divider(this, 2430);

    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_label7->setWordWrap(true);
    m_label7->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_lblTitle->setText(QStringLiteral("物业管理QLX系统2011版的一部分"));
    m_label7->setText(QStringLiteral("系统信息设置系统") + fullVersionText());

    m_cmdOK->setDefault(true);
    setTabOrder(m_cmdOK, m_cmdSysInfo);
    connect(m_cmdOK, &QPushButton::clicked, this, &AboutDialog::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_Click);
    m_cmdOK->setFocus();
}

void AboutDialog::cmdOK_Click()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void AboutDialog::cmdSysInfo_Click() { StartSysInfo(); }

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // OK is both the default and the cancel button.
    switch (event->key()) {
    case Qt::Key_Escape:
        cmdOK_Click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            cmdOK_Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

QStringList AboutDialog::systemInformationTools()
{
    if (!toolOverride().isEmpty())
        return toolOverride();
    return { QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager") };
}

void AboutDialog::setSystemInformationTools(const QStringList& commands) { toolOverride() = commands; }

bool AboutDialog::StartSysInfo()
{
    for (const QString& tool : systemInformationTools()) {
        const QString program = QStandardPaths::findExecutable(tool);
        if (!program.isEmpty() && QProcess::startDetached(program, {}))
            return true;
    }
    msgBox(QStringLiteral("此时系统信息不可用"), programTitle(), BoxIcon::None);
    return false;
}

} // namespace fee
