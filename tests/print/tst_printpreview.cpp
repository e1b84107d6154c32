// Without an installed printer, printing shows the print preview instead:
// its paper choice, fit to width, printing and saving what it shows, and a
// long layout that keeps the other windows' events flowing.
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "widgets/gridprinter.h"
#include "widgets/gridprintpreviewdialog.h"
#include "widgets/printpreview.h"
#include "widgets/savefilechooser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

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
    for (int r = 1; r <= dataRows; ++r) {
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, QStringLiteral("付款人%1").arg(r));
    }
    return g;
}

PrintGridOptions titled()
{
    PrintGridOptions options;
    options.title = QStringLiteral("(南区)收款日报表");
    options.printDate = QDate(2024, 2, 1);
    return options;
}

// Runs the given steps on the preview once it is up (polled from a timer,
// as the preview runs its own event loop), then closes it.
void onPreview(const std::function<void(GridPrintPreviewDialog*)>& steps, bool waitForPages = true)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, steps, waitForPages]() {
        auto* dialog = qobject_cast<GridPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog || (waitForPages && (dialog->isLayingOut() || dialog->pageCount() == 0)))
            return;
        timer->stop();
        timer->deleteLater();
        steps(dialog);
        dialog->reject();
    });
    timer->start();
}

bool waitForLayout(GridPrintPreviewDialog* dialog)
{
    return QTest::qWaitFor([dialog]() { return !dialog->isLayingOut(); }, 60000);
}

QString tool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"), QRegularExpression::MultilineOption);
    return pages.match(tool(QStringLiteral("pdfinfo"), { pdf })).captured(1).toInt();
}

} // namespace

class TestPrintPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void previewInsteadOfPrinter_data();
    void previewInsteadOfPrinter();
    void paperChoice();
    void printsAndSavesWhatItShows();
    void longLayoutKeepsEventsFlowing();
    void closedDuringLayout();
    void previewOfAPageTooShort();

private:
    QTemporaryDir m_dir;
};

void TestPrintPreview::initTestCase()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("a printer is installed: printing would not preview but print");
    QVERIFY(m_dir.isValid());
}

void TestPrintPreview::cleanup() { setSaveFileChooser({}); }

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

    bool shown = false;
    int pages = 0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    onPreview([&](GridPrintPreviewDialog* dialog) {
        shown = dialog->objectName() == QStringLiteral("GridPrintPreview");
        auto* view = dialog->findChild<QPrintPreviewWidget*>();
        QVERIFY(view && view->isVisible());
        pages = view->pageCount();
        orientation = view->orientation();
    });
    QCOMPARE(printGridToPrinter(grid(dataRows, columns, 1200), titled()), GridPrintOutcome::Previewed);
    QVERIFY(shown);
    QCOMPARE(orientation == QPageLayout::Landscape, landscape);
    QCOMPARE(pages > 1, severalPages);
    QVERIFY(pages >= 1);
}

// The paper choice and fit to width follow the command line's rules, and the
// preview says what became of a table too wide for the paper.
void TestPrintPreview::paperChoice()
{
    const GridModel wide = grid(60, 20, 1200); // 24000 twips: wider than A3 landscape
    struct Seen {
        PrintPageChoice choice;
        int pages = 0;
        QString info;
    };
    QList<Seen> seen;
    onPreview([&](GridPrintPreviewDialog* dialog) {
        auto* paper = dialog->findChild<QComboBox*>(QStringLiteral("paperChoice"));
        auto* fit = dialog->findChild<QCheckBox*>(QStringLiteral("fitToWidth"));
        auto* info = dialog->findChild<QLabel*>(QStringLiteral("pageInfo"));
        QVERIFY(paper && fit && info);
        QCOMPARE(paper->currentText(), QStringLiteral("自动"));
        QVERIFY(!fit->isChecked());
        const auto record = [&]() {
            QVERIFY(waitForLayout(dialog));
            seen.append({ dialog->pageChoice(), dialog->pageCount(), info->text() });
        };
        record();
        paper->setCurrentIndex(paper->findText(QStringLiteral("A4")));
        record();
        fit->setChecked(true);
        record();
    });
    showGridPrintPreview(wide, titled());

    QCOMPARE(seen.size(), 3);
    const QList<PrintPageChoice> expected { choosePrintPage(wide, 0, PrintPaper::Auto, false),
        choosePrintPage(wide, 0, PrintPaper::A4, false), choosePrintPage(wide, 0, PrintPaper::A4, true) };
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(seen[k].choice.layout.pageSize().id(), expected[k].layout.pageSize().id());
        QCOMPARE(seen[k].choice.landscape(), expected[k].landscape());
        QCOMPARE(seen[k].choice.scale, expected[k].scale);
        QCOMPARE(seen[k].choice.fits, expected[k].fits);
        QVERIFY(seen[k].pages >= 1);
    }
    QVERIFY2(seen[0].info.startsWith(QStringLiteral("A3 横向, 缩小到 96%")), qPrintable(seen[0].info));
    QVERIFY2(seen[1].info.contains(QStringLiteral("打印不出来")), qPrintable(seen[1].info));
    QVERIFY2(seen[2].info.startsWith(QStringLiteral("A4 横向, 缩小到")), qPrintable(seen[2].info));
    // Shrunk further, the same rows take fewer pages.
    QVERIFY(seen[2].pages <= seen[0].pages);
}

// Printing and saving give the pages the preview shows: the same paper,
// orientation and page count, and every column.
void TestPrintPreview::printsAndSavesWhatItShows()
{
    const GridModel wide = grid(120, 20, 1200);
    const QString saved = m_dir.filePath(QStringLiteral("saved.pdf"));
    const QString printed = m_dir.filePath(QStringLiteral("printed.pdf"));
    QString presetName;
    setSaveFileChooser([&](QWidget*, const QString& preset, const QString&) {
        presetName = preset;
        return saved;
    });
    int shownPages = 0;
    bool shownLandscape = false;
    QString info;
    onPreview([&](GridPrintPreviewDialog* dialog) {
        // A picture of the preview for a person to look at.
        const QString pictures = QStringLiteral(FEE_BINARY_DIR "/test-output/print");
        QVERIFY(QDir().mkpath(pictures));
        QVERIFY(dialog->grab().save(QDir(pictures).filePath(QStringLiteral("preview.png"))));
        shownPages = dialog->pageCount();
        shownLandscape = dialog->pageChoice().landscape();
        dialog->findChild<QPushButton*>(QStringLiteral("savePdfButton"))->click();
        info = dialog->findChild<QLabel*>(QStringLiteral("pageInfo"))->text();

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPageSize(QPageSize(QPageSize::Letter)); // the preview's paper wins
        const PrintGridResult result = dialog->printOn(printer);
        QCOMPARE(result.pages, shownPages);
    });
    showGridPrintPreview(wide, titled());

    QCOMPARE(presetName, QStringLiteral("(南区)收款日报表.pdf"));
    QVERIFY2(info.contains(saved), qPrintable(info));
    QVERIFY(shownPages > 1);
    QVERIFY(shownLandscape);
    for (const QString& pdf : { saved, printed }) {
        QCOMPARE(pdfPages(pdf), shownPages);
        QVERIFY2(tool(QStringLiteral("pdfinfo"), { pdf }).contains(QStringLiteral("1191 x 842 pts (A3)")),
            qPrintable(pdf));
        const QString text = tool(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QCOMPARE(text.count(QStringLiteral("列19")), shownPages);
        QCOMPARE(text.count(QStringLiteral("第%1页 共%1页").arg(shownPages)), 1);
    }
}

// A long list is laid out with the dialog up: a busy pointer, the progress
// of the pages, and timers (the status bar's clock) still firing; cancel
// closes the preview.
void TestPrintPreview::longLayoutKeepsEventsFlowing()
{
    const GridModel longList = grid(4000, 8, 1200);
    int ticks = 0;
    int ticksWhileLayingOut = 0;
    int progressMaximum = 0;
    bool busyPointer = false;
    bool cancelled = false;
    QTimer clock;
    clock.setInterval(5);
    QObject::connect(&clock, &QTimer::timeout, [&]() {
        ++ticks;
        auto* dialog = qobject_cast<GridPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isLayingOut())
            return;
        ++ticksWhileLayingOut;
        auto* progress = dialog->findChild<QProgressBar*>(QStringLiteral("layoutProgress"));
        if (progress && progress->isVisible())
            progressMaximum = std::max(progressMaximum, progress->maximum());
        busyPointer = busyPointer
            || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor);
        // Cancel once the progress has been seen.
        if (progressMaximum > 0 && !cancelled) {
            cancelled = true;
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelLayout")), Qt::LeftButton);
        }
    });
    clock.start();
    showGridPrintPreview(longList, titled());
    clock.stop();

    QVERIFY(ticksWhileLayingOut >= 1);
    QVERIFY(busyPointer);
    QVERIFY2(progressMaximum > 50, qPrintable(QString::number(progressMaximum))); // the page count
    QVERIFY(cancelled);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Closing the window in the middle of a layout stops it and closes.
void TestPrintPreview::closedDuringLayout()
{
    const GridModel longList = grid(4000, 8, 1200);
    bool closedWhileLayingOut = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        auto* dialog = qobject_cast<GridPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isLayingOut() && !closedWhileLayingOut) {
            closedWhileLayingOut = true;
            dialog->close();
            QVERIFY(dialog->isVisible()); // until the layout has stopped
        }
    });
    poll.start();
    showGridPrintPreview(longList, titled());
    poll.stop();
    QVERIFY(closedWhileLayingOut);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
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
