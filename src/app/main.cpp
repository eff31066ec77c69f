// Tilmora Picture Puzzle Game: a sliding picture puzzle for the desktop.

#include "deferrediconstyle.h"
#include "mainwindow/frmmain.h"
#include "quitafterfirstframe.h"
#include "windowicon.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TILMORA_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TILMORA_APP_VERSION_DISPLAY));
    // The application id: desktops match the window to its desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tilmora.PicturePuzzle"));
    // Window managers draw the window icon in title bars and window switchers, 16 to 64 pixels;
    // launchers, docks and task bars take larger sizes from the installed theme icon the desktop
    // entry names. Each rendering is read only when the window system asks for it.
    // The desktop's style, with the menu bar's overflow arrows fetched only if ever drawn: fetching
    // them would load every image-format plugin before the first frame.
    QApplication::setStyle(tilmora::deferredIconsOfCurrentStyle());
    QApplication::setWindowIcon(
        tilmora::windowIcon(QStringLiteral(":/icons/%1/tilmora-puzzle.png"), {16, 32, 48, 64}));

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
