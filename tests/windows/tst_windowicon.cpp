#include "app/windowicon.h"

#include <QTemporaryDir>
#include <QtTest>

using tilmora::windowIcon;

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void readsEachRenderingOnlyWhenAskedAndNeverEnlarges();
};

void TestWindowIcon::readsEachRenderingOnlyWhenAskedAndNeverEnlarges()
{
    // The renderings are written after the icon is made: it must not have read anything yet.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString pattern = folder.filePath(QStringLiteral("icon-%1.png"));
    const QIcon icon = windowIcon(pattern, {16, 32});
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));

    // Each size its own colour, to tell which rendering was used.
    const std::pair<int, QColor> renderings[] = {{16, Qt::red}, {32, Qt::blue}};
    for (const auto& [size, colour] : renderings) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(colour);
        QVERIFY(image.save(pattern.arg(size), "PNG"));
    }

    const auto colourOf = [&icon](int asked) {
        const QImage image = icon.pixmap(QSize(asked, asked), 1.0).toImage();
        return std::pair{image.size(), image.pixelColor(image.width() / 2, image.height() / 2)};
    };
    QCOMPARE(colourOf(16), (std::pair{QSize(16, 16), QColor(Qt::red)}));
    QCOMPARE(colourOf(32), (std::pair{QSize(32, 32), QColor(Qt::blue)}));
    // Between two sizes: the larger one, scaled down. Above all of them: the largest, as it is.
    QCOMPARE(colourOf(24), (std::pair{QSize(24, 24), QColor(Qt::blue)}));
    QCOMPARE(colourOf(100), (std::pair{QSize(32, 32), QColor(Qt::blue)}));
}

QTEST_MAIN(TestWindowIcon)
#include "tst_windowicon.moc"
