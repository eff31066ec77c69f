#include "puzzle/gameclock.h"

#include <gtest/gtest.h>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;

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
