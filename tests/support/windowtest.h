#pragma once

// What every report window test sets up the same way: a scratch folder for
// its fixture databases and files, the connection the windows read, the
// session the status bar shows, message boxes and the save-file chooser
// answered and recorded; and the small steps of driving a window by the
// names of its controls.

#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/savefilechooser.h"
#include "db/dbconnection.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <memory>

namespace fee::testing {

template <class T> T* child(const QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromUtf8(name));
}

// The caption of a label, button or frame.
inline QString controlText(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return QStringLiteral("?");
}

inline QStringList listTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Ticks the entries whose text starts with one of the codes + " ".
inline void tick(QListWidget* list, const QStringList& codes)
{
    for (int i = 0; i < list->count(); ++i) {
        for (const QString& code : codes) {
            if (list->item(i)->text().startsWith(code + QLatin1Char(' ')))
                list->item(i)->setCheckState(Qt::Checked);
        }
    }
}

inline QStringList checkedTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked)
            texts << (*it)->text(0);
    }
    return texts;
}

// Waits for the run a window started on its worker thread (the window keeps
// handling events meanwhile).
template <class Window> void waitForRun(Window* window, int timeoutMs = 20000)
{
    QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), timeoutMs);
}

// Shows a window that deletes itself on close, on its own or as a subwindow
// of area (which then goes on close too); returns what a user closes.
inline QPointer<QWidget> showSelfDeleting(QWidget* window, QMdiArea& area, bool inMdiArea)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> frame(window);
    if (inMdiArea) {
        frame = area.addSubWindow(window);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        area.resize(1400, 900);
        area.show();
    }
    frame->show();
    return frame;
}

// The base of a window test class: call setUpHarness() from initTestCase()
// and clearRecords() from init().
class WindowTestHarness : public QObject {
protected:
    // The scratch folder, the session (陈操作 of 财务部 (D1), 出纳), and
    // every message box recorded and answered OK.
    void setUpHarness()
    {
        QVERIFY(m_dir.isValid());
        SessionInfo& session = sessionInfo();
        session.UserCode = QStringLiteral("0007");
        session.UserName = QStringLiteral("陈操作");
        session.DepartmentCode = QStringLiteral("D1");
        session.DepartmentName = QStringLiteral("财务部");
        session.PositionName = QStringLiteral("出纳");
        setBoxHandler([this](const BoxRequest& request) {
            m_boxes << request;
            return BoxAnswer::Ok;
        });
    }

    // The save-file chooser records the name and filter it was offered and
    // answers m_chosenName when a workbook was asked for, else cancels.
    void recordSaveFiles()
    {
        setSaveFileChooser([this](QWidget*, const QString& preset, const QString& filter) {
            m_offeredNames << preset;
            m_offeredFilters << filter;
            return filter.contains(QStringLiteral("*.xlsx")) ? m_chosenName : QString();
        });
    }

    // Rows (name, text) of a controls table: the status bar panels that show
    // the session above, where the summary windows put them.
    static void addSessionPanelRows()
    {
        QTest::newRow("operator") << "StatusBar1_Panel1"
                                  << "操作员";
        QTest::newRow("user") << "StatusBar1_Panel2"
                              << "陈操作";
        QTest::newRow("department") << "StatusBar1_Panel4"
                                    << "财务部";
        QTest::newRow("position") << "StatusBar1_Panel6"
                                  << "出纳";
    }

    // Rows (inMdiArea) of a test that closes a window in both places a
    // window is shown.
    static void addPlacementRows()
    {
        QTest::addColumn<bool>("inMdiArea");
        QTest::newRow("top-level window") << false;
        QTest::newRow("child of a multiple-document area") << true;
    }

    void clearRecords()
    {
        m_boxes.clear();
        m_offeredNames.clear();
        m_offeredFilters.clear();
        m_chosenName.clear();
    }

    // The windows opened from now on run on this connection.
    static void useConnection(const QString& connectionString)
    {
        auto connection = std::make_unique<DbConnection>();
        connection->open(connectionString);
        DbConnection::setShared(std::move(connection));
    }

    QTemporaryDir m_dir;
    QList<BoxRequest> m_boxes;
    QStringList m_offeredNames; // preset names the file chooser was shown
    QStringList m_offeredFilters;
    QString m_chosenName; // what the chooser answers; empty = cancel
};

} // namespace fee::testing
