#include "core/grid/gridcells.h"

#include <QRandomGenerator>
#include <QtTest>

using fee::CellValue;
using fee::GridCells;

// The packed cells against the plain values they stand for, through the
// edits a grid makes: appended rows, cells rewritten at the tail and further
// up (a text turned into a figure of the same length and back), cuts that
// leave waste behind, columns added and dropped.
class TestGridCells : public QObject {
    Q_OBJECT

    using Plain = QVector<QVector<CellValue>>;

    static void compare(const GridCells& packed, const Plain& plain, int cols)
    {
        QCOMPARE(packed.rows(), plain.size());
        QCOMPARE(packed.cols(), cols);
        for (int r = 0; r < plain.size(); ++r) {
            for (int c = 0; c < cols; ++c) {
                QCOMPARE(packed.value(r, c), plain[r][c]);
                QCOMPARE(packed.text(r, c), plain[r][c].text());
            }
            QCOMPARE(packed.rowValues(r), plain[r]);
        }
    }

    static CellValue randomValue(QRandomGenerator& random)
    {
        static const CellValue kPieces[] = { CellValue(), CellValue::fromText(QStringLiteral("0.00")),
            CellValue::fromText(QStringLiteral("不记录票据信息")), CellValue::fromText(QStringLiteral("N0012(预开收款)")),
            CellValue::fromText(QStringLiteral("xy")), CellValue::fromText(QString(300, QLatin1Char('y'))),
            CellValue::fromMoney(588000), CellValue::fromMoney(-1), CellValue::fromMoney(qint64(1) << 40),
            CellValue::fromRateHundredths(7512), CellValue::fromCount(12),
            CellValue::fromDate(QDate(2026, 8, 1)),
            CellValue::fromDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)) };
        return kPieces[random.bounded(int(std::size(kPieces)))];
    }

private slots:
    void editsKeepEveryText_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : { 1u, 2u, 3u, 42u, 2026u })
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void editsKeepEveryText()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        int cols = 5;
        GridCells packed;
        packed.reset(2, cols);
        Plain plain(2, QVector<CellValue>(cols));
        for (int step = 0; step < 4000; ++step) {
            const int action = random.bounded(100);
            if (action < 40 || plain.isEmpty()) {
                QVector<CellValue> row;
                for (int c = 0; c < random.bounded(cols + 1); ++c)
                    row.append(randomValue(random));
                if (random.bounded(2) == 0) {
                    QVector<QString> texts;
                    for (auto& v : row) {
                        v = CellValue::fromText(v.text());
                        texts.append(v.text());
                    }
                    packed.appendRow(texts);
                } else {
                    packed.appendRow(row);
                }
                row.resize(cols);
                plain.append(row);
            } else if (action < 85) {
                // Mostly the newest row, as a run fills it; sometimes any row.
                const int r = action < 65 ? int(plain.size()) - 1 : random.bounded(int(plain.size()));
                const int c = random.bounded(cols);
                const CellValue value = randomValue(random);
                if (value.isText() && random.bounded(2) == 0)
                    packed.setText(r, c, value.string());
                else
                    packed.setValue(r, c, value);
                plain[r][c] = value;
            } else if (action < 97) {
                const int rows = random.bounded(int(plain.size()) + 1);
                packed.setRows(rows);
                plain.resize(rows, QVector<CellValue>(cols));
            } else {
                cols = 1 + random.bounded(8);
                packed.setCols(cols);
                for (auto& row : plain)
                    row.resize(cols);
            }
        }
        compare(packed, plain, cols);
        // What a cut leaves behind is given back before it outweighs the live texts.
        qsizetype live = 0;
        for (const auto& row : plain)
            for (const CellValue& value : row)
                live += value.isText() ? value.string().size() : 4;
        QVERIFY2(packed.storedCharacters() <= 2 * live + (1 << 17),
            qPrintable(QStringLiteral("%1 stored for %2 live").arg(packed.storedCharacters()).arg(live)));
    }

    void aRunAfterABigOneReusesTheSpace()
    {
        GridCells packed;
        packed.reset(1, 3);
        for (int run = 0; run < 5; ++run) {
            packed.setRows(1);
            for (int r = 0; r < 20000; ++r)
                packed.appendRow({ QStringLiteral("RK01-001"), QString::number(r), QStringLiteral("物业管理费") });
        }
        QVERIFY(packed.storedCharacters() < 2 * 20000 * 18 + (1 << 18));
        QCOMPARE(packed.text(20000, 1), QStringLiteral("19999"));
    }

    // A figure takes fewer units than its text: the grid holds a long list of
    // amounts and dates in less than its CSV.
    void figuresTakeLessThanTheirTexts()
    {
        GridCells packed;
        packed.reset(0, 4);
        for (int r = 0; r < 1000; ++r)
            packed.appendRow(QVector<CellValue> { CellValue::fromCount(r + 1), CellValue::fromMoney(1234567 + r),
                CellValue::fromDate(QDate(2026, 1, 1).addDays(r % 365)), CellValue::fromRateHundredths(9999) });
        QCOMPARE(packed.storedCharacters(), 1000 * 8);
        QCOMPARE(packed.text(999, 1), QStringLiteral("12355.66"));
        QCOMPARE(packed.text(999, 3), QStringLiteral("99.99%"));
    }

    // Cells merge when their values are equal: a figure never merges with
    // a text that happens to read the same.
    void sameValueComparesKinds()
    {
        GridCells packed;
        packed.reset(0, 2);
        packed.appendRow(QVector<CellValue> { CellValue::fromMoney(100), CellValue::fromText(QStringLiteral("1.00")) });
        packed.appendRow(QVector<CellValue> { CellValue::fromMoney(100), CellValue::fromMoney(100) });
        QVERIFY(packed.sameValue(0, 0, 1, 0));
        QVERIFY(!packed.sameValue(0, 1, 1, 1));
        QCOMPARE(packed.text(0, 1), packed.text(1, 1));
    }
};

QTEST_GUILESS_MAIN(TestGridCells)
#include "tst_gridcells.moc"
