// Full-screen display contexts in the test prefix's virtual desktop: opening each depth,
// flipping, giving the window back, refused modes, and lost surfaces restored once.
#include <gtest/gtest.h>

#include <ddraw.h>

#include <vector>

#include "quillon_dll.h"

using library_test::dll;
using library_test::pump;

namespace {

// The cursor's show count without changing it.
int cursorCount() {
    int c = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return c - 1;
}

bool isTopmost(HWND w) {
    return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

IDirectDrawSurface3* surfaceOf(QHANDLE handle) {
    return reinterpret_cast<IDirectDrawSurface3*>(handle);
}

HRESULT WINAPI collectMode(LPDDSURFACEDESC desc, LPVOID ctx) {
    auto* v = static_cast<std::vector<long>*>(ctx);
    v->push_back(static_cast<long>(desc->dwWidth));
    v->push_back(static_cast<long>(desc->dwHeight));
    v->push_back(static_cast<long>(desc->ddpfPixelFormat.dwRGBBitCount));
    return DDENUMRET_OK;
}

IDirectDraw2* driverOf(QHANDLE handle) {
    return reinterpret_cast<IDirectDraw2*>(handle);
}

// Loses every surface of the open context the way a mode switch does, then puts the
// context's own mode back so that Restore can succeed.
void loseSurfaces(int width, int height, int bits) {
    IDirectDraw2* dd = driverOf(dll().ddGetDD());
    ASSERT_EQ(dd->SetDisplayMode(800, 600, bits, 0, 0), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(width, height, bits, 0, 0), DD_OK);
    pump(20);
}

struct Calls {
    int blt = 0, getDC = 0, flip = 0;
    int stillDrawing = 0; // GetDC answers "still drawing" this many times first
    bool alwaysLost = false;
};
Calls g_calls;
library_test::MethodHook* g_hook = nullptr;

HRESULT WINAPI hookedBlt(IDirectDrawSurface3* self, LPRECT dst, LPDIRECTDRAWSURFACE3 src,
                         LPRECT srcRect, DWORD flags, LPDDBLTFX fx) {
    ++g_calls.blt;
    if (g_calls.alwaysLost || self->IsLost() == DDERR_SURFACELOST ||
        (src && src->IsLost() == DDERR_SURFACELOST))
        return DDERR_SURFACELOST;
    return g_hook->original<decltype(&hookedBlt)>(library_test::surface_slot::Blt)(
        self, dst, src, srcRect, flags, fx);
}

HRESULT WINAPI hookedGetDC(IDirectDrawSurface3* self, HDC* dc) {
    ++g_calls.getDC;
    if (g_calls.stillDrawing > 0) {
        --g_calls.stillDrawing;
        return DDERR_WASSTILLDRAWING;
    }
    if (g_calls.alwaysLost || self->IsLost() == DDERR_SURFACELOST) return DDERR_SURFACELOST;
    return g_hook->original<decltype(&hookedGetDC)>(library_test::surface_slot::GetDC)(self, dc);
}

HRESULT WINAPI hookedFlip(IDirectDrawSurface3* self, LPDIRECTDRAWSURFACE3 target, DWORD flags) {
    ++g_calls.flip;
    if (g_calls.alwaysLost) return DDERR_SURFACELOST;
    return g_hook->original<decltype(&hookedFlip)>(library_test::surface_slot::Flip)(self, target,
                                                                                     flags);
}

class FullScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(320, 240, nullptr, 100, 80);
        GetWindowRect(window, &before);
        cursorBefore = cursorCount();
        screenBits = dll().GetBitsPixel();
    }
    void TearDown() override {
        dll().ddQuit();
        dll().ddSetBitDepth(8);
        DestroyWindow(window);
        pump(20);
    }
    // What ddQuit must have given back.
    void expectWindowGivenBack() {
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_FALSE(isTopmost(window));
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_EQ(cursorCount(), cursorBefore);
        EXPECT_EQ(dll().GetBitsPixel(), screenBits);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    }
    HWND window = nullptr;
    RECT before = {};
    int cursorBefore = 0;
    long screenBits = 0;
};

} // namespace

TEST_F(FullScreen, EachDepthOpensFlipsAndGivesTheWindowBack) {
    const auto& d = dll();
    for (long bits : {8L, 16L, 32L}) {
        SCOPED_TRACE(bits);
        EXPECT_EQ(d.ddSetBitDepth(bits), 1);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
        EXPECT_EQ(d.ddError(), 0);
        EXPECT_EQ(d.GetBitsPixel(), bits);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
        EXPECT_FALSE(IsWindowEnabled(window));
        EXPECT_TRUE(isTopmost(window));
        EXPECT_EQ(cursorCount(), cursorBefore - 1);
        EXPECT_EQ(d.ddIsModeX(), 0);

        QHANDLE primary = d.ddGetPrimarySurface(), back = d.ddGetBackSurface();
        ASSERT_NE(primary, 0);
        ASSERT_NE(back, 0);
        EXPECT_EQ(d.ddGetWidth(0), 640);
        EXPECT_EQ(d.ddGetHeight(0), 480);
        EXPECT_EQ(d.ddGetWidth(primary), 640);
        EXPECT_EQ(d.ddGetPitch(0) >= 640 * bits / 8, true);

        // The back buffer is the chain's: a flip swaps what the two handles show.
        QHANDLE dc = d.ddGetDC(0);
        ASSERT_NE(dc, 0);
        SetPixel(reinterpret_cast<HDC>(dc), 5, 5, RGB(255, 255, 255));
        EXPECT_EQ(d.ddReleaseDC(0, dc), 1);
        EXPECT_EQ(d.ddFlip(), 1);
        EXPECT_EQ(d.ddError(), 0);
        dc = d.ddGetDC(primary);
        ASSERT_NE(dc, 0);
        EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(dc), 5, 5), RGB(255, 255, 255));
        EXPECT_EQ(d.ddReleaseDC(primary, dc), 1);
        EXPECT_EQ(d.ddFlip(), 1);

        if (bits == 16) {
            // What a person sees: a frame drawn into the back buffer and flipped.
            dc = d.ddGetDC(0);
            ASSERT_NE(dc, 0);
            HDC hdc = reinterpret_cast<HDC>(dc);
            RECT all = {0, 0, 640, 480}, box = {200, 150, 440, 330};
            HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
            FillRect(hdc, &all, blue);
            DeleteObject(blue);
            FillRect(hdc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SetBkMode(hdc, TRANSPARENT);
            TextOutW(hdc, 230, 230, L"full-screen 640x480x16", 22);
            EXPECT_EQ(d.ddReleaseDC(0, dc), 1);
            EXPECT_EQ(d.ddFlip(), 1);
            pump(50);
            EXPECT_EQ(library_test::screenPixel(320, 160), RGB(255, 255, 255));
            EXPECT_EQ(library_test::screenPixel(100, 100), RGB(0, 0, 255));
            library_test::saveScreenshot(L"context_fullscreen16_flipped");
        }

        // Full-screen window updates cover the whole primary surface.
        QHANDLE s = d.ddCreateSurface(64, 48);
        ASSERT_NE(s, 0);
        EXPECT_EQ(d.ddUpdateWindow(s), 1);
        EXPECT_EQ(d.ddAsyncUpdateWindow(0), 1);
        EXPECT_EQ(d.ddReleaseSurface(s), 1);
        EXPECT_EQ(d.ddReleaseSurface(back), 0);
        EXPECT_EQ(d.ddReleaseSurface(primary), 0);
        EXPECT_EQ(d.ddFlip(), 1);

        EXPECT_EQ(d.ddQuit(), 1);
        expectWindowGivenBack();
        EXPECT_EQ(d.ddGetBackSurface(), 0);
    }
}

TEST_F(FullScreen, RefusedDepthShowsTheSetDisplayModeBox) {
    const auto& d = dll();
    d.ddSetBitDepth(24); // the driver offers no 24-bit modes
    library_test::MessageBoxWatcher watcher;
    EXPECT_EQ(d.ddInit(window, 640, 480, 1), 0);
    ASSERT_TRUE(watcher.finish());
    EXPECT_EQ(watcher.boxes, 1);
    EXPECT_EQ(watcher.text, L"Error in SetDisplayMode\nTry 640 x 480; 8 bits");
    EXPECT_EQ(watcher.caption, L"Quillon.Dll");
    EXPECT_NE(d.ddError(), 0);
    EXPECT_EQ(d.ddGetDD(), 0);
    EXPECT_EQ(d.ddGetPrimarySurface(), 0);
    EXPECT_EQ(d.ddGetBackSurface(), 0);
    // The cursor was never hidden, so it is not shown a second time either.
    expectWindowGivenBack();
    EXPECT_EQ(d.ddGetBitDepth(), 24);
}

TEST_F(FullScreen, RefusedSizeShowsTheSetDisplayModeBox) {
    const auto& d = dll();
    library_test::MessageBoxWatcher watcher;
    EXPECT_EQ(d.ddInit(window, 123, 45, 1), 0);
    ASSERT_TRUE(watcher.finish());
    EXPECT_EQ(watcher.text, L"Error in SetDisplayMode\nTry 640 x 480; 8 bits");
    EXPECT_NE(d.ddError(), 0);
    expectWindowGivenBack();
    // The advice works.
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
    EXPECT_EQ(d.ddQuit(), 1);
    expectWindowGivenBack();
}

TEST_F(FullScreen, ModeXFlagsOpenALinearModeHere) {
    const auto& d = dll();
    for (long flags : {2L, 3L, 2L | 4L, 1L | 4L}) {
        SCOPED_TRACE(flags);
        ASSERT_EQ(d.ddInit(window, 320, 200, flags), 1);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
        // This driver never reports Mode X surfaces.
        EXPECT_EQ(d.ddIsModeX(), 0);
        EXPECT_EQ(d.ddFlip(), 1);
        EXPECT_EQ(d.ddQuit(), 1);
        expectWindowGivenBack();
    }
}

TEST_F(FullScreen, FlipRestoresTheLostPrimaryAndFlipsOnceMore) {
    const auto& d = dll();
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
    loseSurfaces(640, 480, 8);
    IDirectDrawSurface3* primary = surfaceOf(d.ddGetPrimarySurface());
    ASSERT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(d.ddFlip(), 1);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(primary->IsLost(), DD_OK);
}

TEST_F(FullScreen, FlipRetriesExactlyOnce) {
    const auto& d = dll();
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
    {
        library_test::MethodHook hook(d.ddGetPrimarySurface());
        g_hook = &hook;
        g_calls = {};
        g_calls.alwaysLost = true;
        hook.replace(library_test::surface_slot::Flip, reinterpret_cast<const void*>(&hookedFlip));
        EXPECT_EQ(d.ddFlip(), 0);
        EXPECT_EQ(g_calls.flip, 2);
        EXPECT_EQ(d.ddError(), 450);
    }
    EXPECT_EQ(d.ddFlip(), 1);
}

// Wine's Blt and GetDC go on working on lost surfaces; the hooks answer the way the
// Windows driver does, from the surfaces' real lost state.
TEST_F(FullScreen, UpdateWindowRestoresPrimaryAndSourceAndCopiesOnceMore) {
    const auto& d = dll();
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
    IDirectDrawSurface3* primary = surfaceOf(d.ddGetPrimarySurface());
    IDirectDrawSurface3* back = surfaceOf(d.ddGetBackSurface());
    library_test::MethodHook hook(d.ddGetPrimarySurface());
    g_hook = &hook;
    hook.replace(library_test::surface_slot::Blt, reinterpret_cast<const void*>(&hookedBlt));

    for (auto update : {d.ddUpdateWindow, d.ddAsyncUpdateWindow}) {
        loseSurfaces(640, 480, 8);
        ASSERT_EQ(primary->IsLost(), DDERR_SURFACELOST);
        ASSERT_EQ(back->IsLost(), DDERR_SURFACELOST);
        g_calls = {};
        EXPECT_EQ(update(0), 1);
        EXPECT_EQ(g_calls.blt, 2);
        EXPECT_EQ(d.ddError(), 0);
        EXPECT_EQ(primary->IsLost(), DD_OK);
        EXPECT_EQ(back->IsLost(), DD_OK);
    }

    // Still lost after the one retry: no third attempt, the second answer is kept.
    g_calls = {};
    g_calls.alwaysLost = true;
    EXPECT_EQ(d.ddUpdateWindow(0), 0);
    EXPECT_EQ(g_calls.blt, 2);
    EXPECT_EQ(d.ddError(), 450);
}

TEST_F(FullScreen, GetDCRestoresOnceAndKeepsTheFirstAnswer) {
    const auto& d = dll();
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
    IDirectDrawSurface3* back = surfaceOf(d.ddGetBackSurface());
    library_test::MethodHook hook(d.ddGetBackSurface());
    g_hook = &hook;
    hook.replace(library_test::surface_slot::GetDC, reinterpret_cast<const void*>(&hookedGetDC));

    loseSurfaces(640, 480, 8);
    ASSERT_EQ(back->IsLost(), DDERR_SURFACELOST);
    g_calls = {};
    QHANDLE dc = d.ddGetDC(0);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(g_calls.getDC, 2);
    // The recorded answer is the first one: the surface was lost.
    EXPECT_EQ(d.ddError(), 450);
    EXPECT_EQ(back->IsLost(), DD_OK);
    HDC hdc = reinterpret_cast<HDC>(dc);
    SetPixel(hdc, 1, 1, RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(hdc, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(d.ddReleaseDC(0, dc), 1);

    // A busy driver is asked again until it answers; each answer is recorded.
    g_calls = {};
    g_calls.stillDrawing = 3;
    dc = d.ddGetDC(0);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(g_calls.getDC, 4);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(d.ddReleaseDC(0, dc), 1);

    // Lost for good: one restore, one more try, then 0.
    g_calls = {};
    g_calls.alwaysLost = true;
    EXPECT_EQ(d.ddGetDC(0), 0);
    EXPECT_EQ(g_calls.getDC, 2);
    EXPECT_EQ(d.ddError(), 450);
}

TEST_F(FullScreen, EnumeratesTheDriversModesIntoNoMoreThanItsRoom) {
    const auto& d = dll();
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);

    // The driver's own list, read independently.
    std::vector<long> all;
    ASSERT_EQ(driverOf(d.ddGetDD())->EnumDisplayModes(0, nullptr, &all, collectMode), DD_OK);
    long total = static_cast<long>(all.size() / 3);
    ASSERT_GE(total, 5);

    long modes[9];
    for (long& m : modes)
        m = -7;
    EXPECT_EQ(d.ddEnumDisplayModes(modes, 2), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(modes[i], all[i]) << i;
    for (int i = 6; i < 9; ++i)
        EXPECT_EQ(modes[i], -7) << i;

    std::vector<long> big(3 * (total + 5), -7);
    EXPECT_EQ(d.ddEnumDisplayModes(big.data(), total + 5), total);
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(big[i], all[i]) << i;
    EXPECT_EQ(big[all.size()], -7);

    for (long maxModes : {0L, -1L}) {
        long guard[3] = {-7, -7, -7};
        EXPECT_EQ(d.ddEnumDisplayModes(guard, maxModes), 0);
        for (long g : guard)
            EXPECT_EQ(g, -7);
    }
    // Enumeration records nothing.
    d.ddFlip();
    EXPECT_EQ(d.ddError(), 0);
}
