#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

#include "clip.h"

using quillon::BlitClip;
using quillon::clipBlit;
using quillon::clipFill;
using quillon::ClipLimits;

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

BlitClip blit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t srcX,
              std::int32_t srcY) {
    BlitClip c;
    c.x = x;
    c.y = y;
    c.width = w;
    c.height = h;
    c.srcX = srcX;
    c.srcY = srcY;
    return c;
}

ClipLimits limits(std::int32_t destX, std::int32_t destY, std::int32_t srcX, std::int32_t srcY) {
    ClipLimits l;
    l.destX = destX;
    l.destY = destY;
    l.srcX = srcX;
    l.srcY = srcY;
    return l;
}

// One axis of the copy, worked out as a set: the destination pixels of [pos, pos + size)
// that lie inside the destination bounds and whose source pixel lies inside the source
// bounds. A limit of 0 is no bound.
struct Span {
    bool empty;
    std::int64_t pos, size, src;
};
Span expectedSpan(std::int64_t pos, std::int64_t size, std::int64_t destLimit, std::int64_t src,
                  std::int64_t srcLimit) {
    const std::int64_t shift = pos - src; // destination = source + shift
    std::int64_t lo = std::max<std::int64_t>({pos, 0, shift});
    std::int64_t hi = pos + size;
    if (destLimit != 0) hi = std::min(hi, destLimit);
    if (srcLimit != 0) hi = std::min(hi, srcLimit + shift);
    if (hi <= lo) return {true, 0, 0, 0};
    return {false, lo, hi - lo, lo - shift};
}

} // namespace

TEST(ClipBlit, LeftCutTakesTheSourceFromFurtherRight) {
    BlitClip c = blit(-10, 0, 32, 32, 0, 0);
    ASSERT_TRUE(clipBlit(c, limits(640, 480, 32, 32)));
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.width, 22);
    EXPECT_EQ(c.srcX, 10);
    EXPECT_EQ(c.height, 32);
}

TEST(ClipBlit, ZeroLimitsClipOnlyAtTheLeftAndTop) {
    BlitClip c = blit(-4, -6, 5000, 7000, 3, 2);
    ASSERT_TRUE(clipBlit(c, limits(0, 0, 0, 0)));
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.width, 4996);
    EXPECT_EQ(c.height, 6994);
    EXPECT_EQ(c.srcX, 7);
    EXPECT_EQ(c.srcY, 8);
}

TEST(ClipBlit, SumsBeyondThe32BitRangeNeverWrapIntoTheSurface) {
    // x + w overflows 32 bits: with a true limit nothing is left.
    BlitClip c = blit(kMax - 5, 0, 100, 10, 0, 0);
    EXPECT_FALSE(clipBlit(c, limits(640, 480, 0, 0)));
    // Without limits the right edge stops at the end of the 32-bit range.
    c = blit(kMax - 5, 0, 100, 10, 0, 0);
    ASSERT_TRUE(clipBlit(c, limits(0, 0, 0, 0)));
    EXPECT_EQ(c.width, 5);
    EXPECT_EQ(static_cast<std::int64_t>(c.x) + c.width, kMax);
    // srcX - x overflows: the source would start beyond every surface.
    c = blit(-10, 0, 100, 10, kMax - 3, 0);
    EXPECT_FALSE(clipBlit(c, limits(0, 0, 0, 0)));
    c = blit(kMin, kMin, kMax, kMax, 0, 0);
    EXPECT_FALSE(clipBlit(c, limits(0, 0, 0, 0)));
    c = blit(0, 0, 10, 10, kMin, kMin);
    EXPECT_FALSE(clipBlit(c, limits(0, 0, 0, 0)));
}

// Every combination of small values on one axis, against the set model: the result is
// exactly the pixels that lie in both surfaces, with the same source-to-destination shift.
TEST(ClipBlitProperty, EachAxisKeepsExactlyThePixelsInsideBothSurfaces) {
    int kept = 0, cases = 0;
    for (int axis = 0; axis < 2; ++axis)
        for (std::int32_t pos = -8; pos <= 8; ++pos)
            for (std::int32_t size = -2; size <= 10; ++size)
                for (std::int32_t destLimit = 0; destLimit <= 6; ++destLimit)
                    for (std::int32_t src = -8; src <= 8; ++src)
                        for (std::int32_t srcLimit = 0; srcLimit <= 6; ++srcLimit) {
                            // The other axis: one pixel that always survives.
                            BlitClip c = axis == 0 ? blit(pos, 0, size, 1, src, 0)
                                                   : blit(0, pos, 1, size, 0, src);
                            ClipLimits l = axis == 0 ? limits(destLimit, 0, srcLimit, 0)
                                                     : limits(0, destLimit, 0, srcLimit);
                            Span want = expectedSpan(pos, size, destLimit, src, srcLimit);
                            bool left = clipBlit(c, l);
                            ++cases;
                            ASSERT_EQ(left, !want.empty)
                                << "axis " << axis << " pos " << pos << " size " << size
                                << " destLimit " << destLimit << " src " << src << " srcLimit "
                                << srcLimit;
                            if (!left) continue;
                            ++kept;
                            std::int32_t gotPos = axis == 0 ? c.x : c.y;
                            std::int32_t gotSize = axis == 0 ? c.width : c.height;
                            std::int32_t gotSrc = axis == 0 ? c.srcX : c.srcY;
                            ASSERT_EQ(gotPos, want.pos);
                            ASSERT_EQ(gotSize, want.size);
                            ASSERT_EQ(gotSrc, want.src);
                            // The other axis is untouched.
                            EXPECT_EQ(axis == 0 ? c.height : c.width, 1);
                        }
    // Both outcomes were exercised in quantity.
    EXPECT_GT(kept, cases / 10);
    EXPECT_GT(cases - kept, cases / 10);
}

// Random rectangles against true surface sizes: the result stays inside both surfaces,
// and each kept pixel comes from the source pixel it would have come from unclipped.
TEST(ClipBlitProperty, RandomCopiesStayInsideBothSurfacesAndKeepTheirShift) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<std::int32_t> coord(-300, 900), size(-20, 400), limit(1, 700);
    for (int i = 0; i < 200000; ++i) {
        const BlitClip in =
            blit(coord(rng), coord(rng), size(rng), size(rng), coord(rng), coord(rng));
        const ClipLimits l = limits(limit(rng), limit(rng), limit(rng), limit(rng));
        BlitClip c = in;
        Span wantX = expectedSpan(in.x, in.width, l.destX, in.srcX, l.srcX);
        Span wantY = expectedSpan(in.y, in.height, l.destY, in.srcY, l.srcY);
        bool left = clipBlit(c, l);
        ASSERT_EQ(left, !wantX.empty && !wantY.empty) << "case " << i;
        if (!left) continue;
        ASSERT_GE(c.x, 0);
        ASSERT_GE(c.y, 0);
        ASSERT_GE(c.srcX, 0);
        ASSERT_GE(c.srcY, 0);
        ASSERT_GT(c.width, 0);
        ASSERT_GT(c.height, 0);
        ASSERT_LE(c.x + c.width, l.destX);
        ASSERT_LE(c.y + c.height, l.destY);
        ASSERT_LE(c.srcX + c.width, l.srcX);
        ASSERT_LE(c.srcY + c.height, l.srcY);
        ASSERT_EQ(c.x - c.srcX, in.x - in.srcX);
        ASSERT_EQ(c.y - c.srcY, in.y - in.srcY);
        // Only pixels of the requested rectangle are drawn.
        ASSERT_GE(c.x, in.x);
        ASSERT_GE(c.y, in.y);
        ASSERT_LE(c.x + c.width, in.x + in.width);
        ASSERT_LE(c.y + c.height, in.y + in.height);
    }
}

TEST(ClipFillProperty, KeepsExactlyThePixelsInsideTheSurface) {
    for (std::int32_t pos = -10; pos <= 10; ++pos)
        for (std::int32_t size = -3; size <= 12; ++size)
            for (std::int32_t limit = 0; limit <= 8; ++limit) {
                std::int32_t x = pos, y = pos, w = size, h = size;
                std::int64_t lo = std::max(pos, 0), hi = pos + size;
                if (limit != 0) hi = std::min<std::int64_t>(hi, limit);
                bool left = clipFill(x, y, w, h, limit, limit);
                ASSERT_EQ(left, hi > lo) << pos << " " << size << " " << limit;
                if (!left) continue;
                ASSERT_EQ(x, lo);
                ASSERT_EQ(w, hi - lo);
                ASSERT_EQ(y, lo);
                ASSERT_EQ(h, hi - lo);
            }
}

TEST(RectInside, WholeNonEmptyRectanglesOnlyWithoutWrapping) {
    using quillon::rectInside;
    EXPECT_TRUE(rectInside(0, 0, 640, 480, 640, 480));
    EXPECT_TRUE(rectInside(639, 479, 1, 1, 640, 480));
    EXPECT_FALSE(rectInside(1, 0, 640, 480, 640, 480)); // one column past the right
    EXPECT_FALSE(rectInside(0, 1, 640, 480, 640, 480)); // one row past the bottom
    EXPECT_FALSE(rectInside(-1, 0, 10, 10, 640, 480));
    EXPECT_FALSE(rectInside(0, -1, 10, 10, 640, 480));
    EXPECT_FALSE(rectInside(0, 0, 0, 10, 640, 480));  // empty
    EXPECT_FALSE(rectInside(5, 5, -3, 10, 640, 480)); // inverted
    // x + width past 2^31 would wrap below the surface's width in 32 bits.
    EXPECT_FALSE(rectInside(0x7FFFFFF0, 0, 0x20, 1, 640, 480));
    EXPECT_FALSE(rectInside(0, 0x7FFFFFF0, 1, 0x20, 640, 480));
}
