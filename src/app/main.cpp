// Tilmora Picture Puzzle Game: a sliding picture puzzle for the desktop.

#include "mainwindow/frmmain.h"
#include "mainwindow/quitafterfirstframe.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TILMORA_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TILMORA_APP_VERSION_DISPLAY));
    // The application id: desktops match the window to its desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tilmora.PicturePuzzle"));
    // The window icon from its PNG renderings, read as PNG by name: neither an SVG renderer nor
    // the probing of every image plugin to guess a format is needed at start-up. Window managers
    // draw it in title bars and window switchers, 16 to 64 pixels; launchers, docks and task bars
    // take the larger sizes from the installed theme icon the desktop entry names, so the 128 and
    // 256 pixel renderings (three quarters of the decoding) are not read here.
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
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
        new tilmora::QuitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
