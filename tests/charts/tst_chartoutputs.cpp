// The charts as a person meets them: the panel beside the grid (a long office
// list scrolls, a tooltip, a click naming the grid row, following the grid),
// the picture files, the command line's --chart, and the workbooks' chart
// sheets read back by openpyxl and opened by LibreOffice.
#include "../support/clirun.h"

#include "charts/barchart.h"
#include "charts/chartfile.h"
#include "core/failure.h"
#include "core/fontfamilies.h"
#include "widgets/chartpanel.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

using namespace fee;
using namespace fee::testing;

namespace {

ChartData officesChart(int offices)
{
    ChartData data;
    data.title = QStringLiteral("收缴率");
    data.unit = QStringLiteral("%");
    data.series = QStringList { QStringLiteral("当年收缴率"), QStringLiteral("清欠率") };
    for (int i = 0; i < offices; ++i) {
        ChartBar bar;
        bar.label = QStringLiteral("第%1管理处").arg(i + 1);
        bar.gridRow = i + 2;
        bar.values = { 50.0 + i % 50, i % 4 == 3 ? std::nullopt : std::optional<double>(i % 20) };
        bar.texts = { QStringLiteral("%1.00%").arg(50 + i % 50), i % 4 == 3 ? QString() : QStringLiteral("%1.00%").arg(i % 20) };
        data.bars << bar;
    }
    data.reference = 72.5;
    data.referenceLabel = QStringLiteral("合计 当年收缴率 72.50%");
    return data;
}

// Receipts by category stacked per office; one office has none, one a refund.
ChartData categoriesChart(int offices)
{
    ChartData data;
    data.kind = ChartData::Kind::Stacked;
    data.title = QStringLiteral("收款金额");
    data.series = QStringList { QStringLiteral("物业管理费"), QStringLiteral("车位费"), QStringLiteral("其他") };
    for (int i = 0; i < offices; ++i) {
        ChartBar bar;
        bar.label = QStringLiteral("第%1管理处").arg(i + 1);
        bar.gridRow = 2 + 4 * i;
        if (i != 2) {
            const double fees = 12000 + 1500 * (i % 7);
            const double parking = i == 4 ? -800 : 3000 + 400 * (i % 5);
            bar.values = { fees, parking, i % 3 == 0 ? std::nullopt : std::optional<double>(900) };
            bar.texts = { QStringLiteral("%1.00").arg(fees), QStringLiteral("%1.00").arg(parking),
                i % 3 == 0 ? QString() : QStringLiteral("900.00") };
        } else {
            bar.values = { std::nullopt, std::nullopt, std::nullopt };
            bar.texts = { QString(), QString(), QString() };
        }
        data.bars << bar;
    }
    return data;
}

// A picture for a person to look at, beside the printouts' pages.
void keepPicture(const ChartData& data, const QString& name)
{
    const QString dir = QStringLiteral(FEE_BINARY_DIR "/test-output/charts");
    QDir().mkpath(dir);
    writeChartFile(data, dir + QLatin1Char('/') + name);
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { file, QStringLiteral("-") });
    p.waitForFinished(30000);
    // The CJK fonts map some ideographs to their radical forms (⾦ for 金);
    // compatibility normalisation reads them back as the text drawn.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

} // namespace

class TestChartOutputs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_connect;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QStringList reportArgs(const QString& report) const
    {
        QStringList args { report, QStringLiteral("--connect"), m_connect };
        if (report == QStringLiteral("monthly"))
            return args << QStringLiteral("--date") << QStringLiteral("2026-11-30");
        return args << QStringLiteral("--from") << QStringLiteral("2026-06-01") << QStringLiteral("--to")
                    << QStringLiteral("2026-11-30");
    }

private slots:
    void initTestCase()
    {
        installFontSubstitutions();
        QVERIFY(m_dir.isValid());
        const CliResult made = runCli({ QStringLiteral("demo-db"), path(QStringLiteral("demo.db")),
            QStringLiteral("--offices"), QStringLiteral("4"), QStringLiteral("--rooms"), QStringLiteral("12") });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        m_connect = QStringLiteral("Provider=SQLite;Data Source=") + path(QStringLiteral("demo.db"));
    }

    // 100 offices in a panel of ordinary size: the chart grows taller than
    // the panel and scrolls, and each office's band is taller than its label,
    // the labels one under the other, whole.
    void longOfficeListScrolls()
    {
        ChartPanel panel(QStringLiteral("Chart"));
        panel.resize(900, 420);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.setData(officesChart(100));
        QCoreApplication::processEvents();
        QTRY_VERIFY(panel.scrollArea()->verticalScrollBar()->maximum() > 0);
        ChartView* view = panel.chartView();
        QTRY_VERIFY(view->height() > panel.scrollArea()->viewport()->height());
        const BarChart& chart = view->chart();
        QCOMPARE(chart.data().bars.size(), 100);
        QCOMPARE(chart.height(), view->height());
        const qreal line = QFontMetricsF(chart.labelFont(), view).height();
        for (int i = 0; i < 100; ++i) {
            const QRectF label = chart.labelRect(i);
            QVERIFY2(label.height() >= line,
                qPrintable(QStringLiteral("band %1 px, line %2 px").arg(label.height()).arg(line)));
            if (i > 0)
                QVERIFY(label.top() >= chart.labelRect(i - 1).bottom());
            QCOMPARE(chart.shownLabel(i), QStringLiteral("第%1管理处").arg(i + 1));
        }
        // The first office stands at the top, the last at the bottom, inside the picture.
        QVERIFY(chart.labelRect(0).top() < chart.labelRect(99).top());
        QVERIFY(chart.labelRect(99).bottom() <= chart.height());

        panel.setData(officesChart(1));
        QCoreApplication::processEvents();
        QTRY_COMPARE(panel.scrollArea()->verticalScrollBar()->maximum(), 0);
    }

    // The tooltip shows the grid's texts (a dash for an empty cell) while the
    // pointer is on a bar or its office's name, and goes when it leaves; a
    // click on a bar or a name gives the grid row of its office.
    void tipsAndClicks()
    {
        ChartPanel panel(QStringLiteral("Chart"));
        panel.resize(900, 420);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.setData(officesChart(4));
        QCOMPARE(panel.barTip(3), QStringLiteral("第4管理处\n当年收缴率: 53.00%\n清欠率: —"));
        QCOMPARE(panel.barTip(0), QStringLiteral("第1管理处\n当年收缴率: 50.00%\n清欠率: 0.00%"));

        ChartView* view = panel.chartView();
        const QRect lastFirst = view->barRect(3, 0);
        QVERIFY(!lastFirst.isEmpty());
        // The empty figure draws no bar; a 0 draws none either.
        QVERIFY(view->barRect(3, 1).isEmpty());
        QVERIFY(view->barRect(0, 1).isEmpty());

        QTest::mouseMove(view, lastFirst.center());
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), panel.barTip(3));
        // Moving along the bar keeps it; the empty part of a band has none.
        QTest::mouseMove(view, lastFirst.center() + QPoint(3, 1));
        QCoreApplication::processEvents();
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), panel.barTip(3));
        QTest::mouseMove(view, QPoint(view->width() - 4, lastFirst.center().y()));
        QTRY_VERIFY(!QToolTip::isVisible());
        const QRect secondFigure = view->barRect(1, 1);
        QTest::mouseMove(view, secondFigure.center());
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), panel.barTip(1));

        QSignalSpy clicked(&panel, &ChartPanel::barClicked);
        QTest::mouseClick(view, Qt::LeftButton, {}, lastFirst.center());
        QTest::mouseClick(view, Qt::LeftButton, {}, view->chart().labelRect(0).center().toPoint());
        QTest::mouseClick(view, Qt::LeftButton, {}, secondFigure.center());
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() - 4, lastFirst.center().y()));
        QCOMPARE(clicked.size(), 3);
        QCOMPARE(clicked.at(0).at(0).toInt(), 5);
        QCOMPARE(clicked.at(1).at(0).toInt(), 2);
        QCOMPARE(clicked.at(2).at(0).toInt(), 3);
    }

    // Rows arriving in the grid's model redraw the chart; a cut grid clears it.
    void followsTheModel()
    {
        QStandardItemModel model;
        int offices = 0;
        ChartPanel panel(QStringLiteral("Chart"));
        panel.follow(&model, [&offices] { return officesChart(offices); });
        QVERIFY(panel.data().isEmpty());
        QVERIFY(!panel.saveButton()->isEnabled());
        offices = 3;
        model.appendRow(new QStandardItem(QStringLiteral("x")));
        QTRY_COMPARE(panel.data().bars.size(), 3);
        QVERIFY(panel.saveButton()->isEnabled());
        offices = 0;
        model.clear();
        QTRY_VERIFY(panel.data().isEmpty());
        QVERIFY(!panel.saveButton()->isEnabled());
    }

    void pictureFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("stacked");
        QTest::newRow("png") << QStringLiteral("rates.png") << false;
        QTest::newRow("svg") << QStringLiteral("rates.svg") << false;
        QTest::newRow("pdf") << QStringLiteral("rates.pdf") << false;
        QTest::newRow("upper-case extension") << QStringLiteral("RATES.PNG") << false;
        QTest::newRow("stacked png") << QStringLiteral("categories.png") << true;
        QTest::newRow("stacked svg") << QStringLiteral("categories.svg") << true;
    }

    // Each kind carries the chart with its Chinese texts.
    void pictureFiles()
    {
        QFETCH(QString, name);
        QFETCH(bool, stacked);
        const ChartData data = stacked ? categoriesChart(30) : officesChart(30);
        const QString file = path(name);
        writeChartFile(data, file);
        QFile read(file);
        QVERIFY(read.open(QIODevice::ReadOnly));
        const QByteArray bytes = read.readAll();
        const QString extension = QFileInfo(name).suffix().toLower();
        if (extension == QLatin1String("png")) {
            QImage image;
            QVERIFY(image.loadFromData(bytes, "PNG"));
            QCOMPARE(image.size(), barChartFileSize(data));
            QVERIFY(barChartFileSize(data).height() >= 30 * 20);
            // Bars in the series' colours on a white ground.
            const BarChart chart(data, BarChart::kFileWidth, &image, BarChart::kFileMinimumHeight);
            QCOMPARE(chart.size(), image.size());
            for (int s = 0; s < data.series.size(); ++s) {
                const QRect bar = chart.barRect(1, s).toAlignedRect();
                QVERIFY(!bar.isEmpty());
                // Inside the bar's edge, clear of a figure written in it.
                QCOMPARE(image.pixelColor(bar.left() + 3, bar.top() + 2), BarChart::seriesColor(s));
            }
            QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
            keepPicture(data, QFileInfo(name).completeBaseName().toLower() + QStringLiteral(".png"));
        } else if (extension == QLatin1String("svg")) {
            QVERIFY(bytes.contains("<svg"));
            QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("第30管理处")));
            // A viewer without the installed face falls back on a generic one.
            QVERIFY(bytes.contains("sans-serif"));
        } else {
            QVERIFY(bytes.startsWith("%PDF"));
            const QString text = pdfText(file);
            QVERIFY2(text.contains(QStringLiteral("第30管理处")) && text.contains(QStringLiteral("收缴率")),
                qPrintable(text.left(300)));
        }
    }

    // An unknown kind is refused and an existing file stays as it was.
    void unknownPictureKind()
    {
        const QString file = path(QStringLiteral("keep.jpg"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QVERIFY_THROWS_EXCEPTION(Failure, writeChartFile(officesChart(2), file));
        QFile again(file);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("old"));
    }

    void commandLineChart_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("label"); // a text the picture must show
        for (const char* extension : { "png", "svg", "pdf" }) {
            QTest::addRow("monthly %s", extension) << "monthly" << extension << "收缴率";
            QTest::addRow("receipts %s", extension) << "receipts" << extension << "收款金额";
        }
    }

    void commandLineChart()
    {
        QFETCH(QString, report);
        QFETCH(QString, extension);
        QFETCH(QString, label);
        const QString file = path(report + QStringLiteral("-chart.") + extension);
        const CliResult run = runCli(reportArgs(report) << QStringLiteral("--chart") << file);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.isEmpty(), "no CSV on standard output when only a chart is asked for");
        QFile read(file);
        QVERIFY(read.open(QIODevice::ReadOnly));
        const QByteArray bytes = read.readAll();
        if (extension == QLatin1String("png")) {
            QImage image;
            QVERIFY(image.loadFromData(bytes, "PNG"));
            QVERIFY(image.width() > 500 && image.height() > 300);
        } else if (extension == QLatin1String("svg")) {
            QVERIFY(QString::fromUtf8(bytes).contains(label));
            QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("阳光花园管理处")));
        } else {
            const QString text = pdfText(file);
            QVERIFY2(text.contains(label) && text.contains(QStringLiteral("阳光花园管理处")), qPrintable(text.left(300)));
        }
    }

    void commandLineRefusesOtherPictures()
    {
        const CliResult run = runCli(reportArgs(QStringLiteral("monthly")) << QStringLiteral("--chart") << path(QStringLiteral("m.gif")));
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("--chart")));
        QVERIFY(!QFile::exists(path(QStringLiteral("m.gif"))));
    }

    // The summary workbooks carry a chart sheet whose series point at the
    // summary sheet's cells (for the receipts through a sheet of sums whose
    // formulas point at the 金额 cells), and LibreOffice prints the chart sheet.
    void workbookCharts()
    {
        const QString monthly = path(QStringLiteral("monthly.xlsx"));
        const QString receipts = path(QStringLiteral("receipts.xlsx"));
        CliResult run = runCli(reportArgs(QStringLiteral("monthly")) << QStringLiteral("--xlsx") << monthly
                                                                   << QStringLiteral("--csv") << QStringLiteral("-"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QList<QStringList> monthlyRows;
        QVERIFY(parseCsv(run.out, monthlyRows));
        run = runCli(reportArgs(QStringLiteral("receipts")) << QStringLiteral("--xlsx") << receipts
                                                            << QStringLiteral("--csv") << QStringLiteral("-"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QList<QStringList> receiptsRows;
        QVERIFY(parseCsv(run.out, receiptsRows));

        const auto readBack = [](const QString& file) {
            QProcess p;
            p.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral(FEE_CHARTBOOK_SCRIPT), file });
            p.waitForFinished(60000);
            return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        };

        // Grid row r is sheet row r + 4: the office rows and 合计 are 6 to rows + 3.
        const QJsonObject m = readBack(monthly);
        QCOMPARE(m.value("sheets").toArray().size(), 2);
        QCOMPARE(m.value("sheets").toArray().at(0).toString(), QStringLiteral("Sheet1"));
        const QJsonArray mCharts = m.value("charts").toArray();
        QCOMPARE(mCharts.size(), 1);
        QCOMPARE(mCharts.at(0)["direction"].toString(), QStringLiteral("bar"));
        const QString last = QString::number(monthlyRows.size() + 3);
        const QJsonArray mSeries = mCharts.at(0)["series"].toArray();
        QCOMPARE(mSeries.size(), 2);
        QCOMPARE(mSeries.at(0)["values"].toString(), QStringLiteral("Sheet1!$AA$6:$AA$") + last);
        QCOMPARE(mSeries.at(1)["values"].toString(), QStringLiteral("Sheet1!$H$6:$H$") + last);
        QCOMPARE(mSeries.at(0)["categories"].toString(), QStringLiteral("Sheet1!$B$6:$B$") + last);

        const QJsonObject r = readBack(receipts);
        QCOMPARE(r.value("sheets").toArray().at(0).toString(), QStringLiteral("Sheet1"));
        const QJsonArray rCharts = r.value("charts").toArray();
        QCOMPARE(rCharts.size(), 1);
        QCOMPARE(rCharts.at(0)["grouping"].toString(), QStringLiteral("stacked"));
        const QJsonArray rSeries = rCharts.at(0)["series"].toArray();
        const QJsonObject data = r.value("data").toObject();
        QVERIFY(rSeries.size() >= 2);
        int offices = 0;
        for (auto it = data.begin(); it != data.end(); ++it)
            offices += it.key().startsWith(u'A') && it.key() != QStringLiteral("A1") ? 1 : 0;
        QVERIFY(offices > 1);
        for (int s = 0; s < rSeries.size(); ++s) {
            const QString column = QString(QChar(u'B' + s));
            const QString lastRow = QString::number(offices + 1);
            QCOMPARE(rSeries.at(s)["values"].toString(), QStringLiteral("'图表数据'!$%1$2:$%1$").arg(column) + lastRow);
            QCOMPARE(rSeries.at(s)["categories"].toString(), QStringLiteral("'图表数据'!$A$2:$A$") + lastRow);
            const QString category = data.value(column + QStringLiteral("1")).toString();
            QCOMPARE(rSeries.at(s)["name"].toString(), category);
            // Each sum names exactly the 金额 cells of its office's rows of that category.
            for (auto it = data.begin(); it != data.end(); ++it) {
                if (!it.key().startsWith(column) || it.key() == column + QStringLiteral("1"))
                    continue;
                // openpyxl reads a line break written as CR LF as LF alone.
                const QString office = data.value(QStringLiteral("A") + it.key().mid(1)).toString();
                QStringList expected;
                for (int g = 2; g < receiptsRows.size(); ++g)
                    if (QString(receiptsRows.at(g).at(1)).remove(u'\r') == office && receiptsRows.at(g).at(2) == category)
                        expected << QString::number(g + 4);
                const QString formula = it.value().toString();
                QVERIFY2(formula.startsWith(QStringLiteral("=SUM('Sheet1'!T")), qPrintable(formula));
                QStringList named;
                for (const QString& part : formula.mid(5).chopped(1).split(u',')) {
                    const QStringList ends = part.section(u'!', 1).remove(u'T').split(u':');
                    for (int row = ends.first().toInt(); row <= ends.last().toInt(); ++row)
                        named << QString::number(row);
                }
                QVERIFY2(named == expected, qPrintable(it.key() + QLatin1Char(' ') + office + QLatin1Char(' ') + category + QLatin1Char(' ') + formula));
            }
        }

        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        const QString out = path(QStringLiteral("office"));
        QProcess office;
        office.start(QStringLiteral("soffice"),
            { QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("profile")),
                QStringLiteral("--convert-to"),
                QStringLiteral("pdf:calc_pdf_Export:{\"SinglePageSheets\":{\"type\":\"boolean\",\"value\":\"true\"}}"),
                QStringLiteral("--outdir"), out, monthly, receipts });
        QVERIFY(office.waitForFinished(180000));
        QCOMPARE(office.exitCode(), 0);
        // One page per sheet: the chart sheet is the last page, with its title and offices.
        for (const auto& [name, title, pages] : { std::tuple { "monthly", "收缴率", 2 }, std::tuple { "receipts", "收款金额", 3 } }) {
            const QString pdf = out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".pdf");
            QVERIFY2(QFile::exists(pdf), name);
            QProcess text;
            text.start(QStringLiteral("pdftotext"), { QStringLiteral("-f"), QString::number(pages), QStringLiteral("-l"),
                                                       QString::number(pages), pdf, QStringLiteral("-") });
            text.waitForFinished(30000);
            const QString page = QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
            QVERIFY2(page.contains(QString::fromUtf8(title)) && page.contains(QStringLiteral("阳光花园管理处")),
                qPrintable(page.left(300)));
        }
    }
};

QTEST_MAIN(TestChartOutputs)
#include "tst_chartoutputs.moc"
