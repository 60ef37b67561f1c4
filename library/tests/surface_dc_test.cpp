// A device context lent by ddGetDC goes back through ddReleaseDC whole, however often.
// Under 64-bit Wine the handles of device contexts get bit 31 set after some forty of them
// (0x81410059 and on): a handle kept in a 32-bit long comes back sign-extended, ReleaseDC
// refuses it, the surface stays held and every later blit answers DDERR_SURFACEBUSY.
#include <gtest/gtest.h>

#include <cstdio>

#include "pixel_access.h"
#include "quillon_dll.h"

using library_test::dll;
using library_test::pixel;

namespace {

constexpr int kRoundTrips = 300;

class DeviceContext : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(64, 64);
        ASSERT_EQ(d.ddInit(window, 64, 64, 0), 1);
        back = d.ddGetBackSurface();
        ASSERT_NE(back, 0);
    }
    void TearDown() override {
        d.ddQuit();
        DestroyWindow(window);
    }

    const library_test::QuillonDll& d = dll();
    HWND window = nullptr;
    QHANDLE back = 0;
};

} // namespace

TEST_F(DeviceContext, ThreeHundredRoundTripsOnTheBackSurfaceThenABlit) {
    int bit31 = 0;
    for (int i = 0; i < kRoundTrips; ++i) {
        // Both spellings of the back surface: its own handle and 0.
        QHANDLE surface = i % 2 ? back : 0;
        QHANDLE dc = d.ddGetDC(surface);
        ASSERT_NE(dc, 0) << "round trip " << i << ": ddError " << d.ddError();
        if (static_cast<ULONG_PTR>(dc) & 0x80000000u) ++bit31;
        // A real device context of the surface: it draws into it.
        HDC hdc = reinterpret_cast<HDC>(dc);
        ASSERT_NE(SetPixel(hdc, 0, 0, RGB(0, 0, i % 256)), static_cast<COLORREF>(-1))
            << "round trip " << i;
        ASSERT_EQ(d.ddReleaseDC(surface, dc), 1)
            << "round trip " << i << ": the surface did not take back device context 0x" << std::hex
            << static_cast<ULONG_PTR>(dc);
    }
    std::printf("%d of %d device contexts had bit 31 set\n", bit31, kRoundTrips);
    RecordProperty("handlesWithBit31", bit31);

    // Nothing is left held: a copy and a fill into the back surface work.
    QHANDLE sprite = d.ddCreateSurface(8, 8);
    ASSERT_NE(sprite, 0);
    library_test::paint(sprite, [](int, int) { return 0x00123456u; });
    ASSERT_EQ(d.ddClear(0, 0), 1) << "ddError " << d.ddError();
    ASSERT_EQ(d.ddBltFast(0, 4, 4, 8, 8, sprite, 0, 0, 0), 1) << "ddError " << d.ddError();
    EXPECT_EQ(pixel(back, 4, 4) & 0x00FFFFFFu, 0x00123456u);
    EXPECT_EQ(pixel(back, 11, 11) & 0x00FFFFFFu, 0x00123456u);
    EXPECT_EQ(pixel(back, 12, 12) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(d.ddFillBlt(0, 20, 20, 4, 4, 0x00654321), 1) << "ddError " << d.ddError();
    EXPECT_EQ(pixel(back, 21, 21) & 0x00FFFFFFu, 0x00654321u);
    EXPECT_EQ(d.ddReleaseSurface(sprite), 1);
}
