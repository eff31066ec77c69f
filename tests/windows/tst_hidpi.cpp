// On a screen with two device pixels to the logical pixel, the pieces show the picture's own
// device pixels: no blur from being cut at the logical size and scaled up again.

#include "mainwindow/frmmain.h"
#include "mainwindow/piecewidget.h"
#include "windowfakes.h"

#include <QtTest>

using namespace tilmora::testing;

class HiDpiTest : public QObject
{
    Q_OBJECT
private slots:
    void piecesAreAsSharpAsTheFittedPicture();
};

void HiDpiTest::piecesAreAsSharpAsTheFittedPicture()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    // One-pixel black and white stripes, four times the play area: fitting keeps detail at the
    // device resolution, which the pieces must not lose.
    QTemporaryDir dir;
    QImage stripes(1760, 1760, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x) {
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, (x / 2) % 2 ? 0xffffffff : 0xff000000);
    }
    const QString path = dir.filePath(QStringLiteral("stripes.png"));
    QVERIFY(stripes.save(path));

    auto messages = std::make_shared<FakeMessages>();
    tilmora::frmmain::Services services;
    services.messages = messages;
    services.seed = 7;
    tilmora::frmmain window(services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.loadPictureFile(path));
    window.start1_Click();

    auto* piece = window.picturesplit().at(2);
    const QImage shown = piece->grab().toImage();
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    QCOMPARE(shown.size(), piece->size() * 2);
    // Sharp means neighbouring device-pixel columns still differ strongly somewhere in each row.
    int sharpEdges = 0;
    const int y = shown.height() / 2;
    for (int x = 1; x < shown.width(); ++x) {
        if (std::abs(qGray(shown.pixel(x, y)) - qGray(shown.pixel(x - 1, y))) > 100)
            ++sharpEdges;
    }
    QVERIFY2(sharpEdges > shown.width() / 4, qPrintable(QString::number(sharpEdges)));
}

QTEST_MAIN(HiDpiTest)
#include "tst_hidpi.moc"
