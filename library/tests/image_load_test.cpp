// ddCreateSurfaceFromImage and ddCreateSurfaceFromImageData: PNG, JPEG and GIF images made
// by ImageMagick, read back with ddGetSurfaceData2 and compared with ImageMagick's own
// decode, then blitted with their key to see exactly which pixels are left out. Windowed
// (32 bits per pixel here) and full-screen at 8 bits with a palette and at 16 bits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "image_test_support.h"

using namespace library_test;

namespace {

std::uint32_t trueColor(COLORREF c) {
    return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

std::uint32_t keyOf(QHANDLE surface) {
    return static_cast<std::uint32_t>(dll().ddGetColorKey(surface));
}

// A transparent image on any surface: every transparent pixel holds the key, no opaque
// pixel does, and a keyed blit leaves out exactly the transparent pixels.
void expectKeyedOnTransparency(QHANDLE s, const Reference& ref) {
    ASSERT_NE(s, 0);
    ASSERT_EQ(dll().ddGetWidth(s), ref.width);
    ASSERT_EQ(dll().ddGetHeight(s), ref.height);
    Pixels p = readBack(s);
    std::uint32_t key = keyOf(s);
    long keyedOpaque = 0, unkeyedTransparent = 0;
    for (long y = 0; y < ref.height; ++y)
        for (long x = 0; x < ref.width; ++x) {
            if (ref.transparent(x, y))
                unkeyedTransparent += p.at(x, y) != key;
            else
                keyedOpaque += p.at(x, y) == key;
        }
    EXPECT_EQ(unkeyedTransparent, 0);
    EXPECT_EQ(keyedOpaque, 0);
    std::vector<bool> leftOut = leftOutByKeyedBlit(s);
    ASSERT_EQ(leftOut.size(), std::size_t(ref.width * ref.height));
    long wrong = 0;
    for (long y = 0; y < ref.height; ++y)
        for (long x = 0; x < ref.width; ++x)
            wrong += leftOut[std::size_t(y * ref.width + x)] != ref.transparent(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(countOf(leftOut), ref.transparentCount());
}

// At 32 bits: every opaque pixel is its colour exactly, fourth byte 0.
void expectOpaqueColorsExact(QHANDLE s, const Reference& ref) {
    Pixels p = readBack(s);
    ASSERT_EQ(p.bytes, 4);
    long wrong = 0;
    for (long y = 0; y < ref.height; ++y)
        for (long x = 0; x < ref.width; ++x)
            if (!ref.transparent(x, y)) wrong += p.at(x, y) != trueColor(ref.color(x, y));
    EXPECT_EQ(wrong, 0);
}

const COLORREF kGifColors[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(9, 9, 9)};

// A GIF of kGifColors with one frame of `indices` at (left, top) on its logical screen, and a
// transparent colour when `clearIndex` is 0 to 3. The LZW codes are all 3 bits wide: a clear
// code before every pixel keeps the table from growing.
std::vector<std::uint8_t> gifBytes(int screenWidth, int screenHeight, int left, int top, int width,
                                   const std::vector<std::uint8_t>& indices, int clearIndex) {
    std::vector<std::uint8_t> g = {'G', 'I', 'F', '8', '9', 'a'};
    auto words = [&](std::initializer_list<int> values) {
        for (int v : values)
            g.insert(g.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    words({screenWidth, screenHeight});
    g.insert(g.end(), {0x91, 0, 0}); // a global table of 4 entries
    for (COLORREF c : kGifColors)
        g.insert(g.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    if (clearIndex >= 0) g.insert(g.end(), {0x21, 0xF9, 4, 1, 0, 0, std::uint8_t(clearIndex), 0});
    g.push_back(0x2C);
    words({left, top, width, static_cast<int>(indices.size()) / width});
    g.insert(g.end(), {0, 2, 0}); // no local table, minimum code size 2, block size below
    std::size_t sizeAt = g.size() - 1;
    std::uint32_t bits = 0, count = 0;
    auto code = [&](std::uint32_t c) {
        bits |= c << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8)
            g.push_back(std::uint8_t(bits));
    };
    for (std::uint8_t i : indices) {
        code(4);
        code(i);
    }
    code(5);
    if (count) g.push_back(std::uint8_t(bits));
    g[sizeAt] = std::uint8_t(g.size() - sizeAt - 1); // one block: small frames only
    g.insert(g.end(), {0, 0x3B});
    return g;
}

class ImageLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(d.module, nullptr);
        window = makeWindow(320, 240);
        ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1) << "ddError " << d.ddError();
        ASSERT_EQ(d.ddGetSurfaceBitCount(), 32);
    }
    void TearDown() override {
        for (QHANDLE s : made)
            d.ddReleaseSurface(s);
        d.ddQuit();
        DestroyWindow(window);
    }
    QHANDLE load(const char* name) {
        QHANDLE s = d.ddCreateSurfaceFromImage(dataPath(name).c_str());
        if (s) made.push_back(s);
        return s;
    }
    const QuillonDll& d = dll();
    HWND window = nullptr;
    std::vector<QHANDLE> made;
};

} // namespace

TEST_F(ImageLoadTest, PngAlphaBelow128IsKeyedOutAndEveryOpaquePixelIsDrawn) {
    Reference ref = reference("alpha.png", 16, 8);
    QHANDLE s = load("alpha.png");
    expectKeyedOnTransparency(s, ref);
    expectOpaqueColorsExact(s, ref);
    // The opaque red top-left pixel is drawn, not keyed; blue at alpha 127 is left out and
    // at alpha 128 drawn full blue (not blended).
    std::vector<bool> leftOut = leftOutByKeyedBlit(s);
    EXPECT_FALSE(leftOut[0]);
    EXPECT_TRUE(leftOut[16 + 7]);
    EXPECT_FALSE(leftOut[16 + 8]);
    EXPECT_EQ(readBack(s).at(8, 1), 0x0000FFu);
    // An opaque pixel is magenta and another black: the key is the lowest RGB value no
    // opaque pixel has, (1, 0, 0).
    EXPECT_EQ(keyOf(s), trueColor(RGB(1, 0, 0)));
    EXPECT_EQ(ref.transparentCount(), 53);
}

TEST_F(ImageLoadTest, PngFromMemoryIsTheSameSurfaceAndLeavesTheBytesAlone) {
    QHANDLE fromFile = load("alpha.png");
    ASSERT_NE(fromFile, 0);
    std::vector<std::uint8_t> bytes = readData("alpha.png"), before = bytes;
    ASSERT_GT(bytes.size(), 8u);
    QHANDLE s = d.ddCreateSurfaceFromImageData(bytes.data(), static_cast<long>(bytes.size()));
    ASSERT_NE(s, 0);
    made.push_back(s);
    EXPECT_EQ(bytes, before);
    EXPECT_EQ(readBack(s).data, readBack(fromFile).data);
    EXPECT_EQ(keyOf(s), keyOf(fromFile));
    expectKeyedOnTransparency(s, reference("alpha.png", 16, 8));
}

TEST_F(ImageLoadTest, JpegIsKeyedOnItsTopLeftPixelLikeABitmap) {
    Reference ref = reference("photo.jpg", 48, 24);
    QHANDLE s = load("photo.jpg");
    ASSERT_NE(s, 0);
    ASSERT_EQ(d.ddGetWidth(s), 48);
    Pixels p = readBack(s);
    long distant = 0, nonZeroFourth = 0;
    for (long y = 0; y < 24; ++y)
        for (long x = 0; x < 48; ++x) {
            std::uint32_t v = p.at(x, y), want = trueColor(ref.color(x, y));
            for (int shift : {0, 8, 16})
                distant += std::abs(int(v >> shift & 0xFF) - int(want >> shift & 0xFF)) > 8;
            nonZeroFourth += (v >> 24) != 0;
        }
    EXPECT_EQ(distant, 0) << "channels more than 8 levels from ImageMagick's decode";
    EXPECT_EQ(nonZeroFourth, 0);
    // The key is the top-left pixel's value, the one ddColorEx gives for its colour.
    std::uint32_t topLeft = p.at(0, 0);
    EXPECT_EQ(keyOf(s), topLeft);
    COLORREF color = RGB(topLeft >> 16 & 0xFF, topLeft >> 8 & 0xFF, topLeft & 0xFF);
    EXPECT_EQ(static_cast<std::uint32_t>(d.ddColorEx(static_cast<long>(color), s)), topLeft);
    long sameAsTopLeft = 0;
    for (long y = 0; y < 24; ++y)
        for (long x = 0; x < 48; ++x)
            sameAsTopLeft += p.at(x, y) == topLeft;
    std::vector<bool> leftOut = leftOutByKeyedBlit(s);
    EXPECT_TRUE(leftOut[0]);
    EXPECT_EQ(countOf(leftOut), sameAsTopLeft);
}

TEST_F(ImageLoadTest, GifTransparentColourIsKeyedMagenta) {
    Reference ref = reference("clear.gif", 16, 8);
    ASSERT_EQ(ref.transparentCount(), 32);
    QHANDLE s = load("clear.gif");
    expectKeyedOnTransparency(s, ref);
    expectOpaqueColorsExact(s, ref);
    EXPECT_EQ(keyOf(s), trueColor(RGB(255, 0, 255)));
    EXPECT_EQ(readBack(s).at(15, 7), 0x00FF00u);
}

// A frame smaller than its screen lands at its offset on a surface of the screen's size,
// clipped, the rest left out by a keyed blit; a transparent colour that no pixel uses still
// makes the key magenta, so the opaque red top-left colour is drawn. Both loaders alike.
TEST_F(ImageLoadTest, GifCanvasAndADeclaredButUnusedTransparentColour) {
    std::vector<std::uint8_t> frame(12 * 6); // 12x6 at (24, 8) on 32x16: 4 columns cut off
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = std::uint8_t((i % 12 + i / 12) % 3);
    std::vector<std::uint8_t> unused(8 * 4, 0); // red, one green pixel; index 3 unused
    unused[9] = 1;
    std::string path = dataPath("written.gif");
    auto loadBoth = [&](const std::vector<std::uint8_t>& gif) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(gif.data()), std::streamsize(gif.size()));
        QHANDLE s = load("written.gif"),
                fromData = d.ddCreateSurfaceFromImageData(gif.data(), long(gif.size()));
        made.push_back(fromData);
        EXPECT_TRUE(s && fromData && readBack(s).data == readBack(fromData).data &&
                    keyOf(s) == keyOf(fromData));
        return s;
    };
    QHANDLE canvas = loadBoth(gifBytes(32, 16, 24, 8, 12, frame, -1));
    ASSERT_NE(canvas, 0);
    ASSERT_EQ(d.ddGetWidth(canvas), 32);
    ASSERT_EQ(d.ddGetHeight(canvas), 16);
    Pixels p = readBack(canvas);
    std::vector<bool> leftOut = leftOutByKeyedBlit(canvas);
    long wrong = 0;
    for (long y = 0; y < 16; ++y)
        for (long x = 0; x < 32; ++x) {
            bool inFrame = x >= 24 && y >= 8 && y < 14;
            wrong += leftOut[std::size_t(y * 32 + x)] == inFrame;
            if (inFrame) wrong += p.at(x, y) != trueColor(kGifColors[(x - 24 + y - 8) % 3]);
        }
    EXPECT_EQ(wrong, 0);

    QHANDLE keyed = loadBoth(gifBytes(8, 4, 0, 0, 8, unused, 3));
    ASSERT_NE(keyed, 0);
    EXPECT_EQ(keyOf(keyed), trueColor(RGB(255, 0, 255)));
    EXPECT_EQ(countOf(leftOutByKeyedBlit(keyed)), 0);
    DeleteFileA(path.c_str());
}

// The alpha loaders share the canvas: the frame at its offset with alpha 255, the rest of
// the screen alpha 0, the same from a file and from memory.
TEST_F(ImageLoadTest, AlphaSurfaceOfAGifHasTheCanvasWithAlpha) {
    std::vector<std::uint8_t> frame(12 * 6);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = std::uint8_t((i % 12 + i / 12) % 3);
    std::vector<std::uint8_t> gif = gifBytes(32, 16, 24, 8, 12, frame, -1);
    std::string path = dataPath("written_alpha.gif");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.data()), std::streamsize(gif.size()));
    QHANDLE fromFile = d.ddCreateAlphaSurfaceFromImage(path.c_str()),
            fromData = d.ddCreateAlphaSurfaceFromImageData(gif.data(), long(gif.size()));
    made.insert(made.end(), {fromFile, fromData});
    for (QHANDLE s : {fromFile, fromData}) {
        ASSERT_NE(s, 0);
        ASSERT_EQ(d.ddGetWidth(s), 32);
        ASSERT_EQ(d.ddGetHeight(s), 16);
        Pixels p = readBack(s); // 4 bytes a pixel, as the display's 32 bits
        long wrong = 0;
        for (long y = 0; y < 16; ++y)
            for (long x = 0; x < 32; ++x) {
                bool inFrame = x >= 24 && y >= 8 && y < 14;
                std::uint32_t want =
                    inFrame ? 0xFF000000u | trueColor(kGifColors[(x - 24 + y - 8) % 3]) : 0u;
                wrong += p.at(x, y) != want;
            }
        EXPECT_EQ(wrong, 0);
    }
    DeleteFileA(path.c_str());
}

TEST_F(ImageLoadTest, OnePixelAndTwoThousandSquared) {
    QHANDLE one = load("one.png");
    ASSERT_NE(one, 0);
    EXPECT_EQ(d.ddGetWidth(one), 1);
    EXPECT_EQ(d.ddGetHeight(one), 1);
    EXPECT_EQ(readBack(one).at(0, 0), 0x123456u);
    EXPECT_EQ(keyOf(one), 0x123456u); // opaque: the top-left pixel, as bitmaps
    EXPECT_EQ(countOf(leftOutByKeyedBlit(one)), 1);

    QHANDLE clear = load("one_clear.png");
    expectKeyedOnTransparency(clear, reference("one_clear.png", 1, 1));
    EXPECT_EQ(keyOf(clear), trueColor(RGB(255, 0, 255)));

    Reference ref = reference("big.png", 2000, 2000);
    EXPECT_GT(ref.transparentCount(), 1000000);
    QHANDLE big = load("big.png");
    expectKeyedOnTransparency(big, ref);
    expectOpaqueColorsExact(big, ref);
}

TEST_F(ImageLoadTest, RefusalsReturnZeroAndLeaveNoSurface) {
    long surfaces = surfaceCount();
    ASSERT_GT(surfaces, 0);
    for (const char* name : {"missing.png", "truncated.png", "not_an_image.png", "huge.bmp"})
        EXPECT_EQ(d.ddCreateSurfaceFromImage(dataPath(name).c_str()), 0) << name;
    EXPECT_EQ(d.ddCreateSurfaceFromImage(nullptr), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromImage(""), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromImage(dataPath("").c_str()), 0) << "a folder";
    // Bigger than any surface the library makes: refused before the pixels are decoded.
    EXPECT_EQ(d.ddCreateSurface(12000, 12000), 0);

    // A file another program holds open without sharing cannot be read.
    std::string path = dataPath("alpha.png");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(d.ddCreateSurfaceFromImage(path.c_str()), 0);
    CloseHandle(held);

    std::vector<std::uint8_t> png = readData("alpha.png");
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(nullptr, 100), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(png.data(), 0), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(png.data(), -1), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(png.data(), 20), 0) << "PNG cut in its header";
    for (const char* name : {"truncated.png", "not_an_image.png", "huge.bmp"}) {
        std::vector<std::uint8_t> bytes = readData(name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(d.ddCreateSurfaceFromImageData(bytes.data(), static_cast<long>(bytes.size())), 0)
            << name;
    }
    EXPECT_EQ(surfaceCount(), surfaces);

    // The same file loads once it is free.
    EXPECT_NE(load("alpha.png"), 0);
    EXPECT_EQ(surfaceCount(), surfaces + 1);
}

TEST(ImageNoContext, BothLoadersRefuse) {
    const auto& d = dll();
    EXPECT_EQ(d.ddCreateSurfaceFromImage(dataPath("alpha.png").c_str()), 0);
    std::vector<std::uint8_t> png = readData("alpha.png");
    ASSERT_FALSE(png.empty());
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(png.data(), static_cast<long>(png.size())), 0);
}

// Full-screen with fewer bits: the display's format merges colours, so the key must be a
// pixel value no opaque pixel maps to. The sprite's black and (3, 0, 0) both map to the
// value of its key colour (1, 0, 0) at 16 bits and on the default 8-bit palette.
TEST(ImageFullScreen, KeyIsAPixelValueNoOpaquePixelMapsTo) {
    const auto& d = dll();
    Reference ref = reference("alpha.png", 16, 8);
    for (long bits : {8L, 16L}) {
        SCOPED_TRACE(std::to_string(bits) + " bits per pixel");
        HWND window = makeWindow(640, 480);
        d.ddSetBitDepth(bits);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
        ASSERT_EQ(d.ddGetSurfaceBitCount(), bits);
        QHANDLE palette = 0;
        if (bits == 8) {
            palette = d.ddCreateDefPalette();
            ASSERT_EQ(d.ddSetPalette(0, palette), 1);
        }
        QHANDLE s = d.ddCreateSurfaceFromImage(dataPath("alpha.png").c_str());
        expectKeyedOnTransparency(s, ref);
        Pixels p = readBack(s);
        EXPECT_EQ(p.at(2, 0), p.at(3, 0)) << "black and (3, 0, 0) are one value here";
        QHANDLE probe = d.ddCreateSurface(1, 1);
        EXPECT_NE(keyOf(s), static_cast<std::uint32_t>(d.ddColorEx(RGB(1, 0, 0), probe)));
        d.ddReleaseSurface(probe);

        // Opaque pixels get the values GDI gives the same colours in a bitmap.
        HBITMAP bitmap = nullptr;
        {
            BITMAPINFO bi = {};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = 16;
            bi.bmiHeader.biHeight = -8;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            void* bits32 = nullptr;
            bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits32, nullptr, 0);
            ASSERT_NE(bitmap, nullptr);
            auto* px = static_cast<std::uint32_t*>(bits32);
            for (long y = 0; y < 8; ++y)
                for (long x = 0; x < 16; ++x)
                    px[y * 16 + x] = trueColor(ref.color(x, y));
        }
        QHANDLE fromBitmap = d.ddCreateSurfaceFromBitmap(bitmap);
        ASSERT_NE(fromBitmap, 0);
        Pixels q = readBack(fromBitmap);
        long differ = 0;
        for (long y = 0; y < 8; ++y)
            for (long x = 0; x < 16; ++x)
                if (!ref.transparent(x, y)) differ += p.at(x, y) != q.at(x, y);
        EXPECT_EQ(differ, 0);

        d.ddReleaseSurface(fromBitmap);
        DeleteObject(bitmap);
        d.ddReleaseSurface(s);
        if (palette) {
            d.ddSetPalette(0, 0);
            d.ddReleasePalette(palette);
        }
        d.ddQuit();
        DestroyWindow(window);
    }
    d.ddSetBitDepth(8);
}
