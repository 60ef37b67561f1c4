// The colour probe under Wine: RGB colours turned into pixel values by the surface itself.
#include <gtest/gtest.h>

#include <cstdint>

#include "pixel_access.h"
#include "quillon_dll.h"

using library_test::dll;
using library_test::pixel;

namespace {

constexpr long kMagenta = RGB(255, 0, 255);

class ColourProbeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(160, 120);
        ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);
    }
    void TearDown() override {
        d.ddQuit();
        DestroyWindow(window);
    }

    // A surface of the given format whose first row holds 0xAB bytes, so that bits beyond
    // the probed pixel would show in an unmasked result, and whose pixel (0, 0) is `former`.
    QHANDLE preparedSurface(int bits, std::uint32_t former) {
        QHANDLE s = bits == 32 ? d.ddCreateSurface(8, 4)
                               : library_test::createSurfaceWithFormat(d.ddGetDD(), 8, 4, bits);
        if (!s) return 0;
        library_test::paint(s,
                            [&](int x, int y) { return x == 0 && y == 0 ? former : 0xABABABABu; });
        return s;
    }

    const library_test::QuillonDll& d = library_test::dll();
    HWND window = nullptr;
};

} // namespace

TEST_F(ColourProbeTest, ValuesStayWithinTheBitCountAndThePixelIsPutBack) {
    struct Case {
        int bits;
        std::uint32_t former;
        long expected; // -2: any index below 256 (the palette decides)
    };
    for (const Case& c : {Case{32, 0x00123456u, 0x00FF00FF}, Case{24, 0x00123456u, 0x00FF00FF},
                          Case{16, 0x1234u, 0xF81F}, Case{8, 0x12u, -2}}) {
        SCOPED_TRACE(c.bits);
        QHANDLE s = preparedSurface(c.bits, c.former);
        ASSERT_NE(s, 0) << "the driver refused a " << c.bits << "-bit surface";
        long value = d.ddColorEx(kMagenta, s);
        if (c.expected == -2) {
            EXPECT_GE(value, 0);
            EXPECT_LE(value, 255);
        } else {
            EXPECT_EQ(value, c.expected);
        }
        EXPECT_EQ(d.ddError(), 0);
        EXPECT_EQ(pixel(s, 0, 0), c.former);
        EXPECT_EQ(pixel(s, 1, 0), 0xABABABABu & (c.bits == 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1));
        d.ddReleaseSurface(s);
    }
}

TEST_F(ColourProbeTest, HandleZeroAndDdColorProbeThePrimarySurface) {
    QHANDLE primary = d.ddGetPrimarySurface();
    ASSERT_NE(primary, 0);
    ASSERT_EQ(d.ddIsModeX(), 0);
    COLORREF before = library_test::screenPixel(0, 0);
    std::uint32_t rawBefore = pixel(primary, 0, 0);
    EXPECT_EQ(d.ddColorEx(kMagenta, 0), 0x00FF00FF);
    EXPECT_EQ(d.ddColor(RGB(0, 255, 0)), 0x0000FF00);
    // The top-left pixel of the screen has its former colour again.
    EXPECT_EQ(pixel(primary, 0, 0), rawBefore);
    EXPECT_EQ(library_test::screenPixel(0, 0), before);
}

TEST_F(ColourProbeTest, NoSurfaceGivesMinusOne) {
    d.ddQuit();
    EXPECT_EQ(d.ddColor(kMagenta), -1);
    EXPECT_EQ(d.ddColorEx(kMagenta, 0), -1);
}

TEST_F(ColourProbeTest, AFailedLockGivesMinusOneAndKeepsThePixel) {
    QHANDLE s = preparedSurface(32, 0x00123456u);
    ASSERT_NE(s, 0);
    // While the caller holds the surface's device context the probe cannot have it either.
    QHANDLE dc = d.ddGetDC(s);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(d.ddColorEx(kMagenta, s), -1);
    EXPECT_NE(d.ddError(), 0);
    EXPECT_EQ(d.ddReleaseDC(s, dc), 1);
    EXPECT_EQ(pixel(s, 0, 0), 0x00123456u);
    d.ddReleaseSurface(s);
}

// The probe on a real full-screen primary surface in the display modes Wine offers
// (24 bits per pixel is refused there).
TEST(ColourProbeFullScreen, DdColorGivesValuesOfTheDisplayModesFormat) {
    const auto& d = library_test::dll();
    HWND window = library_test::makeWindow(200, 150);
    struct Mode {
        long bits;
        long magenta; // -2: a palette index
    };
    for (const Mode& m : {Mode{8, -2}, Mode{16, 0xF81F}, Mode{32, 0x00FF00FF}}) {
        SCOPED_TRACE(m.bits);
        d.ddSetBitDepth(m.bits);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
        QHANDLE primary = d.ddGetPrimarySurface();
        std::uint32_t before = pixel(primary, 0, 0);
        long value = d.ddColor(kMagenta);
        if (m.magenta == -2) {
            EXPECT_GE(value, 0);
            EXPECT_LE(value, 255);
        } else {
            EXPECT_EQ(value, m.magenta);
        }
        EXPECT_EQ(pixel(primary, 0, 0), before);
        d.ddQuit();
    }
    d.ddSetBitDepth(8);
    DestroyWindow(window);
}
