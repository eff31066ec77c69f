#include "puzzle/gameclock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;
using std::chrono::days;
using std::chrono::sys_days;

// A steady instant well after the steady clock's epoch, as on a machine that has been up a while.
const SteadyTime kSteadyStart = SteadyTime{} + 1000h;

// A wall-clock time on a fixed day.
WallTime wallAt(std::chrono::nanoseconds sinceMidnight)
{
    constexpr auto day = sys_days{std::chrono::year{2024} / std::chrono::March / 10};
    return WallTime{day.time_since_epoch() + sinceMidnight};
}

StartTime startedAt(std::chrono::nanoseconds wallSinceMidnight)
{
    return StartTime(ClockReading{kSteadyStart, wallAt(wallSinceMidnight)});
}

// The count turns when the wall clock reaches a whole second, not a whole second after the start.
TEST(StartTime, TurnsAtTheWallClocksSecondBoundaries)
{
    const StartTime start = startedAt(12h + 700ms);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart), 0);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 299'999'999ns), 0);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 300ms), 1);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 1299ms), 1);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 1300ms), 2);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 59s + 300ms), 60);
}

// A start on a whole second turns after a full second; a start just before a boundary almost at once.
TEST(StartTime, CountsFromWhereverInTheSecondTheGameStarted)
{
    const StartTime onTheSecond = startedAt(12h);
    EXPECT_EQ(onTheSecond.elapsedSecondsAt(kSteadyStart + 999ms), 0);
    EXPECT_EQ(onTheSecond.elapsedSecondsAt(kSteadyStart + 1s), 1);

    const StartTime justBefore = startedAt(12h + 999'999'999ns);
    EXPECT_EQ(justBefore.elapsedSecondsAt(kSteadyStart), 0);
    EXPECT_EQ(justBefore.elapsedSecondsAt(kSteadyStart + 1ns), 1);
}

// Only the steady clock measures time: midnight and later wall-clock changes cannot reach the count.
TEST(StartTime, KeepsCountingOverMidnightAndWhateverTheWallClockDoesLater)
{
    const StartTime beforeMidnight = startedAt(23h + 59min + 59s + 700ms);
    EXPECT_EQ(beforeMidnight.elapsedSecondsAt(kSteadyStart + 300ms), 1);
    EXPECT_EQ(beforeMidnight.elapsedSecondsAt(kSteadyStart + 10s), 10);
    EXPECT_EQ(beforeMidnight.elapsedSecondsAt(kSteadyStart + 1h), 3600);

    // Only the fraction of the wall-clock second matters: starts a day, an hour or a second
    // apart on the wall clock, at the same steady instant, count alike.
    for (const auto wall : {12h + 700ms, 13h + 700ms, 12h + 1s + 700ms, 36h + 700ms}) {
        const StartTime start = startedAt(wall);
        EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 300ms), 1);
        EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 5s + 299ms), 5);
    }
}

// A wall clock before 1970 still gives a fraction in [0, 1 s), so the count turns at the right moment.
TEST(StartTime, HandlesAWallClockBeforeTheEpoch)
{
    const StartTime start(ClockReading{kSteadyStart, WallTime{} - 300ms});
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 299ms), 0);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 300ms), 1);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 1299ms), 1);

    const StartTime longAgo(ClockReading{kSteadyStart, WallTime{} - days{3650} - 2s - 250ms});
    EXPECT_EQ(longAgo.elapsedSecondsAt(kSteadyStart + 249ms), 0);
    EXPECT_EQ(longAgo.elapsedSecondsAt(kSteadyStart + 250ms), 1);
}

// A steady reading from before the start (asked early, or out of order) shows 0, never a negative count.
TEST(StartTime, NeverCountsBelowZero)
{
    const StartTime start = startedAt(12h + 700ms);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart - 1ns), 0);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart - 200ms), 0);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart - 5s), 0);
    EXPECT_EQ(start.elapsedSecondsAt(SteadyTime{}), 0);
}

// Long games do not wrap: past 32767 seconds (a 16-bit count) and past 2^31 seconds.
TEST(StartTime, CountsPastSixteenAndThirtyTwoBitLimits)
{
    const StartTime start = startedAt(12h);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 32767s), 32767);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 32768s), 32768);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 40000s), 40000);
    EXPECT_EQ(start.elapsedSecondsAt(kSteadyStart + 3'000'000'000s), 3'000'000'000);
}

// Readings at the very ends of the steady clock's range give a count, not an overflow.
TEST(StartTime, SurvivesReadingsAtTheEndsOfTheClocksRange)
{
    const StartTime start(ClockReading{SteadyTime::min(), wallAt(12h + 999ms)});
    const auto farFuture = start.elapsedSecondsAt(SteadyTime::max());
    EXPECT_GT(farFuture, std::int64_t{18'000'000'000});
    EXPECT_EQ(start.elapsedSecondsAt(SteadyTime::min()), 0);
}

} // namespace
} // namespace tilmora::puzzle
