#include <gtest/gtest.h>

#include <cstdint>

#include "frame_timer.h"

using quillon::FrameTimer;
using quillon::intervalElapsed;

namespace {

// The injected tick count; each read may advance it by `step` to let a wait make progress.
std::uint32_t g_now = 0;
std::uint32_t g_step = 0;
int g_reads = 0;

std::uint32_t fakeClock() {
    ++g_reads;
    std::uint32_t now = g_now;
    g_now += g_step;
    return now;
}

struct FrameTimerTest : ::testing::Test {
    void SetUp() override {
        g_now = 0;
        g_step = 0;
        g_reads = 0;
    }
    FrameTimer timer{fakeClock};
};

} // namespace

TEST(IntervalElapsed, ComparesTheDistanceFromTheBase) {
    EXPECT_FALSE(intervalElapsed(1015, 1000, 16));
    EXPECT_TRUE(intervalElapsed(1016, 1000, 16));
    EXPECT_FALSE(intervalElapsed(1000, 1000, 16));
    EXPECT_FALSE(intervalElapsed(1000, 1000, 0));
    EXPECT_FALSE(intervalElapsed(1000, 1000, -5));
    EXPECT_TRUE(intervalElapsed(1001, 1000, 0));
    EXPECT_TRUE(intervalElapsed(1001, 1000, -5));
}

TEST(IntervalElapsed, AWrappedTickCountHasPassed) {
    EXPECT_TRUE(intervalElapsed(3, 0xFFFFFFF0u, 16));
    EXPECT_TRUE(intervalElapsed(0, 0xFFFFFFFFu, 999));
}

TEST(IntervalElapsed, APollMoreThanHalfTheRangeLateStillCounts) {
    // Taken signed, this distance would be negative and the timer would stall.
    EXPECT_TRUE(intervalElapsed(0x80000010u, 0x10u, 16));
    EXPECT_TRUE(intervalElapsed(0x90000000u, 0, 0));
    EXPECT_TRUE(intervalElapsed(0xFFFFFFFFu, 0, 999));
}

TEST_F(FrameTimerTest, StartsElapsedBeforeAnyInterval) {
    g_now = 5000;
    EXPECT_TRUE(timer.elapsed());
    EXPECT_EQ(timer.base(), 5000u);
    EXPECT_FALSE(timer.elapsed()); // same tick
}

TEST_F(FrameTimerTest, ACheckFiveMillisecondsAfterASuccessIsNotElapsed) {
    g_now = 100;
    timer.set(16);
    g_now = 120;
    ASSERT_TRUE(timer.elapsed());
    g_now = 125;
    EXPECT_FALSE(timer.elapsed());
    EXPECT_EQ(timer.base(), 120u);
    g_now = 135;
    EXPECT_FALSE(timer.elapsed());
    // The first check that sees 16 or more restarts the period from its own tick.
    g_now = 139;
    EXPECT_TRUE(timer.elapsed());
    EXPECT_EQ(timer.base(), 139u);
}

TEST_F(FrameTimerTest, ZeroOrNegativeIntervalsPassOnEveryNewTick) {
    for (std::int32_t interval : {0, -1, -1000}) {
        g_now = 50;
        timer.set(interval);
        EXPECT_FALSE(timer.elapsed()) << interval;
        g_now = 51;
        EXPECT_TRUE(timer.elapsed()) << interval;
        EXPECT_FALSE(timer.elapsed()) << interval;
    }
}

TEST_F(FrameTimerTest, WrapAroundCountsAsElapsedAndTheBaseFollows) {
    g_now = 0xFFFFFFF8u;
    timer.set(100);
    g_now = 2;
    EXPECT_TRUE(timer.elapsed());
    EXPECT_EQ(timer.base(), 2u);
}

TEST_F(FrameTimerTest, WaitSpinsUntilTheIntervalAndStartsTheNextPeriodThere) {
    g_now = 1000;
    timer.set(999);
    g_step = 7;
    g_reads = 0;
    EXPECT_TRUE(timer.wait());
    // 1000 + 7k >= 1999 first at k = 143.
    EXPECT_EQ(timer.base(), 2001u);
    EXPECT_EQ(g_reads, 144);
}

TEST_F(FrameTimerTest, WaitOfASecondOrMoreReturnsAtOnce) {
    for (std::int32_t interval : {1000, 5000, 0x7FFFFFFF}) {
        g_now = 40;
        timer.set(interval);
        g_step = 1;
        g_reads = 0;
        g_now = 70;
        EXPECT_FALSE(timer.wait()) << interval;
        EXPECT_EQ(g_reads, 0) << interval;
        EXPECT_EQ(timer.base(), 40u) << interval;
        g_step = 0;
    }
}

TEST_F(FrameTimerTest, WaitAcrossTheWrapEnds) {
    g_now = 0xFFFFFFFEu;
    timer.set(500);
    g_step = 1;
    EXPECT_TRUE(timer.wait());
    EXPECT_EQ(timer.base(), 0u);
}
