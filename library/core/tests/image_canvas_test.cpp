#include <gtest/gtest.h>

#include <vector>

#include "image_canvas.h"
#include "image_key.h"

using namespace quillon;

namespace {

// Composes a frame whose pixel (x, y) is 0xFF000000 + 100 * y + x + 1 and returns the canvas.
std::vector<std::uint32_t> compose(const FramePlacement& p, long frameWidth) {
    std::vector<std::uint32_t> canvas(std::size_t(p.width * p.height), 0xDEADBEEFu);
    EXPECT_TRUE(composeCanvas(p, canvas.data(), [&](std::uint32_t* to, long stride) {
        for (long y = 0; y < p.copyHeight; ++y)
            for (long x = 0; x < p.copyWidth && x < frameWidth; ++x)
                to[y * stride + x] = 0xFF000000u + std::uint32_t(100 * y + x + 1);
        return true;
    }));
    return canvas;
}

} // namespace

TEST(ImageCanvas, FrameAtItsOffsetClippedOnATransparentScreen) {
    // A 3x2 frame at (2,1) on a 4x4 screen: its last column runs past and is cut.
    FramePlacement p = placeFrame(4, 4, 2, 1, 3, 2);
    EXPECT_EQ(p.width, 4);
    EXPECT_EQ(p.height, 4);
    EXPECT_EQ(p.copyWidth, 2);
    EXPECT_EQ(p.copyHeight, 2);
    EXPECT_FALSE(framesWholeCanvas(p));
    const std::uint32_t o = 0xFF000000u;
    EXPECT_EQ(compose(p, 3), (std::vector<std::uint32_t>{0, 0, 0, 0,             //
                                                         0, 0, o + 1, o + 2,     //
                                                         0, 0, o + 101, o + 102, //
                                                         0, 0, 0, 0}));

    // Off the screen entirely: nothing copied, all transparent.
    p = placeFrame(4, 2, 0, 2, 3, 2);
    EXPECT_EQ(p.copyWidth * p.copyHeight, 0);
    EXPECT_EQ(compose(p, 3), std::vector<std::uint32_t>(8, 0));

    // No screen (other formats, or a GIF screen of 0): the frame alone, offset dropped.
    p = placeFrame(0, 5, 7, 7, 3, 2);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_TRUE(framesWholeCanvas(p));

    // A failed copy fails the composition.
    std::vector<std::uint32_t> canvas(6);
    EXPECT_FALSE(composeCanvas(p, canvas.data(), [](std::uint32_t*, long) { return false; }));
}

TEST(ImageCanvas, DeclaredTransparencyKeysAnImageWithNoTransparentPixel) {
    std::vector<std::uint32_t> opaque = {0xFFFF00FFu, 0xFF000000u};
    KeyedImage k = prepareKeyedPixels(opaque.data(), opaque.size(), true);
    EXPECT_TRUE(k.transparent);
    EXPECT_EQ(k.keyPixel, 0x00010000u) << "magenta is opaque: the lowest RGB() no pixel has";
    EXPECT_EQ(opaque, (std::vector<std::uint32_t>{kMagentaPixel, 0}));
}
