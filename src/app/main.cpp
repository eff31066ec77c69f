// Tilmora Picture Puzzle Game: a sliding picture puzzle for the desktop.

#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QStyle>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TILMORA_APP_NAME));
    QApplication::setApplicationDisplayName(QStringLiteral(TILMORA_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TILMORA_APP_VERSION_DISPLAY));
    // The application id: desktops match the window to its desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tilmora.PicturePuzzle"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tilmora-puzzle.svg")));

    tilmora::frmmain window;
    window.adjustSize();
    // Centred on the screen, as the game has always opened.
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    return QApplication::exec();
}
