// Source colour keys under Wine: set, taken from the top-left pixel, read back.
#include <gtest/gtest.h>

#include <cstdint>

#include "pixel_access.h"
#include "quillon_dll.h"

namespace {

constexpr long kNoColorKey = DDERR_NOCOLORKEY & 0xFFFF;

class ColourKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(160, 120);
        ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);
        surface = d.ddCreateSurface(8, 8);
        ASSERT_NE(surface, 0);
        library_test::paint(surface,
                            [](int x, int y) { return x + y == 0 ? 0x00ABCDEFu : 0x00111111u; });
    }
    void TearDown() override {
        d.ddReleaseSurface(surface);
        d.ddQuit();
        DestroyWindow(window);
    }

    const library_test::QuillonDll& d = library_test::dll();
    HWND window = nullptr;
    QHANDLE surface = 0;
};

} // namespace

TEST_F(ColourKeyTest, SetKeyIsReadBack) {
    EXPECT_EQ(d.ddSetColorKey(surface, 0x00FF00FF), 1);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(d.ddGetColorKey(surface), 0x00FF00FF);
    // The driver holds one key pair, low equal to high.
    DDCOLORKEY key = {};
    ASSERT_EQ(library_test::surfaceOf(surface)->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0x00FF00FFu);
    EXPECT_EQ(key.dwColorSpaceHighValue, 0x00FF00FFu);
    // Only the source blit key is touched.
    EXPECT_NE(library_test::surfaceOf(surface)->GetColorKey(DDCKEY_DESTBLT, &key), DD_OK);
}

TEST_F(ColourKeyTest, NegativeKeysTakeThePixelAtTheTopLeft) {
    for (long key : {-1L, -12345L, static_cast<long>(0x80000000u)}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(d.ddSetColorKey(surface, 0), 1);
        EXPECT_EQ(d.ddSetColorKey(surface, key), 1);
        EXPECT_EQ(d.ddGetColorKey(surface), 0x00ABCDEF);
    }
}

TEST_F(ColourKeyTest, NoKeyAndKeyZeroAreToldApartByTheLastResult) {
    EXPECT_EQ(d.ddGetColorKey(surface), 0);
    EXPECT_EQ(d.ddError(), kNoColorKey);
    EXPECT_EQ(d.ddSetColorKey(surface, 0), 1);
    EXPECT_EQ(d.ddGetColorKey(surface), 0);
    EXPECT_EQ(d.ddError(), 0);
}

TEST_F(ColourKeyTest, HandleZeroIsRefusedAndNotTheBackSurface) {
    QHANDLE back = d.ddGetBackSurface();
    ASSERT_NE(back, 0);
    EXPECT_EQ(d.ddSetColorKey(0, 0x00FF00FF), 0);
    EXPECT_EQ(d.ddSetColorKey(0, -1), 0);
    EXPECT_EQ(d.ddGetColorKey(0), -1);
    EXPECT_EQ(d.ddGetColorKey(back), 0);
    EXPECT_EQ(d.ddError(), kNoColorKey);
}

TEST_F(ColourKeyTest, ANegativeKeyFailsWhenTheSurfaceCannotBeLocked) {
    QHANDLE dc = d.ddGetDC(surface);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(d.ddSetColorKey(surface, -1), 0);
    EXPECT_EQ(d.ddReleaseDC(surface, dc), 1);
    EXPECT_EQ(d.ddGetColorKey(surface), 0);
    EXPECT_EQ(d.ddError(), kNoColorKey);
}
