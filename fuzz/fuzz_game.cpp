// libFuzzer entry for the game core: every input is a game played command by command.

#include "gamecommands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tilmora::fuzzing::playGameCommands({data, size});
    return 0;
}
