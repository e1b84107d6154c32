#include "receiptswindowfixture.h"

#include "receiptsfixture.h"

#include "core/failure.h"
#include "widgets/gridprinter.h"
#include "widgets/gridview.h"

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

namespace receiptsui {

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
    setUpHarness();
    recordSaveFiles();
    m_database = m_dir.filePath(QStringLiteral("receipts.db"));
    const QString error = createReceiptsFixture(m_database);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    fee::setGridPrinter([this](const fee::GridModel&, const fee::PrintGridOptions& options, QWidget*) {
        if (m_printerFails)
            throw fee::Failure(fee::kErrPrinter, QStringLiteral("打印机没有响应"));
        m_printed << options;
        return fee::GridPrintOutcome::Printed;
    });
}

void ReceiptsWindowFixture::clearRecords()
{
    WindowTestHarness::clearRecords();
    m_printed.clear();
    m_printerFails = false;
}

void ReceiptsWindowFixture::useDatabase(const QString& path) { useConnection(receiptsFixtureConnection(path)); }

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
