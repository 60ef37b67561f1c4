// Lost surfaces under Wine: a display-mode switch in a full-screen display context loses
// every surface; the drawing exports restore what they use and try once more.
#include <gtest/gtest.h>

#include "pixel_access.h"
#include "quillon_dll.h"

namespace {

const library_test::QuillonDll& d = library_test::dll();

class LostSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(200, 150);
        d.ddSetBitDepth(32);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << "full-screen needs the virtual desktop";
        back = d.ddGetBackSurface();
        ASSERT_NE(back, 0);
        sprite = d.ddCreateSurface(32, 32);
        ASSERT_NE(sprite, 0);
    }
    void TearDown() override {
        if (sprite) d.ddReleaseSurface(sprite);
        d.ddQuit();
        d.ddSetBitDepth(8);
        DestroyWindow(window);
    }

    // Switches the display mode away and back through the library's own driver object.
    void loseEverything() {
        auto* driver = reinterpret_cast<IDirectDraw2*>(d.ddGetDD());
        ASSERT_EQ(driver->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
        ASSERT_EQ(driver->SetDisplayMode(640, 480, 32, 0, 0), DD_OK);
        ASSERT_EQ(isLost(back), DDERR_SURFACELOST);
        ASSERT_EQ(isLost(sprite), DDERR_SURFACELOST);
    }
    static HRESULT isLost(QHANDLE s) { return library_test::surfaceOf(s)->IsLost(); }

    HWND window = nullptr;
    QHANDLE back = 0;
    QHANDLE sprite = 0;
};

} // namespace

// Wine's Blt does not report the loss (only Lock and Flip do), so the restore-and-retry
// cannot be seen here; blit_retry_test.cpp shows it with surfaces that report a loss. What
// Wine can show: after the switch the copy still succeeds and records success.
TEST_F(LostSurfaceTest, BitBltAfterADisplayModeSwitchSucceeds) {
    loseEverything();
    EXPECT_EQ(d.ddBitBlt(0, 10, 10, 32, 32, sprite, 0, 0, 0), 1);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(d.ddSafeBltFast(0, -10, 10, 32, 32, 640, 480, sprite, 0, 0, 32, 32, 0), 1);
    EXPECT_EQ(d.ddClear(0, 0), 1);
    // The colour probe reads back through a lock, which does report the loss.
    EXPECT_EQ(d.ddColorEx(RGB(255, 0, 255), sprite), -1);
}
