// Without an installed printer, printing shows the print preview instead.
#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "common/widgets/gridprinter.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QtTest>

using namespace fee;

namespace {

GridModel grid(int dataRows, int columns, int width)
{
    GridModel g;
    g.setCols(columns);
    g.setRows(dataRows + 1);
    for (int c = 0; c < columns; ++c) {
        g.setText(0, c, QStringLiteral("列%1").arg(c));
        g.setColWidth(c, width);
    }
    for (int r = 1; r <= dataRows; ++r)
        g.setText(r, 0, QString::number(r));
    return g;
}

struct PreviewSeen {
    bool shown = false;
    int pages = 0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

// Looks at the preview once it is up, then closes it.
void inspectPreview(PreviewSeen& seen)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&seen, timer]() {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        seen.shown = dialog->objectName() == QStringLiteral("GridPrintPreview");
        if (auto* view = dialog->findChild<QPrintPreviewWidget*>()) {
            view->updatePreview();
            seen.pages = view->pageCount();
            seen.orientation = view->orientation();
        }
        dialog->reject();
    });
    timer->start();
}

} // namespace

class TestPrintPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void previewInsteadOfPrinter_data();
    void previewInsteadOfPrinter();
    void previewOfAPageTooShort();
};

void TestPrintPreview::initTestCase()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("a printer is installed: printing would not preview but print");
}

void TestPrintPreview::previewInsteadOfPrinter_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<bool>("severalPages");
    QTest::newRow("one page, portrait") << 5 << 4 << false << false;
    QTest::newRow("many rows, landscape") << 200 << 12 << true << true;
}

void TestPrintPreview::previewInsteadOfPrinter()
{
    QFETCH(int, dataRows);
    QFETCH(int, columns);
    QFETCH(bool, landscape);
    QFETCH(bool, severalPages);

    PrintGridOptions options;
    options.title = QStringLiteral("(南区)收款日报表");
    PreviewSeen seen;
    inspectPreview(seen);
    QCOMPARE(printGridToPrinter(grid(dataRows, columns, 1200), options), GridPrintOutcome::Previewed);
    QVERIFY(seen.shown);
    QCOMPARE(seen.orientation == QPageLayout::Landscape, landscape);
    QCOMPARE(seen.pages > 1, severalPages);
    QVERIFY(seen.pages >= 1);
}

void TestPrintPreview::previewOfAPageTooShort()
{
    GridModel tall = grid(3, 4, 1200);
    tall.setRowHeight(0, 20000);
    try {
        printGridToPrinter(tall, PrintGridOptions());
        QFAIL("a page without room for one row was previewed");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrPrinter);
    }
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
