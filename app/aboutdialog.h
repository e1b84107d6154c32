#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

namespace fee {

// The About dialog (frmAbout), a child window of the main window.
class AboutDialog : public QWidget {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* Label7() const { return m_label7; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdSysInfo() const { return m_cmdSysInfo; }

    // The system-information programs tried in turn (the first one installed
    // is started); tests may name others.
    static QStringList systemInformationTools();
    static void setSystemInformationTools(const QStringList& commands);

    // Starts the first installed tool without waiting for it; when none can be
    // started says "此时系统信息不可用". True when a tool was started.
    static bool StartSysInfo();

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_lblTitle;
    QLabel* m_lblVersion;
    QLabel* m_label7;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdSysInfo;
};

} // namespace fee
