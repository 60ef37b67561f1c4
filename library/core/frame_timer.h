// The frame timer behind SetTimeKeeper, IsTimeElapsed and WaitTimeElapsed: one stopwatch on
// a millisecond tick count that wraps around at 2^32. The clock is injected so that the
// wrap-around and the wait bound can be tested without waiting.
#pragma once

#include <cstdint>

namespace quillon {

using TickClock = std::uint32_t (*)();

// Has `interval` passed between `base` and `now`? A tick count below the base has wrapped
// around and counts as passed; the same tick never does.
bool intervalElapsed(std::uint32_t now, std::uint32_t base, std::int32_t interval);

class FrameTimer {
  public:
    // Intervals from this bound up are not waited for (a busy wait of a second or more
    // would freeze the caller).
    static constexpr std::int32_t kLongestWait = 1000;

    explicit constexpr FrameTimer(TickClock clock) : clock_(clock) {}

    // Stores the interval and starts a period now.
    void set(std::int32_t interval);
    // True when the interval has passed; the next period then starts at this tick.
    bool elapsed();
    // Spins until the interval has passed and starts the next period at that tick; false at
    // once, the period left alone, when the interval is kLongestWait or more.
    bool wait();

    std::uint32_t base() const { return base_; }
    std::int32_t interval() const { return interval_; }

  private:
    TickClock clock_;
    std::uint32_t base_ = 0;
    std::int32_t interval_ = 0;
};

} // namespace quillon
