#pragma once

// The seconds shown in the status row.
//
// The count turns at the wall clock's second boundaries, as a player comparing it with a clock
// expects: a game started at 12:00:00.700 shows "1 Seconds" at 12:00:01.000. But the time that
// passes is measured on the monotonic clock, so midnight, a daylight-saving change or a clock set
// back neither makes the count negative nor makes it jump.

#include <chrono>
#include <cstdint>

namespace tilmora::puzzle {

using SteadyTime = std::chrono::steady_clock::time_point;
using WallTime = std::chrono::system_clock::time_point;

// One reading of both clocks, taken together. The game never reads a clock itself: the window
// hands it readings, so tests choose the time.
struct ClockReading {
    SteadyTime steady;
    WallTime wall;

    [[nodiscard]] static ClockReading now()
    {
        return {std::chrono::steady_clock::now(), std::chrono::system_clock::now()};
    }
};

// When a game started: the monotonic instant, and how far into its wall-clock second it was.
class StartTime
{
public:
    StartTime() = default;
    explicit StartTime(const ClockReading& reading);

    // Whole seconds from the start to `now`, counted at wall-clock second boundaries.
    // Never negative, whatever `now` is.
    [[nodiscard]] std::int64_t elapsedSecondsAt(SteadyTime now) const;

    // The first instant after `now` at which the count turns, so the window can sleep until
    // then instead of asking every few milliseconds.
    [[nodiscard]] SteadyTime nextChangeAfter(SteadyTime now) const;

private:
    SteadyTime steady_{};
    std::chrono::nanoseconds intoWallSecond_{0};
};

} // namespace tilmora::puzzle
