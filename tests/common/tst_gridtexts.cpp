#include "core/grid/gridtexts.h"

#include <QRandomGenerator>
#include <QtTest>

using fee::GridTexts;

// The packed cell texts against the plain texts they stand for, through the
// edits a grid makes: appended rows, cells rewritten at the tail and further
// up, cuts that leave waste behind, columns added and dropped.
class TestGridTexts : public QObject {
    Q_OBJECT

    using Plain = QVector<QVector<QString>>;

    static void compare(const GridTexts& packed, const Plain& plain, int cols)
    {
        QCOMPARE(packed.rows(), plain.size());
        QCOMPARE(packed.cols(), cols);
        for (int r = 0; r < plain.size(); ++r) {
            for (int c = 0; c < cols; ++c)
                QCOMPARE(packed.text(r, c), plain[r][c]);
            QCOMPARE(packed.rowTexts(r), plain[r]);
        }
    }

    static QString randomText(QRandomGenerator& random)
    {
        static const QString kPieces[] = { QString(), QStringLiteral("0.00"), QStringLiteral("不记录票据信息"),
            QStringLiteral("N0012(预开收款)"), QStringLiteral("x"), QString(300, QLatin1Char('y')) };
        return kPieces[random.bounded(6)];
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
        GridTexts packed;
        packed.reset(2, cols);
        Plain plain(2, QVector<QString>(cols));
        for (int step = 0; step < 4000; ++step) {
            const int action = random.bounded(100);
            if (action < 40 || plain.isEmpty()) {
                QVector<QString> row;
                for (int c = 0; c < random.bounded(cols + 1); ++c)
                    row.append(randomText(random));
                packed.appendRow(row);
                row.resize(cols);
                plain.append(row);
            } else if (action < 85) {
                // Mostly the newest row, as a run fills it; sometimes any row.
                const int r = action < 65 ? int(plain.size()) - 1 : random.bounded(int(plain.size()));
                const int c = random.bounded(cols);
                const QString text = randomText(random);
                packed.setText(r, c, text);
                plain[r][c] = text;
            } else if (action < 97) {
                const int rows = random.bounded(int(plain.size()) + 1);
                packed.setRows(rows);
                plain.resize(rows, QVector<QString>(cols));
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
            for (const QString& text : row)
                live += text.size();
        QVERIFY2(packed.storedCharacters() <= 2 * live + (1 << 17),
            qPrintable(QStringLiteral("%1 stored for %2 live").arg(packed.storedCharacters()).arg(live)));
    }

    void aRunAfterABigOneReusesTheSpace()
    {
        GridTexts packed;
        packed.reset(1, 3);
        for (int run = 0; run < 5; ++run) {
            packed.setRows(1);
            for (int r = 0; r < 20000; ++r)
                packed.appendRow({ QStringLiteral("RK01-001"), QString::number(r), QStringLiteral("物业管理费") });
        }
        QVERIFY(packed.storedCharacters() < 2 * 20000 * 18 + (1 << 18));
        QCOMPARE(packed.text(20000, 1), QStringLiteral("19999"));
    }
};

QTEST_GUILESS_MAIN(TestGridTexts)
#include "tst_gridtexts.moc"
