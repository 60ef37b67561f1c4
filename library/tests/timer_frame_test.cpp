// The frame timer under Wine on the real tick count. Timing is measured loosely: a busy
// machine may stretch any wait, so only lower bounds and generous upper bounds are asserted.
// Wrap-around of the tick count cannot be provoked here; the portable core's tests cover it.
#include <gtest/gtest.h>

#include "quillon_dll.h"

namespace {

const qtest::QuillonDll& d = qtest::dll();

void spinUntil(DWORD tick) {
    while (static_cast<LONG>(GetTickCount() - tick) < 0) {
    }
}

} // namespace

TEST(FrameTimer, ZeroOrNegativeIntervalsPassOncePerTick) {
    for (long interval : {0L, -1L, -500L}) {
        SCOPED_TRACE(interval);
        EXPECT_EQ(d.SetTimeKeeper(interval), 1);
        int passed = 0, refused = 0, ticks = 0;
        DWORD last = GetTickCount(), end = last + 60;
        while (static_cast<LONG>(GetTickCount() - end) < 0) {
            if (d.IsTimeElapsed())
                ++passed;
            else
                ++refused;
            DWORD now = GetTickCount();
            if (now != last) ++ticks, last = now;
        }
        // Once per new tick at most (plus the tick in which the loop started); never twice
        // within one tick.
        EXPECT_GE(passed, 10);
        EXPECT_LE(passed, ticks + 2);
        EXPECT_GT(refused, passed);
    }
}

TEST(FrameTimer, ACheckSoonAfterASuccessIsRefusedUntilTheIntervalHasPassed) {
    ASSERT_EQ(d.SetTimeKeeper(16), 1);
    for (int attempt = 0; attempt < 5; ++attempt) {
        while (!d.IsTimeElapsed()) {
        }
        DWORD success = GetTickCount();
        spinUntil(success + 5);
        long early = d.IsTimeElapsed();
        if (GetTickCount() - success >= 15) continue; // descheduled: measure again
        EXPECT_EQ(early, 0);
        // The first check 16 ms or more after the success passes (the period started at
        // that success, at most one tick before `success` was read).
        spinUntil(success + 17);
        EXPECT_EQ(d.IsTimeElapsed(), 1);
        return;
    }
    GTEST_SKIP() << "the machine was too busy to check 5 ms after a success";
}

TEST(FrameTimer, WaitTimeElapsedReallyWaits) {
    ASSERT_EQ(d.SetTimeKeeper(50), 1);
    ASSERT_EQ(d.WaitTimeElapsed(), 1);
    DWORD start = GetTickCount();
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(d.WaitTimeElapsed(), 1);
    DWORD spent = GetTickCount() - start;
    EXPECT_GE(spent, 4u * 50 - 2);
    EXPECT_LT(spent, 4u * 50 + 1000);
}

TEST(FrameTimer, AWaitOfASecondOrMoreReturnsAtOnceAndKeepsThePeriod) {
    ASSERT_EQ(d.SetTimeKeeper(1000), 1);
    DWORD set = GetTickCount();
    spinUntil(set + 500);
    DWORD before = GetTickCount();
    EXPECT_EQ(d.WaitTimeElapsed(), 0);
    EXPECT_LT(GetTickCount() - before, 50u);
    // The period still ends 1000 ms after SetTimeKeeper, not 1000 ms after the refused wait.
    while (!d.IsTimeElapsed()) {
    }
    DWORD ended = GetTickCount() - set;
    EXPECT_GE(ended, 999u);
    EXPECT_LT(ended, 1500u);
}

TEST(FrameTimer, NineHundredNinetyNineIsStillWaitedFor) {
    ASSERT_EQ(d.SetTimeKeeper(999), 1);
    DWORD start = GetTickCount();
    EXPECT_EQ(d.WaitTimeElapsed(), 1);
    EXPECT_GE(GetTickCount() - start, 998u);
    // The timer needs no display context.
    EXPECT_EQ(d.ddGetDD(), 0);
}
