// The game's window that loads one picture through the game's own load path and quits after its
// first frame, then prints "peak_kib N": the game process's own peak memory, compared with the
// bare window's. (The decoder helper is not counted: /usr/bin/time would count it whenever the
// game happened to collect it before quitting.) Without an argument it opens with no picture, as
// the game starts.

#include "benchgame.h"
#include "benchsupport.h"

#include <QApplication>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tilmora::frmmain window(tilmora::bench::benchServices());
    if (argc > 1 && !tilmora::bench::loadAndWait(window, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "loadwindow: cannot load %s\n", argv[1]);
        return 1;
    }
    new tilmora::AfterFirstPaint(&window, &QCoreApplication::quit);
    window.show();
    const int status = QApplication::exec();
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    std::printf("peak_kib %ld\n", self.ru_maxrss);
    return status;
}
