#include <gtest/gtest.h>

#include <vector>

#include "image_key.h"

using namespace quillon;

namespace {

std::uint32_t pixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                    std::uint32_t alpha) {
    return alpha << 24 | red << 16 | green << 8 | blue;
}

} // namespace

TEST(ImageKey, TransparencyAndTheKeyColour) {
    // Fully opaque: nothing keyed, only the fourth byte cleared.
    std::vector<std::uint32_t> opaque = {pixel(1, 2, 3, 255), pixel(255, 0, 255, 255)};
    KeyedImage k = prepareKeyedPixels(opaque.data(), opaque.size());
    EXPECT_FALSE(k.transparent);
    EXPECT_EQ(opaque, (std::vector<std::uint32_t>{pixel(1, 2, 3, 0), pixel(255, 0, 255, 0)}));

    // Alpha 127 goes, 128 stays as it is (no blending); one pixel below 255 is enough.
    std::vector<std::uint32_t> edges = {pixel(0, 0, 255, 127), pixel(0, 0, 255, 128),
                                        pixel(9, 9, 9, 254)};
    k = prepareKeyedPixels(edges.data(), edges.size());
    EXPECT_TRUE(k.transparent);
    EXPECT_EQ(k.keyPixel, kMagentaPixel);
    EXPECT_EQ(edges,
              (std::vector<std::uint32_t>{kMagentaPixel, pixel(0, 0, 255, 0), pixel(9, 9, 9, 0)}));

    // Opaque magenta moves the key to the lowest RGB() value no opaque pixel has: red
    // counts first, so after black and red 1 comes red 2, not blue 1. A transparent pixel's
    // own colour does not count.
    std::vector<std::uint32_t> used = {pixel(255, 0, 255, 255), pixel(0, 0, 0, 255),
                                       pixel(1, 0, 0, 200), pixel(2, 0, 0, 0)};
    k = prepareKeyedPixels(used.data(), used.size());
    EXPECT_EQ(k.keyPixel, pixel(2, 0, 0, 0));
    EXPECT_EQ(used[3], k.keyPixel);
    EXPECT_NE(used[1], k.keyPixel);
}

TEST(ImageKey, FreeValueFinderLooksOnlyAsFarAsItMust) {
    FreeValueFinder some(1ull << 32, 3);
    for (std::uint64_t v : {0u, 1u, 3u, 4000000000u})
        some.mark(v);
    std::uint64_t free = 99;
    ASSERT_TRUE(some.lowest(free));
    EXPECT_EQ(free, 2u);

    // Every value of an 8-bit surface taken: none is free.
    FreeValueFinder full(256, 300);
    for (std::uint64_t v = 0; v < 256; ++v)
        full.mark(v);
    EXPECT_FALSE(full.lowest(free));
    full = FreeValueFinder(256, 300);
    for (std::uint64_t v = 0; v < 256; ++v)
        if (v != 200) full.mark(v);
    ASSERT_TRUE(full.lowest(free));
    EXPECT_EQ(free, 200u);
}
