// Alpha surfaces and the translucent blits in a windowed context: what the loaders keep,
// the blending rule on 32-, 24- and 16-bit destinations, fades, clipping and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "alpha_test_support.h"
#include "image_test_support.h"

using namespace library_test;

namespace {

class AlphaTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 320, kHeight = 240;

    void SetUp() override {
        window = makeWindow(kWidth, kHeight);
        ASSERT_EQ(d.ddInit(window, kWidth, kHeight, 0), 1);
        back = d.ddGetBackSurface();
        png = encodePng(image, true);
        ASSERT_FALSE(png.empty());
        alpha = d.ddCreateAlphaSurfaceFromImageData(png.data(), static_cast<long>(png.size()));
        ASSERT_NE(alpha, 0) << d.ddError();
    }
    void TearDown() override {
        for (QHANDLE s : made)
            d.ddReleaseSurface(s);
        if (alpha) d.ddReleaseSurface(alpha);
        d.ddQuit();
        DestroyWindow(window);
    }
    QHANDLE keep(QHANDLE s) {
        EXPECT_NE(s, 0);
        made.push_back(s);
        return s;
    }
    // Fills a destination with the pattern, held to its pixel size.
    static void fill(QHANDLE s) {
        DDPIXELFORMAT pf = formatOf(s);
        const std::uint32_t mask =
            pf.dwRGBBitCount >= 32 ? 0xFFFFFFFFu : (1u << pf.dwRGBBitCount) - 1;
        paint(s, [mask](int x, int y) { return destPattern(x, y) & mask; });
    }
    // Checks every pixel of `dest`: inside the w x h block drawn at (x, y) from the image's
    // (srcX, srcY) each follows the rule at alpha x opacity / 255, everything else is as
    // `before` held it.
    void expectBlended(QHANDLE dest, const std::vector<std::uint32_t>& before, int x, int y, int w,
                       int h, int srcX, int srcY, int opacity) {
        DDPIXELFORMAT pf = formatOf(dest);
        std::vector<std::uint32_t> after = snapshot(dest);
        const int width = d.ddGetWidth(dest);
        int wrong = 0;
        for (std::size_t i = 0; i < after.size() && wrong < 5; ++i) {
            const int px = static_cast<int>(i) % width, py = static_cast<int>(i) / width;
            const bool inside = px >= x && px < x + w && py >= y && py < y + h;
            if (!inside) {
                if (after[i] != before[i]) {
                    ADD_FAILURE() << "(" << px << "," << py << ") outside the block changed";
                    ++wrong;
                }
                continue;
            }
            const std::uint32_t s = image.at(px - x + srcX, py - y + srcY);
            const double a = (s >> 24) * opacity / 255.0;
            ::testing::AssertionResult r = followsRule(
                {int(s >> 16 & 255), int(s >> 8 & 255), int(s & 255)}, before[i], a, after[i], pf);
            if (pf.dwRGBBitCount == 32 && (after[i] >> 24) != (before[i] >> 24))
                r = ::testing::AssertionFailure() << "the spare byte changed";
            if (s >> 24 == 255 && opacity == 255 && pf.dwRGBBitCount >= 24 &&
                (after[i] & 0xFFFFFF) != (s & 0xFFFFFF))
                r = ::testing::AssertionFailure() << "an opaque pixel is not exact";
            if (!r) {
                ADD_FAILURE() << "(" << px << "," << py << "): " << r.message();
                ++wrong;
            }
        }
    }

    const QuillonDll& d = dll();
    HWND window = nullptr;
    QHANDLE back = 0, alpha = 0;
    Image image = alphaImage();
    std::vector<BYTE> png;
    std::vector<QHANDLE> made;
};

std::string tempFile(const char* name, const std::vector<BYTE>& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace

TEST_F(AlphaTest, BothLoadersKeepEveryPixelStraightAndAnImageWithoutAlphaLoadsOpaque) {
    std::string path = tempFile("quillon_alpha.png", png);
    QHANDLE fromFile = keep(d.ddCreateAlphaSurfaceFromImage(path.c_str()));
    Image opaque = image;
    for (std::uint32_t& v : opaque.bgra)
        v |= 0xFF000000u;
    std::vector<BYTE> noAlpha = encodePng(image, false);
    QHANDLE fromOpaque = keep(
        d.ddCreateAlphaSurfaceFromImageData(noAlpha.data(), static_cast<long>(noAlpha.size())));
    for (auto [surface, want] : {std::pair<QHANDLE, const Image*>{alpha, &image},
                                 {fromFile, &image},
                                 {fromOpaque, &opaque}}) {
        ASSERT_EQ(d.ddGetWidth(surface), 256);
        ASSERT_EQ(d.ddGetHeight(surface), 3);
        // The raw copies see 4 bytes a pixel: blue, green, red, alpha, not premultiplied.
        const long pitch = d.ddGetPitch(surface);
        std::vector<std::uint8_t> raw(std::size_t(pitch * 3));
        ASSERT_EQ(d.ddGetSurfaceData(raw.data(), pitch * 3, surface), 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 256; ++x) {
                std::uint32_t v;
                std::memcpy(&v, &raw[std::size_t(y * pitch + x * 4)], 4);
                ASSERT_EQ(v, want->at(x, y)) << "(" << x << "," << y << ")";
            }
    }
    std::remove(path.c_str());
}

TEST_F(AlphaTest, BlendsOntoThirtyTwoTwentyFourAndSixteenBitSurfacesByTheRule) {
    const Depth depths[] = {Depth::kRgb32, Depth::kRgb24, Depth::kRgb565, Depth::kRgb555};
    for (Depth depth : depths) {
        QHANDLE dest = keep(createDestination(256, 3, depth));
        ASSERT_NE(dest, 0) << int(depth);
        for (int opacity : {255, 200, 1}) {
            SCOPED_TRACE(::testing::Message() << "depth " << int(depth) << " opacity " << opacity);
            fill(dest);
            std::vector<std::uint32_t> before = snapshot(dest);
            ASSERT_EQ(d.ddAlphaBlt(dest, 0, 0, 256, 3, alpha, 0, 0, opacity), 1) << d.ddError();
            expectBlended(dest, before, 0, 0, 256, 3, 0, 0, opacity);
        }
    }
    // The back surface (dest 0), part of the image, by both exports.
    fill(back);
    std::vector<std::uint32_t> before = snapshot(back);
    ASSERT_EQ(d.ddAlphaBlt(0, 30, 40, 200, 2, alpha, 50, 1, 160), 1);
    expectBlended(back, before, 30, 40, 200, 2, 50, 1, 160);
    before = snapshot(back);
    ASSERT_EQ(d.ddSafeAlphaBlt(0, 10, 100, 256, 3, 320, 240, alpha, 0, 0, 256, 3, 255), 1);
    expectBlended(back, before, 10, 100, 256, 3, 0, 0, 255);
}

TEST_F(AlphaTest, OpacityZeroDrawsNothingAndOutOfRangeOpacityIsClamped) {
    QHANDLE dest = keep(createDestination(256, 3, Depth::kRgb32));
    for (int opacity : {0, -7}) {
        fill(dest);
        std::vector<std::uint32_t> before = snapshot(dest);
        EXPECT_EQ(d.ddAlphaBlt(dest, 0, 0, 256, 3, alpha, 0, 0, opacity), 1);
        EXPECT_EQ(snapshot(dest), before);
    }
    fill(dest);
    std::vector<std::uint32_t> before = snapshot(dest);
    EXPECT_EQ(d.ddAlphaBlt(dest, 0, 0, 256, 3, alpha, 0, 0, 300), 1);
    expectBlended(dest, before, 0, 0, 256, 3, 0, 0, 255);
}

TEST_F(AlphaTest, FadesAnOrdinarySurfaceLeavingItsKeyedPixelsOut) {
    for (Depth depth : {Depth::kRgb32, Depth::kRgb565}) {
        SCOPED_TRACE(int(depth));
        auto make = [&] {
            return keep(depth == Depth::kRgb32 ? d.ddCreateSurface(64, 16)
                                               : createDestination(64, 16, depth));
        };
        QHANDLE keyedSrc = make(), unkeyedSrc = make();
        QHANDLE dest = keep(createDestination(80, 20, depth));
        DDPIXELFORMAT pf = formatOf(keyedSrc);
        const std::uint32_t mask = pf.dwRGBBitCount == 32 ? 0xFFFFFFu : 0xFFFFu;
        const std::uint32_t key = 0x00F81F & mask;
        auto srcPixel = [&](int x, int y) {
            return (x + y) % 5 == 0 ? key : destPattern(x + 7, y * 3) & mask;
        };
        paint(keyedSrc, srcPixel);
        paint(unkeyedSrc, srcPixel);
        ASSERT_EQ(d.ddSetColorKey(keyedSrc, static_cast<long>(key)), 1);
        for (bool keyed : {true, false}) {
            QHANDLE src = keyed ? keyedSrc : unkeyedSrc;
            fill(dest);
            std::vector<std::uint32_t> before = snapshot(dest);
            ASSERT_EQ(d.ddAlphaBlt(dest, 9, 2, 64, 16, src, 0, 0, 100), 1) << d.ddError();
            std::vector<std::uint32_t> after = snapshot(dest);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 80; ++x) {
                    const std::size_t i = std::size_t(y * 80 + x);
                    const bool inside = x >= 9 && x < 73 && y >= 2 && y < 18;
                    const std::uint32_t s = inside ? srcPixel(x - 9, y - 2) : 0;
                    if (!inside || (keyed && s == key)) {
                        ASSERT_EQ(after[i], before[i]) << x << "," << y;
                        continue;
                    }
                    Rgb c = colourOf(s, pf);
                    ASSERT_TRUE(followsRule(c, before[i], 100, after[i], pf)) << x << "," << y;
                }
        }
        // At 255 an unkeyed fade copies exactly.
        std::vector<std::uint32_t> prior = snapshot(dest);
        ASSERT_EQ(d.ddAlphaBlt(dest, 0, 0, 64, 16, unkeyedSrc, 0, 0, 255), 1);
        EXPECT_TRUE(pixelsAre(dest, [&](int x, int y) {
            return x < 64 && y < 16 ? srcPixel(x, y) : prior[std::size_t(y * 80 + x)];
        }));
    }
}

TEST_F(AlphaTest, SafeAlphaBltClipsAtAllFourEdgesAndNeverPastTheSurfaces) {
    struct Place {
        int x, y, limitX, limitY;
    };
    // Left, right (with a limit past the surface: its width), top, bottom (limit 0).
    const Place places[] = {
        {-40, 10, 0, 0}, {200, 20, 100000, 240}, {30, -1, 320, 0}, {50, 238, 0, 0}};
    for (const Place& p : places) {
        SCOPED_TRACE(::testing::Message() << p.x << "," << p.y);
        fill(back);
        std::vector<std::uint32_t> before = snapshot(back);
        ASSERT_EQ(d.ddSafeAlphaBlt(0, p.x, p.y, 256, 3, p.limitX, p.limitY, alpha, 0, 0, 0, 0, 255),
                  1);
        const int x0 = std::max(p.x, 0), y0 = std::max(p.y, 0);
        const int x1 = std::min(p.x + 256, kWidth), y1 = std::min(p.y + 3, kHeight);
        expectBlended(back, before, x0, y0, x1 - x0, y1 - y0, x0 - p.x, y0 - p.y, 255);
    }
    // Source limits past the source are its size; a source offset outside moves the drawing.
    fill(back);
    std::vector<std::uint32_t> before = snapshot(back);
    ASSERT_EQ(d.ddSafeAlphaBlt(0, 0, 0, 300, 10, 0, 0, alpha, -4, 1, 5000, 5000, 255), 1);
    expectBlended(back, before, 4, 0, 256, 2, 0, 1, 255);
    // Nothing left: 1, nothing drawn.
    before = snapshot(back);
    EXPECT_EQ(d.ddSafeAlphaBlt(0, 320, 0, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255), 1);
    EXPECT_EQ(d.ddSafeAlphaBlt(0, 0, -3, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255), 1);
    EXPECT_EQ(snapshot(back), before);
}

TEST_F(AlphaTest, RefusalsDrawNothing) {
    QHANDLE plain = keep(d.ddCreateSurface(256, 3));
    QHANDLE indexed = keep(createDestination(256, 3, Depth::kIndexed8));
    QHANDLE sixteen = keep(createDestination(256, 3, Depth::kRgb565));
    QHANDLE other =
        keep(d.ddCreateAlphaSurfaceFromImageData(png.data(), static_cast<long>(png.size())));
    fill(back);
    fill(plain);
    fill(indexed);
    const std::vector<std::uint32_t> backBefore = snapshot(back), plainBefore = snapshot(plain),
                                     indexedBefore = snapshot(indexed),
                                     otherBefore = snapshot(other);
    // Rectangles not wholly inside both surfaces.
    EXPECT_EQ(d.ddAlphaBlt(0, -1, 0, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 305, 0, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 238, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 16, 3, alpha, 250, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 16, 4, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 0, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0x7FFFFFF0, 0, 0x20, 3, alpha, 0, 0, 255), 0);
    // Surfaces: no source, the same surface, an alpha surface or an 8-bit one as
    // destination, the windowed primary, a source of another format.
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 16, 3, 0, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(plain, 0, 0, 16, 3, plain, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 16, 3, back, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(other, 0, 0, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(indexed, 0, 0, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(d.ddGetPrimarySurface(), 0, 0, 16, 3, alpha, 0, 0, 255), 0);
    EXPECT_EQ(d.ddAlphaBlt(0, 0, 0, 16, 3, sixteen, 0, 0, 255), 0);
    EXPECT_EQ(d.ddSafeAlphaBlt(0, 0, 0, 16, 3, 0, 0, 0, 0, 0, 0, 0, 255), 0);
    EXPECT_EQ(d.ddSafeAlphaBlt(indexed, 0, 0, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255), 0);
    EXPECT_EQ(d.ddSafeAlphaBlt(other, 0, 0, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255), 0);
    EXPECT_EQ(d.ddSafeAlphaBlt(d.ddGetPrimarySurface(), 0, 0, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255),
              0);
    // Refused before anything else, even where clipping would leave nothing.
    EXPECT_EQ(d.ddSafeAlphaBlt(indexed, -50, 0, 16, 3, 0, 0, alpha, 0, 0, 0, 0, 255), 0);
    EXPECT_EQ(snapshot(back), backBefore);
    EXPECT_EQ(snapshot(plain), plainBefore);
    EXPECT_EQ(snapshot(indexed), indexedBefore);
    EXPECT_EQ(snapshot(other), otherBefore);
}

TEST_F(AlphaTest, EveryLoaderRefusalMakesNothing) {
    const long surfaces = surfaceCount();
    ASSERT_GT(surfaces, 0);
    std::vector<BYTE> garbage(200, 0x5A);
    std::vector<BYTE> truncated(png.begin(), png.begin() + 60);
    std::string garbagePath = tempFile("quillon_garbage.png", garbage);
    std::string truncatedPath = tempFile("quillon_truncated.png", truncated);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImage(nullptr), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImage(""), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImage("Z:\\no\\such\\sprite.png"), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImage(garbagePath.c_str()), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImage(truncatedPath.c_str()), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(nullptr, 10), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(png.data(), 0), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(png.data(), -1), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(garbage.data(), 200), 0);
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(truncated.data(), 60), 0);
    EXPECT_EQ(surfaceCount(), surfaces);
    d.ddReleaseSurface(alpha);
    alpha = 0;
    d.ddQuit();
    EXPECT_EQ(d.ddCreateAlphaSurfaceFromImageData(png.data(), static_cast<long>(png.size())), 0);
    std::remove(garbagePath.c_str());
    std::remove(truncatedPath.c_str());
}
