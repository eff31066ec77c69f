// libFuzzer entry for the game core: every input is a game played command by command.

#include "gamecommands.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto failure = tilmora::fuzzing::playGameCommands({data, size})) {
        std::fprintf(stderr, "game rule broken: %s\n", failure->c_str());
        std::abort();
    }
    return 0;
}
