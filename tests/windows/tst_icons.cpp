// The window icon: each size the window system asks for comes from the smallest rendering at least
// that large, scaled down, never enlarged; and nothing is read before it is asked for.

#include "mainwindow/windowicon.h"

#include <QTemporaryDir>
#include <QtTest>

class WindowIconTest : public QObject
{
    Q_OBJECT

private slots:
    void picksTheRenderingToScaleDown()
    {
        QTemporaryDir folder;
        const QString pattern = folder.filePath(QStringLiteral("icon-%1.png"));
        const QIcon icon = tilmora::windowIcon(pattern, {16, 32});
        // Each rendering its own colour, written after the icon was made.
        for (const auto& [size, colour] : {std::pair{16, Qt::red}, std::pair{32, Qt::blue}}) {
            QImage image(size, size, QImage::Format_ARGB32);
            image.fill(colour);
            QVERIFY(image.save(pattern.arg(size)));
        }
        // Asked for, given: the size and the colour of the rendering used.
        const std::tuple<int, int, QColor> cases[] = {
            {16, 16, Qt::red}, {24, 24, Qt::blue}, {32, 32, Qt::blue}, {100, 32, Qt::blue}};
        for (const auto& [asked, given, colour] : cases) {
            const QImage image = icon.pixmap(QSize(asked, asked), 1.0).toImage();
            QCOMPARE(image.size(), QSize(given, given));
            QCOMPARE(image.pixelColor(given / 2, given / 2), colour);
        }
    }
};

QTEST_MAIN(WindowIconTest)
#include "tst_icons.moc"
