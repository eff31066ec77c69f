#include "gameclock.h"

namespace tilmora::puzzle {

namespace {

// The part of a wall-clock time past its last whole second. The floor keeps it in [0, 1 s) for
// times before the epoch too.
std::chrono::nanoseconds fractionOfSecond(WallTime wall)
{
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(wall.time_since_epoch());
    return sinceEpoch - std::chrono::floor<std::chrono::seconds>(sinceEpoch);
}

} // namespace

StartTime::StartTime(const ClockReading& reading)
    : steady_(reading.steady)
    , intoWallSecond_(fractionOfSecond(reading.wall))
{}

std::int64_t StartTime::elapsedSecondsAt(SteadyTime now) const
{
    if (now < steady_)
        return 0;
    const auto sinceWholeSecond = (now - steady_) + intoWallSecond_;
    return std::chrono::floor<std::chrono::seconds>(sinceWholeSecond).count();
}

} // namespace tilmora::puzzle
