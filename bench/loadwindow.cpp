// The game's window that loads one picture through the game's own load path and quits after its
// first frame: run under /usr/bin/time, its peak memory is compared with the bare window's.
// Without an argument it opens with no picture, as the game starts.

#include "benchgame.h"
#include "benchsupport.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tilmora::frmmain window(tilmora::bench::benchServices());
    if (argc > 1 && !tilmora::bench::loadAndWait(window, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "loadwindow: cannot load %s\n", argv[1]);
        return 1;
    }
    new tilmora::bench::QuitAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
