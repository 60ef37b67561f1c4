// Plain copies, effects and fills under Wine, read back pixel for pixel.
#include <gtest/gtest.h>

#include <vector>

#include "blit_fixture.h"

using library_test::BlitTest;
using library_test::pixelsAre;

namespace {
constexpr long kSrcCopy = 0x00CC0020;
constexpr long kMirrorLeftRight = 0x2;
constexpr long kMirrorUpDown = 0x4;
} // namespace

class CopyTest : public BlitTest {
  protected:
    void keySprite() {
        library_test::paint(
            sprite, [](int x, int y) { return (x + y) % 3 == 0 ? kKey : spritePixel(x, y); });
        ASSERT_EQ(d.ddSetColorKey(sprite, kKey), 1);
    }
    // The keyed sprite copied to (x, y), with or without its key pixels.
    static library_test::Picture keyedAt(int x0, int y0, bool skipKey) {
        return [=](int x, int y) {
            if (x < x0 || x >= x0 + kSprite || y < y0 || y >= y0 + kSprite) return kBackground;
            int sx = x - x0, sy = y - y0;
            if ((sx + sy) % 3 == 0) return skipKey ? kBackground : kKey;
            return spritePixel(sx, sy);
        };
    }
};

TEST_F(CopyTest, KeyedCopiesSkipExactlyTheKeyPixels) {
    keySprite();
    EXPECT_EQ(d.ddBltFast(0, 20, 30, 32, 32, sprite, 0, 0, 1), 1);
    EXPECT_TRUE(pixelsAre(back, keyedAt(20, 30, true)));

    resetBack();
    EXPECT_EQ(d.ddBitBlt(0, 20, 30, 32, 32, sprite, 0, 0, 1), 1);
    EXPECT_TRUE(pixelsAre(back, keyedAt(20, 30, true)));

    // Without the key flag the key pixels are copied like any other.
    resetBack();
    EXPECT_EQ(d.ddBltFast(0, 20, 30, 32, 32, sprite, 0, 0, 0), 1);
    EXPECT_TRUE(pixelsAre(back, keyedAt(20, 30, false)));
    resetBack();
    EXPECT_EQ(d.ddBitBlt(0, 20, 30, 32, 32, sprite, 0, 0, 0), 1);
    EXPECT_TRUE(pixelsAre(back, keyedAt(20, 30, false)));
}

TEST_F(CopyTest, EffectsMirrorTheCopy) {
    EXPECT_EQ(d.ddBltFX(0, 10, 10, 32, 32, sprite, 0, 0, 32, 32, 0, kMirrorLeftRight), 1);
    EXPECT_TRUE(pixelsAre(back, [](int x, int y) {
        if (x < 10 || x >= 42 || y < 10 || y >= 42) return kBackground;
        return spritePixel(31 - (x - 10), y - 10);
    }));
    resetBack();
    // fx wins over a raster operation given with it.
    EXPECT_EQ(d.ddBltFX(0, 10, 10, 32, 32, sprite, 0, 0, 32, 32, kSrcCopy, kMirrorUpDown), 1);
    EXPECT_TRUE(pixelsAre(back, [](int x, int y) {
        if (x < 10 || x >= 42 || y < 10 || y >= 42) return kBackground;
        return spritePixel(x - 10, 31 - (y - 10));
    }));
}

TEST_F(CopyTest, RasterCopyStretchesLikeStretchBlt) {
    // Exact double size: every source pixel becomes a 2x2 block.
    EXPECT_EQ(d.ddBltFX(0, 0, 0, 64, 64, sprite, 0, 0, 32, 32, kSrcCopy, 0), 1);
    EXPECT_TRUE(pixelsAre(back, [](int x, int y) {
        return x < 64 && y < 64 ? spritePixel(x / 2, y / 2) : kBackground;
    }));

    // An uneven stretch: whatever the driver's rounding, both exports agree pixel for pixel.
    QHANDLE other = d.ddCreateSurface(kWidth, kHeight);
    ASSERT_NE(other, 0);
    library_test::paint(other, [](int, int) { return kBackground; });
    resetBack();
    EXPECT_EQ(d.ddBltFX(0, 7, 9, 50, 45, sprite, 3, 2, 27, 29, kSrcCopy, 0), 1);
    EXPECT_EQ(d.ddStretchBlt(other, 7, 9, 50, 45, sprite, 3, 2, 27, 29, 0), 1);
    std::vector<std::uint32_t> want(kWidth * kHeight);
    library_test::withLock(other, [&](const DDSURFACEDESC& desc) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                want[y * kWidth + x] = library_test::readAt(desc, x, y);
    });
    EXPECT_TRUE(pixelsAre(back, [&](int x, int y) { return want[y * kWidth + x]; }));
    EXPECT_NE(want[20 * kWidth + 20], kBackground); // something was drawn
    d.ddReleaseSurface(other);
}

TEST_F(CopyTest, BltWithoutRectanglesStretchesTheWholeSource) {
    // Double size, where nearest-pixel stretching leaves no room for rounding.
    QHANDLE target = d.ddCreateSurface(64, 64);
    ASSERT_NE(target, 0);
    EXPECT_EQ(d.ddBlt(target, nullptr, sprite, nullptr, 0), 1);
    EXPECT_TRUE(pixelsAre(target, [](int x, int y) { return spritePixel(x / 2, y / 2); }));

    RECT destRect = {200, 100, 216, 108};
    RECT srcRect = {8, 4, 24, 12};
    EXPECT_EQ(d.ddBlt(0, &destRect, sprite, &srcRect, 0), 1);
    EXPECT_TRUE(pixelsAre(back, copied(200, 100, 16, 8, 8, 4)));
    d.ddReleaseSurface(target);
}

TEST_F(CopyTest, FillsAndClear) {
    constexpr std::uint32_t kFill = 0x00C0FFEE;
    EXPECT_EQ(d.ddFillBlt(0, 30, 40, 25, 15, kFill), 1);
    EXPECT_TRUE(pixelsAre(back, [](int x, int y) {
        return x >= 30 && x < 55 && y >= 40 && y < 55 ? kFill : kBackground;
    }));
    EXPECT_EQ(d.ddClear(0, 0x00445566), 1);
    EXPECT_TRUE(pixelsAre(back, [](int, int) { return 0x00445566u; }));
    EXPECT_EQ(d.ddClear(sprite, 0x00010203), 1);
    EXPECT_TRUE(pixelsAre(sprite, [](int, int) { return 0x00010203u; }));
}

TEST_F(CopyTest, DriverRefusalsReturnZeroAndLeaveTheDriversErrorNumber) {
    EXPECT_EQ(d.ddBitBlt(0, 300, 0, 32, 32, sprite, 0, 0, 0), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);
    EXPECT_EQ(d.ddBltFast(0, 300, 0, 32, 32, sprite, 0, 0, 0), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);
    EXPECT_EQ(d.ddFillBlt(0, -1, 0, 10, 10, 0), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);
    // A negative width makes an inverted rectangle, handed over as it is.
    EXPECT_EQ(d.ddBitBlt(0, 40, 0, -8, 8, sprite, 10, 0, 0), 0);
    EXPECT_NE(d.ddError(), 0);
    EXPECT_EQ(d.ddBitBlt(0, 0, 0, 32, 32, sprite, 10, 0, 0), 0); // source too small
    EXPECT_EQ(d.ddError(), kInvalidRect);
    EXPECT_TRUE(pixelsAre(back, untouched()));
    // A success clears the error number again.
    EXPECT_EQ(d.ddBitBlt(0, 0, 0, 8, 8, sprite, 0, 0, 0), 1);
    EXPECT_EQ(d.ddError(), 0);
}

TEST_F(CopyTest, MissingSurfacesFailWithoutCallingTheDriver) {
    ASSERT_EQ(d.ddBltFast(0, 300, 0, 32, 32, sprite, 0, 0, 0), 0);
    ASSERT_EQ(d.ddError(), kInvalidRect);
    // A missing source: refused before the driver, the error number stays.
    EXPECT_EQ(d.ddBlt(0, nullptr, 0, nullptr, 0), 0);
    EXPECT_EQ(d.ddBitBlt(0, 0, 0, 8, 8, 0, 0, 0, 0), 0);
    EXPECT_EQ(d.ddStretchBlt(0, 0, 0, 8, 8, 0, 0, 0, 8, 8, 0), 0);
    EXPECT_EQ(d.ddBltFX(0, 0, 0, 8, 8, 0, 0, 0, 8, 8, kSrcCopy, 0), 0);
    EXPECT_EQ(d.ddBltFast(0, 0, 0, 8, 8, 0, 0, 0, 0), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);

    // No display context: 0 stands for a back surface that does not exist.
    d.ddQuit();
    EXPECT_EQ(d.ddClear(0, 0), 0);
    EXPECT_EQ(d.ddFillBlt(0, 0, 0, 8, 8, 0), 0);
    EXPECT_EQ(d.ddBitBlt(0, 0, 0, 8, 8, sprite, 0, 0, 0), 0);
    EXPECT_EQ(d.ddBltFast(0, 0, 0, 8, 8, sprite, 0, 0, 0), 0);
    EXPECT_EQ(d.ddSafeBltFast(0, 0, -40, 8, 8, 320, 240, sprite, 0, 0, 32, 32, 0), 0);
    // ddSafeBitBlt clips first: nothing left is success whatever the surfaces.
    EXPECT_EQ(d.ddSafeBitBlt(0, 0, -40, 8, 8, 320, 240, sprite, 0, 0, 32, 32, 0), 1);
    EXPECT_EQ(d.ddSafeFillBlt(0, 0, -40, 8, 8, 320, 240, 0), 1);
    EXPECT_EQ(d.ddSafeFillBlt(0, 0, 0, 8, 8, 320, 240, 0), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);
}

TEST_F(CopyTest, SpritesShowInTheWindow) {
    keySprite();
    ASSERT_EQ(d.ddClear(0, 0x00203040), 1);
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(d.ddSafeBltFast(0, i * 30 - 16, i * 20 - 8, 32, 32, kWidth, kHeight, sprite, 0, 0,
                                  32, 32, 1),
                  1);
    ASSERT_EQ(d.ddFillBlt(0, 0, 200, kWidth, 40, 0x0000A000), 1);
    ASSERT_EQ(d.ddUpdateWindow(0), 1);
    library_test::pump(100);
    library_test::saveScreenshot(L"blit_sprites");
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(library_test::screenPixel(origin.x + 5, origin.y + 220), RGB(0, 0xA0, 0));
    // Sprite 3 sits at (74, 52); its pixel (1, 0) is not a key pixel.
    EXPECT_EQ(library_test::screenPixel(origin.x + 75, origin.y + 52), RGB(0x80, 1, 0));
}
