#include "receiptswindowfixture.h"

#include "receiptsfixture.h"

#include "common/failure.h"
#include "common/sessioninfo.h"
#include "common/widgets/gridprinter.h"
#include "common/widgets/gridview.h"
#include "common/widgets/savefilechooser.h"
#include "db/dbconnection.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <sqlite3.h>

namespace receiptsui {

QString sql(const QString& path, const char* statement)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open ") + path;
    }
    char* message = nullptr;
    QString error;
    if (sqlite3_exec(db, statement, nullptr, nullptr, &message) != SQLITE_OK)
        error = QString::fromUtf8(message);
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

void tick(QListWidget* list, const QStringList& codes)
{
    for (int i = 0; i < list->count(); ++i) {
        for (const QString& code : codes) {
            if (list->item(i)->text().startsWith(code + QLatin1Char(' ')))
                list->item(i)->setCheckState(Qt::Checked);
        }
    }
}

QStringList listTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList checkedTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked)
            texts << (*it)->text(0);
    }
    return texts;
}

QString controlText(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return QStringLiteral("?");
}

QStringList column(const fee::GridModel& grid, int col)
{
    QStringList texts;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        texts << grid.text(r, col);
    return texts;
}

QString panel7(const QWidget* window) { return child<QLabel>(window, "StatusBar1_Panel7")->text(); }

void ReceiptsWindowFixture::setUpFixture()
{
    QVERIFY(m_dir.isValid());
    m_database = m_dir.filePath(QStringLiteral("receipts.db"));
    const QString error = createReceiptsFixture(m_database);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    fee::SessionInfo& session = fee::sessionInfo();
    session.UserName = QStringLiteral("陈操作");
    session.DepartmentCode = QStringLiteral("D1");
    session.DepartmentName = QStringLiteral("财务部");
    session.PositionName = QStringLiteral("出纳");

    fee::setBoxHandler([this](const fee::BoxRequest& request) {
        m_boxes << request;
        return fee::BoxAnswer::Ok;
    });
    fee::setSaveFileChooser([this](QWidget*, const QString& preset, const QString& filter) {
        m_offeredNames << preset;
        m_offeredFilters << filter;
        return m_chosenName;
    });
    fee::setGridPrinter([this](const fee::GridModel&, const fee::PrintGridOptions& options, QWidget*) {
        if (m_printerFails)
            throw fee::Failure(fee::kErrPrinter, QStringLiteral("打印机没有响应"));
        m_printed << options;
        return fee::GridPrintOutcome::Printed;
    });
}

void ReceiptsWindowFixture::clearRecords()
{
    m_boxes.clear();
    m_offeredNames.clear();
    m_offeredFilters.clear();
    m_chosenName.clear();
    m_printed.clear();
    m_printerFails = false;
}

void ReceiptsWindowFixture::useDatabase(const QString& path)
{
    auto connection = std::make_unique<fee::DbConnection>();
    connection->open(receiptsFixtureConnection(path));
    fee::DbConnection::setShared(std::move(connection));
}

QString ReceiptsWindowFixture::copyOfDatabase(const QString& name)
{
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    if (!QFile::copy(m_database, path))
        return QString();
    return path;
}

std::unique_ptr<fee::ReceiptsSummaryWindow> ReceiptsWindowFixture::openWindow(const QString& database)
{
    useDatabase(database.isEmpty() ? m_database : database);
    auto window = std::make_unique<fee::ReceiptsSummaryWindow>(fee::DbConnection::shared(), fee::sessionInfo());
    window->resize(1400, 900);
    window->show();
    child<QDateEdit>(window.get(), "DTPicker1")->setDate(kStart);
    child<QDateEdit>(window.get(), "DTPicker2")->setDate(kEnd);
    return window;
}

void ReceiptsWindowFixture::waitForRun(fee::ReceiptsSummaryWindow* window)
{
    QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 20000);
}

void ReceiptsWindowFixture::runReport(fee::ReceiptsSummaryWindow* window, const QStringList& offices)
{
    tick(child<QListWidget>(window, "List1"), offices);
    if (!child<QCheckBox>(window, "Check2")->isChecked())
        child<QCheckBox>(window, "Check2")->click();
    child<QPushButton>(window, "Command1_0")->click();
    waitForRun(window);
}

void ReceiptsWindowFixture::clickSummary(fee::ReceiptsSummaryWindow* window, int row, int col)
{
    emit child<fee::GridView>(window, "MSFlexGrid1")->cellClicked(row, col);
}

void ReceiptsWindowFixture::openDetail(fee::ReceiptsSummaryWindow* window, int row)
{
    emit child<fee::GridView>(window, "MSFlexGrid1")->cellDoubleClicked(row, 1);
    waitForRun(window);
}

} // namespace receiptsui
