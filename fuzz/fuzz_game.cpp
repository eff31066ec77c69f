// libFuzzer entry for the game core: every input is a game played command by command. The rules
// themselves are checked by the random-games test; here the sanitizers and the game's own
// assertions watch for what a command sequence no test thought of does to memory and arithmetic.

#include "puzzle/puzzlegame.h"

#include <chrono>
#include <cstdlib>
#include <utility>

using namespace tilmora::puzzle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    const auto take = [&](int count) { // the next bytes, big-endian; zeros once the input runs dry
        std::uint64_t value = 0;
        for (; count > 0; --count)
            value = value << 8 | (at < size ? data[at++] : 0U);
        return static_cast<std::int64_t>(value);
    };
    PuzzleGame game;
    RandomEngine random(static_cast<std::uint32_t>(take(4)));
    while (at < size) {
        const auto [command, arg] = std::pair{take(1) % 6, static_cast<int>(take(1))}; // braces: in order
        if (command == 0) // pictures of 1 to 16 pixels a side, some too small for the board
            game.pictureLoaded(1 + arg % 16, 1 + arg / 16);
        if (command == 1)
            game.chooseSize(2 + arg % 9);
        if (command == 2)
            game.chooseLevel(arg % 2 == 0 ? Level::Easy : Level::Hard);
        if (command == 3) // a start anywhere in a wall-clock second
            game.start(random, {SteadyTime{}, WallTime{std::chrono::milliseconds(arg * 4)}});
        if (command == 4) // any steady time, before the start and at the ends of the clock too
            game.tick(SteadyTime{std::chrono::nanoseconds(take(8))});
        if (command == 5) // piece numbers -8 to 247
            game.click(arg - 8);
        if (game.hasBoard() && game.CheckSolved() != game.isOver())
            std::abort(); // a board solved in play, or an end with a piece away
    }
    return 0;
}
