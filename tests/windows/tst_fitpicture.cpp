#include "picture/fitpicture.h"

#include <QtTest>

using tilmora::FitPicture;
using tilmora::fittedPixelSize;

class FitPictureTest : public QObject
{
    Q_OBJECT
private slots:
    void fitsTwips_data();
    void fitsTwips();
    void fitsPixels_data();
    void fitsPixels();
};

void FitPictureTest::fitsTwips_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("fittedWidth");
    QTest::addColumn<float>("fittedHeight");
    QTest::addColumn<bool>("refitted");

    QTest::newRow("wide, over both limits") << 8000.f << 6000.f << 6600.f << 4950.f << true;
    QTest::newRow("tall, over the height limit") << 3000.f << 9000.f << 2200.f << 6600.f << true;
    QTest::newRow("square, over the limits") << 7000.f << 7000.f << 6600.f << 6600.f << true;
    QTest::newRow("square, exactly at the limits") << 6600.f << 6600.f << 6600.f << 6600.f << true;
    // Meeting a limit is enough to be fitted again, at the same size.
    QTest::newRow("wide, exactly at the width limit") << 6600.f << 3000.f << 6600.f << 3000.f << true;
    QTest::newRow("below both limits") << 5000.f << 5000.f << 5000.f << 5000.f << false;
    QTest::newRow("just below both limits") << 6599.f << 6599.f << 6599.f << 6599.f << false;
    QTest::newRow("upright, width follows in proportion")
        << 5000.f << 7000.f << static_cast<float>(5000.0 * 6600 / 7000) << 6600.f << true;
    QTest::newRow("thin strip") << 300000.f << 300.f << 6600.f << 6.6f << true;
}

void FitPictureTest::fitsTwips()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(float, fittedWidth);
    QFETCH(float, fittedHeight);
    QFETCH(bool, refitted);

    const auto fitted = FitPicture(tilmora::kPictureLimitTwips, tilmora::kPictureLimitTwips, width, height);
    QCOMPARE(fitted.width, fittedWidth);
    QCOMPARE(fitted.height, fittedHeight);
    QCOMPARE(fitted.refitted, refitted);
}

void FitPictureTest::fitsPixels_data()
{
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("fitted");

    QTest::newRow("camera photo") << QSize(6000, 4000) << QSize(440, 293);
    QTest::newRow("upright camera photo") << QSize(4000, 6000) << QSize(293, 440);
    QTest::newRow("exactly the play area") << QSize(440, 440) << QSize(440, 440);
    QTest::newRow("one pixel over") << QSize(441, 441) << QSize(440, 440);
    QTest::newRow("smaller, never enlarged") << QSize(439, 100) << QSize(439, 100);
    QTest::newRow("single pixel") << QSize(1, 1) << QSize(1, 1);
    QTest::newRow("wide strip keeps one pixel") << QSize(20000, 20) << QSize(440, 1);
    QTest::newRow("tall strip keeps one pixel") << QSize(20, 20000) << QSize(1, 440);
    QTest::newRow("no picture") << QSize(0, 0) << QSize();
}

void FitPictureTest::fitsPixels()
{
    QFETCH(QSize, natural);
    QFETCH(QSize, fitted);

    QCOMPARE(fittedPixelSize(natural), fitted);
}

QTEST_APPLESS_MAIN(FitPictureTest)
#include "tst_fitpicture.moc"
