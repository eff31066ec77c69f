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

// The clock wakes exactly when the count turns, either side of a second boundary: one more there,
// unchanged a nanosecond before. Only the fraction of its wall-clock second the game started in
// counts, so a clock set back an hour or on a day changes nothing, and later jumps cannot reach it.
TEST(NextChange, IsTheMomentTheCountTurns)
{
    struct Case {
        std::chrono::nanoseconds wall, now, next; // wall clock at the start; steady times from it
    };
    const SteadyTime start = SteadyTime{} + 1000h;
    const WallTime noon = WallTime{} + 24h * 19'800 + 12h;
    for (const Case c :
         {Case{700ms, 0ns, 300ms}, Case{700ms, 299'999'999ns, 300ms}, Case{700ms, 300ms, 1300ms},
          Case{0ns, 0ns, 1s}, Case{999'999'999ns, 0ns, 1ns}, Case{250ms, 125s + 749ms, 125s + 750ms},
          Case{250ms, -5s, 750ms}, Case{-1h + 700ms, 0ns, 300ms}, Case{24h + 700ms, 300ms, 1300ms}}) {
        const StartTime clock(ClockReading{start, noon + c.wall});
        const SteadyTime next = clock.nextChangeAfter(start + c.now);
        EXPECT_EQ((next - start).count(), c.next.count());
        EXPECT_EQ(clock.elapsedSecondsAt(next), clock.elapsedSecondsAt(start + c.now) + 1);
        EXPECT_EQ(clock.elapsedSecondsAt(next - 1ns), clock.elapsedSecondsAt(start + c.now));
    }
}

} // namespace
} // namespace tilmora::puzzle
