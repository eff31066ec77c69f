// Tilmora Picture Puzzle Game: a sliding picture puzzle for the desktop.

#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

namespace {

// Quits as soon as the first frame of `window` has been painted. The start-up benchmark runs the
// real program with TILMORA_QUIT_AFTER_FIRST_FRAME=1 to time it to its first frame; the player
// never sets it. Watched application-wide (only until that first paint) because the window's own
// background may be wholly covered by its children, which are then the only ones painted.
class QuitAfterFirstPaint final : public QObject
{
public:
    explicit QuitAfterFirstPaint(QWidget* window)
        : QObject(window)
        , window_(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget != nullptr && widget->window() == window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the quit comes once this frame has been painted and flushed.
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TILMORA_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TILMORA_APP_VERSION_DISPLAY));
    // The application id: desktops match the window to its desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tilmora.PicturePuzzle"));
    // The icon from its PNG renderings, read as PNG by name: neither an SVG renderer nor the
    // probing of every image plugin to guess a format is needed at start-up.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QImageReader reader(QStringLiteral(":/icons/%1/tilmora-puzzle.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    QApplication::setWindowIcon(icon);

    tilmora::frmmain window;
    window.adjustSize();
    // Centred on the screen, as the game has always opened.
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    if (qEnvironmentVariableIntValue("TILMORA_QUIT_AFTER_FIRST_FRAME") == 1)
        new QuitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
