// The window icon reads each rendering only when the window system asks for its size, and never
// enlarges one: between two sizes the larger is scaled down, above them all the largest is given.

#include "app/windowicon.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class WindowIconTest : public QObject
{
    Q_OBJECT
private slots:
    void readsARenderingWhenAskedAndNeverEnlarges()
    {
        QTemporaryDir folder;
        const QString pattern = folder.filePath(QStringLiteral("icon-%1.png"));
        const QIcon icon = tilmora::windowIcon(pattern, {16, 32});
        // Written after the icon was made: it has read nothing so far.
        for (const auto& [size, colour] : {std::pair{16, Qt::red}, std::pair{32, Qt::blue}}) {
            QImage rendering(size, size, QImage::Format_RGB32);
            rendering.fill(colour);
            QVERIFY(rendering.save(pattern.arg(size)));
        }
        const auto shown = [&icon](int asked) {
            const QImage image = icon.pixmap(QSize(asked, asked), 1.0).toImage();
            return std::pair{image.width(), image.pixelColor(image.width() / 2, image.height() / 2)};
        };
        QCOMPARE(shown(16), std::pair(16, QColor(Qt::red)));
        QCOMPARE(shown(24), std::pair(24, QColor(Qt::blue)));
        QCOMPARE(shown(100), std::pair(32, QColor(Qt::blue)));
        // Painted into a larger square, the largest rendering stands in its middle.
        QImage canvas(100, 60, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        icon.paint(&painter, canvas.rect());
        const auto corners = [&canvas](QPoint from, QPoint to) {
            return QList{canvas.pixelColor(from), canvas.pixelColor(to)};
        };
        QCOMPARE(corners({34, 14}, {65, 45}), QList<QColor>(2, Qt::blue));
        QCOMPARE(corners({33, 13}, {66, 46}), QList<QColor>(2, Qt::white));
    }
};

QTEST_MAIN(WindowIconTest)
#include "tst_windowicon.moc"
