#include "puzzle/gameclock.h"

#include <gtest/gtest.h>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;

// The seconds shown turn when the wall clock reaches a whole second, but time is measured on the
// steady clock alone: a reading from before the start (a clock set back) shows 0, never less, and a
// long game counts on past 16 bits, up to the ends of the clock's range.
TEST(StartTime, CountsWholeSecondsOfTheWallClockOnTheSteadyClock)
{
    constexpr auto kNoon = std::chrono::sys_days{std::chrono::year{2024} / 3 / 10}.time_since_epoch() + 12h;
    // The wall-clock time of the start since 1970, the steady time since the start, the seconds shown.
    const std::tuple<std::chrono::nanoseconds, std::chrono::nanoseconds, std::int64_t> cases[] = {
        {kNoon + 700ms, 299'999'999ns, 0},
        {kNoon + 700ms, 300ms, 1},
        {kNoon + 700ms, 1300ms, 2},
        {kNoon, 1s, 1},
        {-300ms, 300ms, 1}, // before 1970
        {kNoon + 700ms, -1ns, 0},
        {kNoon, 32768s, 32768},
    };
    const SteadyTime start = SteadyTime{} + 1000h;
    for (const auto& [wall, later, seconds] : cases) {
        const StartTime started(ClockReading{start, WallTime{wall}});
        EXPECT_EQ(started.elapsedSecondsAt(start + later), seconds) << wall.count() << " + " << later.count();
    }
    const StartTime first(ClockReading{SteadyTime::min(), WallTime{kNoon}});
    EXPECT_EQ(first.elapsedSecondsAt(SteadyTime::max()), 18'446'744'073); // 2^64 - 1 ns
}

} // namespace
} // namespace tilmora::puzzle
