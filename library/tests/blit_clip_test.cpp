// The Safe blits and fill under Wine: what the clipping leaves is what lands, pixel for pixel.
#include <gtest/gtest.h>

#include "blit_fixture.h"

using library_test::BlitTest;
using library_test::pixelsAre;

namespace {

using SafeCopy = decltype(library_test::QuillonDll::ddSafeBitBlt);

struct Named {
    const char* name;
    SafeCopy copy;
};

} // namespace

class SafeCopyTest : public BlitTest {
  protected:
    // ddSafeBitBlt and ddSafeBltFast share the clipping; every case runs through both.
    void forBoth(const std::function<void(const Named&)>& body) {
        for (const Named& n :
             {Named{"ddSafeBitBlt", d.ddSafeBitBlt}, Named{"ddSafeBltFast", d.ddSafeBltFast}}) {
            SCOPED_TRACE(n.name);
            resetBack();
            body(n);
        }
    }
};

TEST_F(SafeCopyTest, LeftCutDrawsTheRightPartOfTheSpriteAtZero) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, -10, 50, 32, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(0, 50, 22, 32, 10, 0)));
    });
}

TEST_F(SafeCopyTest, RightAndBottomLimitsStopTheCopy) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, 300, 220, 32, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(300, 220, 20, 20, 0, 0)));
        // Limits inside the surface are honoured, not the surface's edges.
        resetBack();
        EXPECT_EQ(n.copy(0, 90, 95, 32, 32, 100, 100, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(90, 95, 10, 5, 0, 0)));
    });
}

TEST_F(SafeCopyTest, NothingIsDrawnAtOrBeyondTheLimits) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, 100, 10, 32, 32, 100, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_EQ(n.copy(0, 10, kHeight, 32, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_EQ(n.copy(0, -32, 10, 32, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_EQ(n.copy(0, 10, 10, 0, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, untouched()));
    });
}

TEST_F(SafeCopyTest, NegativeSourcePositionMovesTheDestination) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, 40, 40, 32, 32, kWidth, kHeight, sprite, -5, 0, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(45, 40, 27, 32, 0, 0)));
    });
}

TEST_F(SafeCopyTest, SourceLimitsCutTheRightAndBottom) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, 10, 10, 32, 32, kWidth, kHeight, sprite, 20, 24, 32, 32, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(10, 10, 12, 8, 20, 24)));
    });
}

TEST_F(SafeCopyTest, ZeroLimitsClipOnlyAtTheLeftAndTop) {
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, -4, -6, 32, 32, 0, 0, sprite, 0, 0, 0, 0, 0), 1);
        EXPECT_TRUE(pixelsAre(back, copied(0, 0, 28, 26, 4, 6)));
        // No right bound: the driver gets the rectangle past the edge and refuses it.
        resetBack();
        EXPECT_EQ(n.copy(0, 300, 0, 32, 32, 0, 0, sprite, 0, 0, 0, 0, 0), 0);
        EXPECT_EQ(d.ddError(), kInvalidRect);
        EXPECT_TRUE(pixelsAre(back, untouched()));
    });
}

TEST_F(SafeCopyTest, ClippedKeyedCopySkipsTheKeyPixels) {
    library_test::paint(sprite,
                        [](int x, int y) { return (x + y) % 3 == 0 ? kKey : spritePixel(x, y); });
    ASSERT_EQ(d.ddSetColorKey(sprite, kKey), 1);
    forBoth([&](const Named& n) {
        EXPECT_EQ(n.copy(0, -10, 230, 32, 32, kWidth, kHeight, sprite, 0, 0, 32, 32, 1), 1);
        EXPECT_TRUE(pixelsAre(back, [](int x, int y) {
            if (x >= 22 || y < 230) return kBackground;
            int sx = x + 10, sy = y - 230;
            return (sx + sy) % 3 == 0 ? kBackground : spritePixel(sx, sy);
        }));
    });
}

// ddSafeBltFast checks its surfaces before clipping, ddSafeBitBlt after.
TEST_F(SafeCopyTest, MissingSourceFailsOnlyTheFastCopyWhenNothingIsLeft) {
    EXPECT_EQ(d.ddSafeBitBlt(0, 10, -40, 32, 32, kWidth, kHeight, 0, 0, 0, 32, 32, 0), 1);
    EXPECT_EQ(d.ddSafeBltFast(0, 10, -40, 32, 32, kWidth, kHeight, 0, 0, 0, 32, 32, 0), 0);
    // With something left to copy both refuse a missing source.
    EXPECT_EQ(d.ddSafeBitBlt(0, 10, 10, 32, 32, kWidth, kHeight, 0, 0, 0, 32, 32, 0), 0);
    EXPECT_EQ(d.ddSafeBltFast(0, 10, 10, 32, 32, kWidth, kHeight, 0, 0, 0, 32, 32, 0), 0);
    EXPECT_TRUE(pixelsAre(back, untouched()));
}

class SafeFillTest : public BlitTest {};

TEST_F(SafeFillTest, FillsOnlyWhatIsInsideTheLimits) {
    constexpr std::uint32_t kFill = 0x00ABCDEF;
    auto filled = [](int x0, int y0, int x1, int y1) {
        return [=](int x, int y) {
            return x >= x0 && x < x1 && y >= y0 && y < y1 ? kFill : kBackground;
        };
    };
    EXPECT_EQ(d.ddSafeFillBlt(0, -5, -5, 20, 10, kWidth, kHeight, kFill), 1);
    EXPECT_TRUE(pixelsAre(back, filled(0, 0, 15, 5)));

    resetBack();
    EXPECT_EQ(d.ddSafeFillBlt(0, 310, 230, 20, 20, kWidth, kHeight, kFill), 1);
    EXPECT_TRUE(pixelsAre(back, filled(310, 230, 320, 240)));

    resetBack();
    EXPECT_EQ(d.ddSafeFillBlt(0, 0, -3, 10, 3, kWidth, kHeight, kFill), 1);
    EXPECT_EQ(d.ddSafeFillBlt(0, kWidth, 0, 10, 3, kWidth, kHeight, kFill), 1);
    EXPECT_TRUE(pixelsAre(back, untouched()));

    // A zero limit does not cut: the driver refuses the rectangle past the edge.
    EXPECT_EQ(d.ddSafeFillBlt(0, 310, 0, 20, 20, 0, 0, kFill), 0);
    EXPECT_EQ(d.ddError(), kInvalidRect);
    EXPECT_TRUE(pixelsAre(back, untouched()));
}
