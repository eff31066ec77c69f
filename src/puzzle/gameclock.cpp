#include "gameclock.h"

#include <algorithm>
#include <cstdint>

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
    // Counted in unsigned nanoseconds: the difference of any two readings fits, however far apart
    // they are, where a signed subtraction could overflow.
    const auto ticks = [](SteadyTime time) {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count());
    };
    const std::uint64_t sinceStart = ticks(now) - ticks(steady_);
    const auto intoSecond = static_cast<std::uint64_t>(intoWallSecond_.count());
    constexpr std::uint64_t kNanosecondsPerSecond = 1'000'000'000;
    const std::uint64_t seconds = sinceStart / kNanosecondsPerSecond +
                                  (sinceStart % kNanosecondsPerSecond + intoSecond) / kNanosecondsPerSecond;
    return static_cast<std::int64_t>(seconds);
}

SteadyTime StartTime::nextChangeAfter(SteadyTime now) const
{
    // The count turns whenever the time since the start, together with the part of its
    // wall-clock second the game started in, reaches a whole second.
    const auto sinceStart = std::max(now, steady_) - steady_;
    const auto turned = std::chrono::floor<std::chrono::seconds>(sinceStart + intoWallSecond_);
    return steady_ + (turned + std::chrono::seconds(1) - intoWallSecond_);
}

} // namespace tilmora::puzzle
