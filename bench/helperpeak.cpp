// The decoder helper's peak memory for one picture: the picture is read through the game's own
// PictureReader, the helper ended and collected, and the largest of the processes this one
// collected is the helper that decoded (the waiting helper, the other one, holds far less).
//
//   helperpeak PICTURE
//
// Prints "helper_peak_kib N". No application object: the reader then waits for its helper to end
// where it would otherwise leave that to the event loop.

#include "picture/picturereader.h"

#include <cstdio>
#include <sys/resource.h>
#include <variant>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: helperpeak PICTURE\n");
        return 2;
    }
    bool loaded = false;
    {
        tilmora::PictureReader reader;
        reader.setHelperCommand(QStringList{QStringLiteral(TILMORA_DECODER)});
        loaded = std::holds_alternative<tilmora::LoadedPicture>(
            reader.readNow(QString::fromLocal8Bit(argv[1]), 1.0));
    }
    if (!loaded) {
        std::fprintf(stderr, "helperpeak: the picture was refused\n");
        return 1;
    }
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    std::printf("helper_peak_kib %ld\n", children.ru_maxrss);
    return 0;
}
