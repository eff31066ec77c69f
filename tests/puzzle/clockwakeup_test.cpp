#include "puzzle/gameclock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;

const SteadyTime kStart = SteadyTime{} + 1000h;
// Noon on a day in 2024.
const WallTime kNoon = WallTime{} + 24h * 19'800 + 12h;

struct Wakeup {
    std::chrono::nanoseconds wall; // the wall clock at the start, from noon
    std::chrono::nanoseconds now;  // steady time since the start
    std::chrono::nanoseconds next; // when the count next turns, from the start
};

class NextChange : public ::testing::TestWithParam<Wakeup>
{
};

// The clock wakes exactly when the count turns: the count is one more there and unchanged just
// before, on either side of a second boundary.
TEST_P(NextChange, IsTheMomentTheCountTurns)
{
    const Wakeup w = GetParam();
    const StartTime start(ClockReading{kStart, kNoon + w.wall});
    const SteadyTime next = start.nextChangeAfter(kStart + w.now);
    EXPECT_EQ(next, kStart + w.next);
    EXPECT_EQ(start.elapsedSecondsAt(next), start.elapsedSecondsAt(kStart + w.now) + 1);
    EXPECT_EQ(start.elapsedSecondsAt(next - 1ns), start.elapsedSecondsAt(kStart + w.now));
}

INSTANTIATE_TEST_SUITE_P(AroundSecondBoundaries, NextChange,
                         ::testing::Values(Wakeup{700ms, 0ns, 300ms}, Wakeup{700ms, 299'999'999ns, 300ms},
                                           Wakeup{700ms, 300ms, 1300ms}, Wakeup{0ns, 0ns, 1s},
                                           Wakeup{0ns, 1s, 2s}, Wakeup{999'999'999ns, 0ns, 1ns},
                                           Wakeup{250ms, 125s + 749ms, 125s + 750ms},
                                           Wakeup{250ms, -5s, 750ms}, Wakeup{-1h + 700ms, 0ns, 300ms},
                                           Wakeup{24h + 700ms, 300ms, 1300ms}));

// A clock woken at each change sees the count rise by exactly one, on the start's grid of
// seconds, while the wall clock is set back an hour in the middle of the game.
TEST(NextChange, WakesOncePerSecondAcrossAWallClockJump)
{
    const StartTime start(ClockReading{kStart, kNoon + 400ms});
    ClockReading reading{kStart, kNoon + 400ms};
    for (int second = 1; second <= 4; ++second) {
        const SteadyTime next = start.nextChangeAfter(reading.steady);
        reading = {next, reading.wall + (next - reading.steady) - (second == 2 ? 1h : 0h)};
        EXPECT_EQ(next, kStart + std::chrono::seconds(second) - 400ms);
        EXPECT_EQ(start.elapsedSecondsAt(reading.steady), second);
    }
}

} // namespace
} // namespace tilmora::puzzle
