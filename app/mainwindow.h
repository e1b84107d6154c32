#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace fee {

class BannerStrip;

// The main window (MDIForm1): the report windows and the About dialog open
// inside its client area, each at most once.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    BannerStrip* banner() const { return m_banner; }
    QAction* menuAction(const QString& caption) const; // by the item's caption

    // "MDI.BMP" in the executable's folder, else the installed one in
    // ../share/fee-reports, unless a test names another file.
    static QString backgroundFile();
    static void setBackgroundFile(const QString& path);
    // The picture the client area shows now (blank when the file is missing).
    QImage renderedBackground() const { return m_renderedBackground; }

public slots:
    QMdiSubWindow* openMonthlyReport();
    QMdiSubWindow* openDailyReport();
    QMdiSubWindow* openReceiptsSummary();
    QMdiSubWindow* openAbout();
    void quitNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QMdiSubWindow* showChild(QPointer<QMdiSubWindow>& slot, QWidget* (*make)());
    void renderBackground();

    BannerStrip* m_banner;
    QMdiArea* m_mdiArea;
    QImage m_picture;
    QImage m_renderedBackground;
    QPointer<QMdiSubWindow> m_monthly;
    QPointer<QMdiSubWindow> m_daily;
    QPointer<QMdiSubWindow> m_receipts;
    QPointer<QMdiSubWindow> m_about;
};

} // namespace fee
