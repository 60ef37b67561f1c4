#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "blend.h"

using namespace quillon;

namespace {

const PixelLayout kLayouts[] = {PixelLayout::kRgb32, PixelLayout::kRgb24, PixelLayout::kRgb565,
                                PixelLayout::kRgb555};

// The rule in real numbers: an 8-bit channel of src over dst at alpha a (0..255, not rounded).
double rule(double src, double dst, double a) {
    return std::round((src * a + dst * (255 - a)) / 255);
}

// A destination block whose rows carry spare bytes the blends must not touch.
struct Block {
    std::int32_t width, height;
    int bytes;
    std::ptrdiff_t pitch;
    std::vector<std::uint8_t> mem;
    Block(std::int32_t w, std::int32_t h, int b)
        : width(w), height(h), bytes(b), pitch(w * b + 5), mem(std::size_t(pitch * h)) {}
    std::uint8_t* at(std::int32_t x, std::int32_t y) {
        return &mem[std::size_t(y * pitch + x * bytes)];
    }
    std::uint32_t get(std::int32_t x, std::int32_t y) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint32_t(at(x, y)[i]) << (8 * i);
        return v;
    }
    void put(std::int32_t x, std::int32_t y, std::uint32_t v) {
        for (int i = 0; i < bytes; ++i)
            at(x, y)[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
};

struct Channels {
    int r, g, b;
};

// The 8-bit colour of a destination pixel, and the 5-/6-bit steps of each channel.
Channels colourOf(std::uint32_t v, PixelLayout layout) {
    switch (layout) {
    case PixelLayout::kRgb565:
        return {int(widen5(v >> 11 & 31)), int(widen6(v >> 5 & 63)), int(widen5(v & 31))};
    case PixelLayout::kRgb555:
        return {int(widen5(v >> 10 & 31)), int(widen5(v >> 5 & 31)), int(widen5(v & 31))};
    default:
        return {int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)};
    }
}
Channels stepsOf(std::uint32_t v, PixelLayout layout) {
    if (layout == PixelLayout::kRgb565) return {int(v >> 11 & 31), int(v >> 5 & 63), int(v & 31)};
    return {int(v >> 10 & 31), int(v >> 5 & 31), int(v & 31)};
}

// Checks one blended pixel against the rule: within 1 in 8-bit terms, or within one step
// of the rule's value in a 16-bit layout.
void expectRule(Channels src, Channels dst, double a, std::uint32_t got, PixelLayout layout) {
    const double want[3] = {rule(src.r, dst.r, a), rule(src.g, dst.g, a), rule(src.b, dst.b, a)};
    if (layout == PixelLayout::kRgb32 || layout == PixelLayout::kRgb24) {
        Channels c = colourOf(got, layout);
        ASSERT_LE(std::abs(c.r - want[0]), 1) << "red, alpha " << a;
        ASSERT_LE(std::abs(c.g - want[1]), 1) << "green, alpha " << a;
        ASSERT_LE(std::abs(c.b - want[2]), 1) << "blue, alpha " << a;
        return;
    }
    Channels s = stepsOf(got, layout);
    const double greenSteps = layout == PixelLayout::kRgb565 ? 63 : 31;
    ASSERT_LE(std::abs(s.r - std::round(want[0] * 31 / 255)), 1) << "red, alpha " << a;
    ASSERT_LE(std::abs(s.g - std::round(want[1] * greenSteps / 255)), 1) << "green, alpha " << a;
    ASSERT_LE(std::abs(s.b - std::round(want[2] * 31 / 255)), 1) << "blue, alpha " << a;
}

// Destination pixel values of every kind of colour, different on every row and column.
std::uint32_t destValue(std::int32_t x, std::int32_t y, PixelLayout layout) {
    std::uint32_t v = std::uint32_t(x * 2654435761u + y * 40503u) >> 3;
    if (layout == PixelLayout::kRgb24) return v & 0xFFFFFF;
    if (layout == PixelLayout::kRgb565) return v & 0xFFFF;
    if (layout == PixelLayout::kRgb555) return v & 0x7FFF;
    return v;
}

// A destination filled with the pattern, each row's spare bytes marked.
Block patterned(std::int32_t width, std::int32_t height, PixelLayout layout) {
    Block b(width, height, bytesPerPixel(layout));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x)
            b.put(x, y, destValue(x, y, layout));
        b.mem[std::size_t(y * b.pitch + b.pitch - 1)] = 0xA5;
    }
    return b;
}

// Blends onto copies of `dest` on the plain and on the SSE2 path; both must give the same
// bytes, which are returned.
template <class Blend> Block bothPaths(BlendBlock b, const Block& dest, Blend blend) {
    Block plain = dest, fast = dest;
    b.dstPitch = dest.pitch;
    b.dst = plain.mem.data();
    blend(b, BlendPath::kPlain);
    b.dst = fast.mem.data();
    blend(b, BlendPath::kSse2);
    EXPECT_EQ(plain.mem, fast.mem) << "SSE2 and plain paths differ at opacity " << b.opacity;
    return plain;
}

} // namespace

TEST(Blend, AlphaSourceFollowsTheRuleForEveryAlphaAndOpacityOnBothPaths) {
    // Column x of the first rows has alpha x; the last rows run clear, opaque and ramped in
    // turn, 16 pixels each, so whole groups are skipped and copied. Each opacity blends the
    // whole block once per path.
    const std::int32_t width = 257, height = 7; // a tail after groups of eight
    std::vector<std::uint8_t> src(std::size_t(width * height * 4));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = &src[std::size_t((y * width + x) * 4)];
            p[0] = static_cast<std::uint8_t>(x * 7 + y * 31);
            p[1] = static_cast<std::uint8_t>(255 - x + y * 3);
            p[2] = static_cast<std::uint8_t>(x * 13 + y);
            const int run = x / 16 % 3;
            p[3] = static_cast<std::uint8_t>(y < 5 || run == 2 ? x % 256 : run * 255);
        }
    for (PixelLayout layout : kLayouts) {
        SCOPED_TRACE(int(layout));
        const int bytes = bytesPerPixel(layout);
        for (std::uint32_t opacity = 0; opacity < 256; ++opacity) {
            BlendBlock b;
            b.src = src.data();
            b.srcPitch = width * 4;
            b.width = width;
            b.height = height;
            b.layout = layout;
            b.opacity = opacity;
            Block plain = bothPaths(b, patterned(width, height, layout), blendAlphaSource);
            if (HasFailure()) return;
            for (std::int32_t y = 0; y < height; ++y) {
                ASSERT_EQ(plain.mem[std::size_t(y * plain.pitch + plain.pitch - 1)], 0xA5);
                for (std::int32_t x = 0; x < width; ++x) {
                    const std::uint8_t* s = &src[std::size_t((y * width + x) * 4)];
                    const std::uint32_t before = destValue(x, y, layout), got = plain.get(x, y);
                    const double a = s[3] * opacity / 255.0;
                    if (layout == PixelLayout::kRgb32) {
                        ASSERT_EQ(got >> 24, before >> 24) << "the spare byte is kept";
                    }
                    if (a == 0) {
                        ASSERT_EQ(got, before) << "alpha 0 draws nothing";
                        continue;
                    }
                    if (s[3] == 255 && opacity == 255 && bytes >= 3) {
                        ASSERT_EQ(got & 0xFFFFFF, std::uint32_t(s[2] << 16 | s[1] << 8 | s[0]))
                            << "an opaque pixel at 255 is written exactly";
                    }
                    expectRule({s[2], s[1], s[0]}, colourOf(before, layout), a, got, layout);
                }
            }
        }
    }
}

TEST(Blend, FadeFollowsTheRuleAndLeavesKeyedPixelsOut) {
    const std::int32_t width = 131, height = 5;
    for (PixelLayout layout : kLayouts) {
        SCOPED_TRACE(int(layout));
        const int bytes = bytesPerPixel(layout);
        Block src(width, height, bytes);
        // Every third pixel has the key's colour (with a different spare byte on 32 bits).
        const std::uint32_t key = destValue(3, 3, layout) & 0xFFFFFF;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                src.put(x, y,
                        x % 3 == 0
                            ? key | (layout == PixelLayout::kRgb32 ? std::uint32_t(x) << 24 : 0)
                            : destValue(x + 17, y * 5 + 1, layout));
        for (bool keyed : {false, true})
            for (std::uint32_t opacity = 0; opacity < 256; ++opacity) {
                BlendBlock b;
                b.src = src.mem.data();
                b.srcPitch = src.pitch;
                b.width = width;
                b.height = height;
                b.layout = layout;
                b.opacity = opacity;
                b.keyed = keyed;
                b.key = key;
                b.keyMask = layout == PixelLayout::kRgb555 ? 0x7FFF : 0xFFFFFF;
                Block plain = bothPaths(b, patterned(width, height, layout), blendFade);
                if (HasFailure()) return;
                for (std::int32_t y = 0; y < height; ++y)
                    for (std::int32_t x = 0; x < width; ++x) {
                        const std::uint32_t before = destValue(x, y, layout), got = plain.get(x, y);
                        const std::uint32_t s = src.get(x, y);
                        if ((keyed && x % 3 == 0) || opacity == 0) {
                            ASSERT_EQ(got, before) << "left out at " << x;
                        } else if (opacity == 255) {
                            ASSERT_EQ(got, s) << "copied exactly at " << x;
                        } else {
                            expectRule(colourOf(s, layout), colourOf(before, layout), opacity, got,
                                       layout);
                            if (layout == PixelLayout::kRgb32) {
                                ASSERT_LE(
                                    std::abs(int(got >> 24) - rule(s >> 24, before >> 24, opacity)),
                                    1);
                            }
                        }
                    }
            }
    }
}

TEST(Blend, SixteenBitPackingAndFormats) {
    for (std::uint32_t v = 0; v < 32; ++v)
        EXPECT_EQ(narrow5(widen5(v)), v);
    for (std::uint32_t v = 0; v < 64; ++v)
        EXPECT_EQ(narrow6(widen6(v)), v);
    for (std::uint32_t v = 0; v < 256; ++v) {
        EXPECT_EQ(narrow5(v), std::lround(v * 31 / 255.0)) << v;
        EXPECT_EQ(narrow6(v), std::lround(v * 63 / 255.0)) << v;
    }
    EXPECT_EQ(widen5(31), 255u);
    EXPECT_EQ(widen6(63), 255u);

    PixelLayout l = PixelLayout::kRgb24;
    EXPECT_TRUE(layoutOf(16, 0xF800, 0x07E0, 0x1F, l));
    EXPECT_EQ(l, PixelLayout::kRgb565);
    EXPECT_TRUE(layoutOf(16, 0x7C00, 0x03E0, 0x1F, l));
    EXPECT_EQ(l, PixelLayout::kRgb555);
    EXPECT_TRUE(layoutOf(24, 0xFF0000, 0xFF00, 0xFF, l));
    EXPECT_EQ(l, PixelLayout::kRgb24);
    EXPECT_TRUE(layoutOf(32, 0xFF0000, 0xFF00, 0xFF, l));
    EXPECT_EQ(l, PixelLayout::kRgb32);
    EXPECT_FALSE(layoutOf(8, 0, 0, 0, l));                 // palette indices
    EXPECT_FALSE(layoutOf(32, 0xFF, 0xFF00, 0xFF0000, l)); // red and blue swapped
    EXPECT_FALSE(layoutOf(16, 0xF800, 0x07E0, 0x3F, l));

    EXPECT_EQ(clampOpacity(-5), 0u);
    EXPECT_EQ(clampOpacity(256), 255u);
    EXPECT_EQ(clampOpacity(128), 128u);
}
