#include <gtest/gtest.h>

#include <vector>

#include "image_canvas.h"

using namespace quillon;

namespace {

// The canvas composed from a frame whose pixel (x, y) is 0xFF000000 + 100 * y + x + 1.
std::vector<std::uint32_t> compose(const FramePlacement& p) {
    std::vector<std::uint32_t> canvas(std::size_t(p.width * p.height), 0xDEADBEEFu);
    EXPECT_TRUE(composeCanvas(p, canvas.data(), [&](std::uint32_t* to, long stride) {
        for (long y = 0; y < p.copyHeight; ++y)
            for (long x = 0; x < p.copyWidth; ++x)
                to[y * stride + x] = 0xFF000000u + std::uint32_t(100 * y + x + 1);
        return true;
    }));
    return canvas;
}

} // namespace

TEST(ImageCanvas, FrameAtItsOffsetClippedOnATransparentScreen) {
    // A 3x2 frame at (2, 1) on a 4x4 screen: its last column runs past and is cut.
    FramePlacement p = placeFrame(4, 4, 2, 1, 3, 2);
    EXPECT_FALSE(framesWholeCanvas(p));
    const std::uint32_t o = 0xFF000000u;
    EXPECT_EQ(compose(p), (std::vector<std::uint32_t>{0, 0, 0, 0, 0, 0, o + 1, o + 2, //
                                                      0, 0, o + 101, o + 102, 0, 0, 0, 0}));
    // Off the screen: all transparent. No screen (other formats, a screen of 0): the frame
    // alone, its offset dropped.
    EXPECT_EQ(compose(placeFrame(4, 2, 0, 2, 3, 2)), std::vector<std::uint32_t>(8, 0));
    p = placeFrame(0, 5, 7, 7, 3, 2);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_TRUE(framesWholeCanvas(p));
    std::vector<std::uint32_t> canvas(6);
    EXPECT_FALSE(composeCanvas(p, canvas.data(), [](std::uint32_t*, long) { return false; }));
}
