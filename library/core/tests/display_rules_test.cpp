#include <gtest/gtest.h>

#include <limits>

#include "display_rules.h"

using namespace quillon;

TEST(DisplayRules, FlagsChooseModeAndCooperativeLevel) {
    // Windowed whenever the low two bits are clear, whatever else is set.
    for (std::int32_t flags : {0, 4, 8, 0x7FFFFFF8, static_cast<std::int32_t>(0xFFFFFFF8)}) {
        EXPECT_FALSE(isFullScreen(flags)) << flags;
        EXPECT_EQ(cooperativeLevel(flags), 0x8) << flags;
    }
    EXPECT_TRUE(isFullScreen(1));
    EXPECT_EQ(cooperativeLevel(1), 0x15);
    EXPECT_EQ(cooperativeLevel(1 | 4), 0x17);
    EXPECT_EQ(cooperativeLevel(2), 0x55);
    EXPECT_EQ(cooperativeLevel(3), 0x55);
    EXPECT_EQ(cooperativeLevel(2 | 4), 0x57);
    EXPECT_EQ(cooperativeLevel(3 | 4), 0x57);
    // Bits above the third are ignored.
    EXPECT_EQ(cooperativeLevel(0x100 | 1), 0x15);
    EXPECT_EQ(cooperativeLevel(static_cast<std::int32_t>(0xFFFFFFFF)), 0x57);
}

TEST(DisplayRules, BitDepthKeepsOnlyKnownDepthsOfTheLowHalf) {
    EXPECT_EQ(bitDepthFor(16), 16);
    EXPECT_EQ(bitDepthFor(24), 24);
    EXPECT_EQ(bitDepthFor(32), 32);
    EXPECT_EQ(bitDepthFor(15), 8);
    EXPECT_EQ(bitDepthFor(8), 8);
    EXPECT_EQ(bitDepthFor(0), 8);
    EXPECT_EQ(bitDepthFor(-16), 8);
    EXPECT_EQ(bitDepthFor(0x10010), 16);
    EXPECT_EQ(bitDepthFor(static_cast<std::int32_t>(0xFFFF0020)), 32);
    EXPECT_EQ(bitDepthFor(0x10000), 8);
}

TEST(DisplayRules, WindowSizeKeepsTheFrame) {
    // A frame of 8 by 27 pixels around a 640 by 480 client area.
    Size s = windowSizeForClient(640, 480, 328, 227, 320, 200);
    EXPECT_EQ(s.width, 648);
    EXPECT_EQ(s.height, 507);
    // A window without a frame grows to exactly the client size.
    s = windowSizeForClient(100, 50, 30, 40, 30, 40);
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.height, 50);
}

TEST(DisplayRules, WindowSizeNearTheLimitDoesNotWrap) {
    // Client sizes a caller may ask for before the size check refuses them.
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    Size s = windowSizeForClient(most, most - 20, 328, 227, 320, 200);
    EXPECT_EQ(s.width, most);
    EXPECT_EQ(s.height, most);
    s = windowSizeForClient(most - 8, most - 27, 328, 227, 320, 200);
    EXPECT_EQ(s.width, most);
    EXPECT_EQ(s.height, most);
    const std::int32_t least = std::numeric_limits<std::int32_t>::min();
    s = windowSizeForClient(least, least + 5, 100, 100, 120, 130);
    EXPECT_EQ(s.width, least);
    EXPECT_EQ(s.height, least);
}

TEST(DisplayRules, ModeListNeverWritesPastItsCapacity) {
    std::int32_t modes[9];
    for (auto& m : modes)
        m = -7;
    ModeListContext list = makeModeList(modes, 2);
    EXPECT_EQ(list.capacity, 6);
    EXPECT_TRUE(appendMode(list, 320, 200, 8));
    EXPECT_FALSE(appendMode(list, 640, 480, 16)); // full: stop
    EXPECT_FALSE(appendMode(list, 800, 600, 32)); // asked again anyway: nothing written
    EXPECT_EQ(list.count, 6);
    const std::int32_t want[] = {320, 200, 8, 640, 480, 16, -7, -7, -7};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(modes[i], want[i]) << i;
}

TEST(DisplayRules, ModeListWithoutRoomStaysEmpty) {
    std::int32_t guard[3] = {-7, -7, -7};
    for (std::int32_t maxModes : {0, -1, -100}) {
        ModeListContext list = makeModeList(guard, maxModes);
        EXPECT_EQ(list.capacity, 0);
        EXPECT_FALSE(appendMode(list, 640, 480, 8));
        EXPECT_EQ(list.count, 0);
    }
    for (auto g : guard)
        EXPECT_EQ(g, -7);
}

TEST(DisplayRules, SurfaceSizesNeedAPixelAndFitTheAddressSpace) {
    EXPECT_TRUE(surfaceSizeAllowed(1, 1));
    EXPECT_TRUE(surfaceSizeAllowed(640, 480));
    EXPECT_TRUE(surfaceSizeAllowed(11585, 11585)); // just under 512 MB at 32 bpp
    EXPECT_TRUE(surfaceSizeAllowed(0x8000000, 1));
    EXPECT_FALSE(surfaceSizeAllowed(0x8000001, 1));
    EXPECT_FALSE(surfaceSizeAllowed(16384, 16384));
    EXPECT_FALSE(surfaceSizeAllowed(0x7FFFFFFF, 0x7FFFFFFF)); // no 32-bit wrap
    EXPECT_FALSE(surfaceSizeAllowed(0, 10));
    EXPECT_FALSE(surfaceSizeAllowed(10, 0));
    EXPECT_FALSE(surfaceSizeAllowed(-5, 10));
    EXPECT_FALSE(surfaceSizeAllowed(10, -5));
    EXPECT_FALSE(surfaceSizeAllowed(-65536, -65536)); // product positive, sides not
}
