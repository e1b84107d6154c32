#include "core/grid/celltextplacement.h"
#include "core/grid/gridalign.h"
#include "core/grid/twips.h"

#include <QtTest>

Q_DECLARE_METATYPE(fee::HorizontalPlace)
Q_DECLARE_METATYPE(fee::VerticalPlace)

class TestCellTextPlacement : public QObject {
    Q_OBJECT
private slots:
    void placeOfCode_data();
    void placeOfCode();
    void origin_data();
    void origin();
    void twips_data();
    void twips();
};

void TestCellTextPlacement::placeOfCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<fee::HorizontalPlace>("screen");
    QTest::addColumn<fee::VerticalPlace>("vertical");
    QTest::addColumn<fee::HorizontalPlace>("printed");
    using H = fee::HorizontalPlace;
    using V = fee::VerticalPlace;
    QTest::newRow("left") << int(fee::AlignLeft) << "合计" << H::Left << V::Middle << H::Left;
    QTest::newRow("centre prints on the left") << int(fee::AlignCenter) << "x" << H::Centre << V::Middle << H::Left;
    QTest::newRow("right") << int(fee::AlignRight) << "12.50" << H::Right << V::Middle << H::Right;
    QTest::newRow("left top") << int(fee::AlignLeftTop) << "x" << H::Left << V::Top << H::Left;
    QTest::newRow("right bottom prints on the left")
        << int(fee::AlignRightBottom) << "x" << H::Right << V::Bottom << H::Left;
    QTest::newRow("general number") << int(fee::AlignGeneral) << " -3.5 " << H::Right << V::Middle << H::Left;
    QTest::newRow("general text") << int(fee::AlignGeneral) << "12.50元" << H::Left << V::Middle << H::Left;
    QTest::newRow("general empty") << int(fee::AlignGeneral) << "" << H::Left << V::Middle << H::Left;
    QTest::newRow("unknown code is general") << 12 << "5" << H::Right << V::Middle << H::Left;
}

void TestCellTextPlacement::placeOfCode()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(fee::HorizontalPlace, screen);
    QFETCH(fee::VerticalPlace, vertical);
    QFETCH(fee::HorizontalPlace, printed);
    const fee::CellTextPlace place = fee::cellTextPlace(code, text);
    QCOMPARE(place.horizontal, screen);
    QCOMPARE(place.vertical, vertical);
    const fee::CellTextPlace onPaper = fee::printedCellTextPlace(code);
    QCOMPARE(onPaper.horizontal, printed);
    QCOMPARE(onPaper.vertical, fee::VerticalPlace::Middle);
}

void TestCellTextPlacement::origin_data()
{
    QTest::addColumn<fee::HorizontalPlace>("horizontal");
    QTest::addColumn<fee::VerticalPlace>("vertical");
    QTest::addColumn<QPointF>("origin");
    using H = fee::HorizontalPlace;
    using V = fee::VerticalPlace;
    // A printed cell at (1000, 2000), 1500 x 300 twips; the text 600 x 180.
    QTest::newRow("right: x + w - width - 45") << H::Right << V::Middle << QPointF(1855, 2060);
    QTest::newRow("left: x + 45") << H::Left << V::Middle << QPointF(1045, 2060);
    QTest::newRow("centre") << H::Centre << V::Middle << QPointF(1450, 2060);
    QTest::newRow("top") << H::Left << V::Top << QPointF(1045, 2000);
    QTest::newRow("bottom") << H::Left << V::Bottom << QPointF(1045, 2120);
}

void TestCellTextPlacement::origin()
{
    QFETCH(fee::HorizontalPlace, horizontal);
    QFETCH(fee::VerticalPlace, vertical);
    QFETCH(QPointF, origin);
    const QPointF at = fee::cellTextOrigin(
        QRectF(1000, 2000, 1500, 300), QSizeF(600, 180), { horizontal, vertical }, fee::kCellTextMarginTwips);
    QCOMPARE(at, origin);
}

void TestCellTextPlacement::twips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("default column at 96 dpi") << 960 << 96 << 64;
    QTest::newRow("half a pixel rounds up") << 8 << 96 << 1;
    QTest::newRow("less than half rounds down") << 7 << 96 << 0;
    QTest::newRow("text margin") << fee::kCellTextMarginTwips << 96 << 3;
    QTest::newRow("an inch at 120 dpi") << 1440 << 120 << 120;
    QTest::newRow("row height at 144 dpi") << 300 << 144 << 30;
}

void TestCellTextPlacement::twips()
{
    QFETCH(int, twips);
    QFETCH(int, dpi);
    QFETCH(int, pixels);
    QCOMPARE(fee::twipsToPixels(twips, dpi), pixels);
    if (dpi == fee::kScreenDpi)
        QCOMPARE(fee::twipsToPixels(twips), pixels);
    QCOMPARE(fee::pixelsToTwips(pixels, dpi), double(pixels) * 1440 / dpi);
}

QTEST_APPLESS_MAIN(TestCellTextPlacement)
#include "tst_celltextplacement.moc"
