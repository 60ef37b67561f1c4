// The device-context rule and the colour-key retry, with surfaces that report a busy driver
// or a lost surface through a proxy in front of real ones (Wine never reports either here).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pixel_access.h"
#include "quillon_dll.h"
#include "surface_proxy.h"

using library_test::SurfaceProxy;
using Log = std::vector<std::string>;

namespace {

constexpr long kLost = DDERR_SURFACELOST & 0xFFFF;
constexpr long kMagenta = RGB(255, 0, 255);
constexpr std::uint32_t kFormer = 0x00123456;

class ColourRetryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(160, 120);
        ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);
        real = d.ddCreateSurface(8, 8);
        ASSERT_NE(real, 0);
        library_test::paint(real, [](int, int) { return kFormer; });
        proxy = new SurfaceProxy(library_test::surfaceOf(real), "s", log);
    }
    void TearDown() override {
        delete proxy;
        d.ddReleaseSurface(real);
        d.ddQuit();
        DestroyWindow(window);
    }

    const library_test::QuillonDll& d = library_test::dll();
    HWND window = nullptr;
    QHANDLE real = 0;
    SurfaceProxy* proxy = nullptr;
    Log log;
};

} // namespace

TEST_F(ColourRetryTest, ABusyDriverIsAskedAgainUntilItGivesTheDeviceContext) {
    proxy->getDC = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING};
    EXPECT_EQ(d.ddColorEx(kMagenta, proxy->handle()), 0x00FF00FF);
    EXPECT_EQ(d.ddError(), 0); // each answer recorded, the last one was success
    EXPECT_EQ(log, (Log{"GetDC s", "GetDC s", "GetDC s", "GetDC s", "Lock s", "GetDC s"}));
    EXPECT_EQ(library_test::pixel(real, 0, 0), kFormer);
}

TEST_F(ColourRetryTest, ALostSurfaceIsRestoredAndAskedOnceMoreUnrecorded) {
    proxy->getDC = {DDERR_SURFACELOST};
    EXPECT_EQ(d.ddColorEx(kMagenta, proxy->handle()), 0x00FF00FF);
    // The second answer is not recorded: the loss stays visible.
    EXPECT_EQ(d.ddError(), kLost);
    EXPECT_EQ(log, (Log{"GetDC s", "Restore s", "GetDC s", "Lock s", "GetDC s"}));
    EXPECT_EQ(library_test::pixel(real, 0, 0), kFormer);

    log.clear();
    proxy->getDC = {DDERR_SURFACELOST, DDERR_SURFACELOST};
    EXPECT_EQ(d.ddColorEx(kMagenta, proxy->handle()), -1);
    EXPECT_EQ(log, (Log{"GetDC s", "Restore s", "GetDC s"}));

    log.clear();
    proxy->getDC = {DDERR_GENERIC};
    EXPECT_EQ(d.ddColorEx(kMagenta, proxy->handle()), -1);
    EXPECT_EQ(d.ddError(), DDERR_GENERIC & 0xFFFF);
    EXPECT_EQ(log, (Log{"GetDC s"}));
    EXPECT_EQ(library_test::pixel(real, 0, 0), kFormer);
}

TEST_F(ColourRetryTest, WithoutADeviceContextForTheWriteBackTheProbeColourStays) {
    proxy->getDC = {DD_OK, DDERR_GENERIC};
    EXPECT_EQ(d.ddColorEx(kMagenta, proxy->handle()), 0x00FF00FF);
    EXPECT_EQ(d.ddError(), 0); // the write-back's answer is not recorded
    EXPECT_EQ(library_test::pixel(real, 0, 0), 0x00FF00FFu);
}

TEST_F(ColourRetryTest, ColourKeysRestoreAndTryOnceMore) {
    proxy->setColorKey = {DDERR_SURFACELOST};
    EXPECT_EQ(d.ddSetColorKey(proxy->handle(), 0x00ABCDEF), 1);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(log, (Log{"SetColorKey s", "Restore s", "SetColorKey s"}));

    log.clear();
    proxy->getColorKey = {DDERR_SURFACELOST};
    EXPECT_EQ(d.ddGetColorKey(proxy->handle()), 0x00ABCDEF);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(log, (Log{"GetColorKey s", "Restore s", "GetColorKey s"}));

    log.clear();
    proxy->setColorKey = {DDERR_SURFACELOST, DDERR_SURFACELOST};
    EXPECT_EQ(d.ddSetColorKey(proxy->handle(), 0x00111111), 0);
    EXPECT_EQ(d.ddError(), kLost);
    proxy->getColorKey = {DDERR_SURFACELOST, DDERR_SURFACELOST};
    EXPECT_EQ(d.ddGetColorKey(proxy->handle()), 0);
    EXPECT_EQ(d.ddError(), kLost);
    EXPECT_EQ(log, (Log{"SetColorKey s", "Restore s", "SetColorKey s", "GetColorKey s", "Restore s",
                        "GetColorKey s"}));
    // The key set before is still the surface's.
    EXPECT_EQ(d.ddGetColorKey(real), 0x00ABCDEF);
}
