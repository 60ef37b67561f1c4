#include "frame_timer.h"

namespace quillon {

bool intervalElapsed(std::uint32_t now, std::uint32_t base, std::int32_t interval) {
    if (now == base) return false;
    // Below the base the tick count has wrapped around: the period is over.
    if (now < base) return true;
    // Measured unsigned, so that a poll more than 2^31 ms after the base still counts as
    // elapsed instead of stalling the timer (and a wait) for another 24 days.
    std::uint32_t passed = now - base;
    return interval <= 0 || passed >= static_cast<std::uint32_t>(interval);
}

void FrameTimer::set(std::int32_t interval) {
    interval_ = interval;
    base_ = clock_();
}

bool FrameTimer::elapsed() {
    std::uint32_t now = clock_();
    if (!intervalElapsed(now, base_, interval_)) return false;
    base_ = now;
    return true;
}

bool FrameTimer::wait() {
    if (interval_ >= kLongestWait) return false;
    std::uint32_t now = clock_();
    while (!intervalElapsed(now, base_, interval_))
        now = clock_();
    base_ = now;
    return true;
}

} // namespace quillon
