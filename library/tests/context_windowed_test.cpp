// Windowed display context: sizing and giving back the window, the getters, the window
// procedures, and what lands on screen.
#include <gtest/gtest.h>

#include <ddraw.h>

#include <utility>

#include "quillon_dll.h"

using library_test::dll;
using library_test::pump;
using library_test::screenPixel;

namespace {

RECT windowRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

RECT clientOnScreen(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Fills a surface through its lent device context, so these tests need no blit export.
void paintSurface(QHANDLE surface, COLORREF color) {
    const auto& d = dll();
    QHANDLE dc = d.ddGetDC(surface);
    ASSERT_NE(dc, 0);
    HDC hdc = reinterpret_cast<HDC>(dc);
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, d.ddGetWidth(surface), d.ddGetHeight(surface)};
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
    EXPECT_EQ(d.ddReleaseDC(surface, dc), 1);
}

// Paints the window's client area on screen directly, past the library.
void paintWindow(HWND w, COLORREF color) {
    HDC dc = GetDC(w);
    HBRUSH brush = CreateSolidBrush(color);
    RECT r;
    GetClientRect(w, &r);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(w, dc);
}

// Another subclasser, as another control or library would be: it keeps what it replaced in
// a window property named after it, passes every message on to it, and unhooks the classic
// way, writing back what it replaced whatever came into the chain after it.
constexpr wchar_t kLater[] = L"laterProc";     // installed after ddInit
constexpr wchar_t kEarlier[] = L"earlierProc"; // installed before ddInit

template <const wchar_t* Name> LRESULT CALLBACK passOnProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto replaced = reinterpret_cast<WNDPROC>(GetPropW(w, Name));
    return CallWindowProcW(replaced, w, m, wp, lp);
}

template <const wchar_t* Name> void subclass(HWND w) {
    LONG_PTR replaced =
        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passOnProc<Name>));
    SetPropW(w, Name, reinterpret_cast<HANDLE>(replaced));
}

template <const wchar_t* Name> void unsubclass(HWND w) {
    auto replaced = reinterpret_cast<LONG_PTR>(RemovePropW(w, Name));
    SetWindowLongPtrW(w, GWLP_WNDPROC, replaced);
}

const WNDPROC laterProc = passOnProc<kLater>;

WNDPROC procOf(HWND w) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
}

// Whether a message sent to the window gets through the chain to the window's own procedure:
// only its default handling stores the text.
bool reachesTheWindowsOwnProc(HWND w, const wchar_t* text) {
    SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    wchar_t got[64] = {};
    InternalGetWindowText(w, got, 64);
    return lstrcmpW(got, text) == 0;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

class Windowed : public ::testing::Test {
  protected:
    void TearDown() override {
        dll().ddQuit();
        if (window) DestroyWindow(window);
        if (parent) DestroyWindow(parent);
        pump(20);
    }
    HWND window = nullptr;
    HWND parent = nullptr;
};

} // namespace

TEST_F(Windowed, InitSizesTheClientAreaAndQuitGivesBackTheSizeNotThePlace) {
    const auto& d = dll();
    window = library_test::makeWindow(320, 200, nullptr, 60, 40);
    RECT before = windowRect(window);
    LONG_PTR procBefore = GetWindowLongPtrW(window, GWLP_WNDPROC);
    RECT client;
    GetClientRect(window, &client);
    int frameW = (before.right - before.left) - client.right;
    int frameH = (before.bottom - before.top) - client.bottom;

    ASSERT_EQ(d.ddInit(window, 640, 480, 0), 1);
    EXPECT_EQ(d.ddError(), 0);
    RECT open = windowRect(window);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(open.right - open.left, 640 + frameW);
    EXPECT_EQ(open.bottom - open.top, 480 + frameH);
    EXPECT_EQ(open.left, before.left);
    EXPECT_EQ(open.top, before.top);
    EXPECT_EQ(d.ddGetWidth(0), 640);
    EXPECT_EQ(d.ddGetHeight(0), 480);
    EXPECT_EQ(d.ddIsModeX(), 0);
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), procBefore);

    // Moved while open: quitting keeps the new place and restores the old size.
    SetWindowPos(window, nullptr, 90, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(20);
    EXPECT_EQ(d.ddQuit(), 1);
    RECT after = windowRect(window);
    EXPECT_EQ(after.left, 90);
    EXPECT_EQ(after.top, 70);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), procBefore);
    EXPECT_EQ(d.ddGetDD(), 0);
    EXPECT_EQ(d.ddGetPrimarySurface(), 0);
    EXPECT_EQ(d.ddGetBackSurface(), 0);
}

TEST_F(Windowed, HandlesAreTheDriversOwnInterfaces) {
    const auto& d = dll();
    window = library_test::makeWindow(160, 120);
    ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);

    auto* driver = reinterpret_cast<IUnknown*>(d.ddGetDD());
    ASSERT_NE(driver, nullptr);
    IDirectDraw2* dd2 = nullptr;
    ASSERT_EQ(driver->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)), S_OK);
    EXPECT_EQ(reinterpret_cast<void*>(dd2), reinterpret_cast<void*>(driver));
    dd2->Release();

    for (QHANDLE handle : {d.ddGetPrimarySurface(), d.ddGetBackSurface()}) {
        auto* s = reinterpret_cast<IUnknown*>(handle);
        ASSERT_NE(s, nullptr);
        IDirectDrawSurface3* s3 = nullptr;
        ASSERT_EQ(s->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&s3)), S_OK);
        EXPECT_EQ(reinterpret_cast<void*>(s3), reinterpret_cast<void*>(s));
        s3->Release();
    }
    EXPECT_NE(d.ddGetPrimarySurface(), d.ddGetBackSurface());
}

TEST_F(Windowed, FlagFourAloneIsWindowedAndCannotFlip) {
    const auto& d = dll();
    window = library_test::makeWindow(200, 100);
    LONG styleBefore = GetWindowLongW(window, GWL_EXSTYLE);
    ASSERT_EQ(d.ddInit(window, 320, 240, 4), 1);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, styleBefore & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowEnabled(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_EQ(d.ddIsModeX(), 0);
    // No flipping chain: the driver refuses and its error number is kept.
    EXPECT_EQ(d.ddFlip(), 0);
    EXPECT_EQ(d.ddError(), static_cast<long>(DDERR_NOTFLIPPABLE & 0xFFFF));
}

TEST_F(Windowed, SecondInitChangesNothing) {
    const auto& d = dll();
    window = library_test::makeWindow(100, 80);
    HWND other = library_test::makeWindow(50, 50, nullptr, 400, 300);
    ASSERT_EQ(d.ddInit(window, 100, 80, 0), 1);
    EXPECT_EQ(d.ddFlip(), 0); // leaves a non-zero last result behind
    QHANDLE dd = d.ddGetDD(), primary = d.ddGetPrimarySurface(), back = d.ddGetBackSurface();
    RECT otherBefore = windowRect(other);

    EXPECT_EQ(d.ddInit(other, 300, 200, 0), 0);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(d.ddInit(other, 300, 200, 1), 0);
    EXPECT_EQ(d.ddGetDD(), dd);
    EXPECT_EQ(d.ddGetPrimarySurface(), primary);
    EXPECT_EQ(d.ddGetBackSurface(), back);
    EXPECT_EQ(d.ddGetWidth(0), 100);
    RECT otherAfter = windowRect(other);
    EXPECT_TRUE(EqualRect(&otherBefore, &otherAfter));
    DestroyWindow(other);
}

TEST_F(Windowed, WindowZeroIsRefusedSilently) {
    const auto& d = dll();
    library_test::MessageBoxWatcher watcher;
    EXPECT_EQ(d.ddInit(nullptr, 100, 100, 0), 0);
    EXPECT_EQ(d.ddError(), 0);
    EXPECT_EQ(d.ddGetDD(), 0);
    pump(200);
    EXPECT_FALSE(watcher.finish());
}

TEST_F(Windowed, AHandleThatIsNoWindowIsRefusedLikeZero) {
    const auto& d = dll();
    window = library_test::makeWindow(100, 100);
    HWND gone = library_test::makeWindow(100, 100);
    DestroyWindow(gone);
    library_test::MessageBoxWatcher watcher;
    for (long flags : {0L, 1L}) {
        EXPECT_EQ(d.ddInit(gone, 320, 240, flags), 0);
        EXPECT_EQ(d.ddInit(reinterpret_cast<HWND>(0x00BAD000), 320, 240, flags), 0);
        EXPECT_EQ(d.ddError(), 0);
        EXPECT_EQ(d.ddGetDD(), 0);
    }
    pump(200);
    EXPECT_FALSE(watcher.finish());
    // Nothing was left half open: a real window still gets its context.
    EXPECT_EQ(d.ddInit(window, 100, 100, 0), 1);
}

TEST_F(Windowed, FailedInitShowsTheStepAndLeavesNothingOpen) {
    const auto& d = dll();
    window = library_test::makeWindow(200, 150, nullptr, 120, 90);
    RECT before = windowRect(window);
    library_test::MessageBoxWatcher watcher;
    // A back surface of no size is refused by the driver.
    EXPECT_EQ(d.ddInit(window, 0, 0, 0), 0);
    ASSERT_TRUE(watcher.finish());
    EXPECT_EQ(watcher.boxes, 1);
    EXPECT_EQ(watcher.text, L"Error in CreateBackSurface");
    EXPECT_EQ(watcher.caption, L"Quillon.Dll");
    EXPECT_NE(d.ddError(), 0);
    EXPECT_EQ(d.ddGetDD(), 0);
    EXPECT_EQ(d.ddGetPrimarySurface(), 0);
    EXPECT_EQ(d.ddGetBackSurface(), 0);
    RECT after = windowRect(window);
    EXPECT_TRUE(EqualRect(&before, &after));
    // The window's own procedure is back: a later context opens normally.
    ASSERT_EQ(d.ddInit(window, 32, 32, 0), 1);
}

TEST_F(Windowed, ABackSurfaceOfNegativeSizeIsRefusedWithTheStepsBox) {
    const auto& d = dll();
    window = library_test::makeWindow(200, 150);
    RECT before = windowRect(window);
    library_test::MessageBoxWatcher watcher;
    EXPECT_EQ(d.ddInit(window, -5, 100, 0), 0);
    ASSERT_TRUE(watcher.finish());
    EXPECT_EQ(watcher.text, L"Error in CreateBackSurface");
    EXPECT_EQ(d.ddError(), static_cast<long>(DDERR_INVALIDPARAMS & 0xFFFF));
    EXPECT_EQ(d.ddGetDD(), 0);
    RECT after = windowRect(window);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Windowed, UpdateWindowOfZeroPresentsTheBackSurface) {
    const auto& d = dll();
    window = library_test::makeWindow(120, 90, nullptr, 200, 150);
    ASSERT_EQ(d.ddInit(window, 120, 90, 0), 1);
    paintSurface(0, kGreen);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    RECT c = clientOnScreen(window);
    EXPECT_EQ(screenPixel(c.left + 1, c.top + 1), kGreen);
    EXPECT_EQ(screenPixel(c.right - 1, c.bottom - 1), kGreen);
    // Just outside the client area the copy does not land.
    EXPECT_NE(screenPixel(c.right + 2, c.bottom + 2), kGreen);

    paintSurface(0, kBlue);
    EXPECT_EQ(d.ddAsyncUpdateWindow(0), 1);
    EXPECT_EQ(screenPixel(c.left + 60, c.top + 45), kBlue);
    library_test::saveScreenshot(L"context_windowed_update");
}

TEST_F(Windowed, PaintPresentsTheRepaintSourceUntilItIsReleased) {
    const auto& d = dll();
    window = library_test::makeWindow(100, 100, nullptr, 300, 200);
    ASSERT_EQ(d.ddInit(window, 100, 100, 0), 1);
    QHANDLE surface = d.ddCreateSurface(100, 100);
    ASSERT_NE(surface, 0);
    paintSurface(surface, kRed);
    ASSERT_EQ(d.ddUpdateWindow(surface), 1);
    RECT c = clientOnScreen(window);
    ASSERT_EQ(screenPixel(c.left + 50, c.top + 50), kRed);

    paintWindow(window, kGrey);
    ASSERT_EQ(screenPixel(c.left + 50, c.top + 50), kGrey);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(screenPixel(c.left + 50, c.top + 50), kRed);

    EXPECT_EQ(d.ddReleaseSurface(surface), 1);
    paintWindow(window, kGrey);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(screenPixel(c.left + 50, c.top + 50), kGrey);
}

TEST_F(Windowed, MovingTheParentFormMovesTheTarget) {
    const auto& d = dll();
    parent = library_test::makeWindow(300, 240, nullptr, 50, 50);
    window = library_test::makeWindow(80, 60, parent, 20, 30);
    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    paintSurface(0, kGreen);
    RECT oldPlace = clientOnScreen(window);

    SetWindowPos(parent, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(50);
    RECT newPlace = clientOnScreen(window);
    ASSERT_NE(newPlace.left, oldPlace.left);
    paintWindow(window, kGrey);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    EXPECT_EQ(screenPixel(newPlace.left + 2, newPlace.top + 2), kGreen);
    EXPECT_EQ(screenPixel(newPlace.right - 2, newPlace.bottom - 2), kGreen);
    EXPECT_NE(screenPixel(oldPlace.left + 2, oldPlace.top + 2), kGreen);

    // The child moved inside its parent: its own WM_MOVE keeps the target too.
    SetWindowPos(window, nullptr, 120, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(50);
    newPlace = clientOnScreen(window);
    paintSurface(0, kBlue);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    EXPECT_EQ(screenPixel(newPlace.left + 2, newPlace.top + 2), kBlue);
    library_test::saveScreenshot(L"context_windowed_child_moved");
}

TEST_F(Windowed, AProcedureInstalledAfterInitKeepsItsPlace) {
    const auto& d = dll();
    parent = library_test::makeWindow(300, 240, nullptr, 50, 50);
    window = library_test::makeWindow(80, 60, parent, 20, 30);
    const HWND both[] = {window, parent};
    const WNDPROC own[] = {procOf(window), procOf(parent)};

    // Still in front after ddQuit, and the chain under it still reaches the window.
    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    for (HWND w : both)
        subclass<kLater>(w);
    d.ddQuit();
    for (HWND w : both) {
        EXPECT_EQ(procOf(w), laterProc);
        EXPECT_TRUE(reachesTheWindowsOwnProc(w, L"after ddQuit"));
    }

    // A second context on the same windows while the later procedures stay in front: the
    // library's procedures serve it (the target follows the parent) and no message loops.
    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    for (HWND w : both)
        EXPECT_EQ(procOf(w), laterProc);
    SetWindowPos(parent, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(50);
    paintSurface(0, kGreen);
    paintWindow(window, kGrey);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    RECT place = clientOnScreen(window);
    EXPECT_EQ(screenPixel(place.left + 2, place.top + 2), kGreen);
    EXPECT_TRUE(reachesTheWindowsOwnProc(window, L"second context"));
    d.ddQuit();

    // The later subclasser gives back what it replaced (the library's procedure): messages
    // still arrive, and the library then leaves the chain.
    for (int i = 0; i < 2; ++i) {
        unsubclass<kLater>(both[i]);
        EXPECT_TRUE(reachesTheWindowsOwnProc(both[i], L"undone"));
        EXPECT_EQ(procOf(both[i]), own[i]);
    }

    // Undone while the context is open: ddQuit gives back the windows' own procedures.
    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    for (HWND w : both)
        subclass<kLater>(w);
    for (HWND w : both)
        unsubclass<kLater>(w);
    d.ddQuit();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(procOf(both[i]), own[i]);
        EXPECT_TRUE(reachesTheWindowsOwnProc(both[i], L"closed"));
    }
}

TEST_F(Windowed, ASecondInitHooksAgainWhenAnEarlierProcedureDroppedTheLibrarys) {
    const auto& d = dll();
    window = library_test::makeWindow(80, 60, nullptr, 100, 100);
    const WNDPROC own = procOf(window);
    subclass<kEarlier>(window);
    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    subclass<kLater>(window);
    d.ddQuit(); // the library's procedure stays behind the later one, inactive
    // No message in between: the library's procedure gets no chance to leave by itself.
    unsubclass<kLater>(window);
    unsubclass<kEarlier>(window);
    ASSERT_EQ(procOf(window), own);

    ASSERT_EQ(d.ddInit(window, 80, 60, 0), 1);
    EXPECT_NE(procOf(window), own);
    RECT oldPlace = clientOnScreen(window);
    SetWindowPos(window, nullptr, 420, 320, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(50);
    RECT newPlace = clientOnScreen(window);
    ASSERT_NE(newPlace.left, oldPlace.left);
    paintSurface(0, kGreen);
    paintWindow(window, kGrey);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    EXPECT_EQ(screenPixel(newPlace.left + 2, newPlace.top + 2), kGreen);
    EXPECT_EQ(screenPixel(newPlace.right - 2, newPlace.bottom - 2), kGreen);
    library_test::saveScreenshot(L"context_windowed_rehooked_moved");
    d.ddQuit();
    EXPECT_EQ(procOf(window), own);
}

TEST_F(Windowed, ResizeWithoutMoveKeepsTheTarget) {
    const auto& d = dll();
    window = library_test::makeWindow(60, 60, nullptr, 500, 100);
    ASSERT_EQ(d.ddInit(window, 60, 60, 0), 1);
    RECT c = clientOnScreen(window);
    SetWindowPos(window, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER);
    pump(50);
    paintWindow(window, kGrey);
    paintSurface(0, kRed);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    EXPECT_EQ(screenPixel(c.right - 2, c.bottom - 2), kRed);
    EXPECT_EQ(screenPixel(c.right + 20, c.bottom + 20), kGrey);
}

TEST_F(Windowed, OwnSurfacesAndTheContextsSurfaces) {
    const auto& d = dll();
    window = library_test::makeWindow(64, 64);
    ASSERT_EQ(d.ddInit(window, 64, 64, 0), 1);
    // Sizes the driver refuses in both placements give no surface.
    EXPECT_EQ(d.ddCreateSurface(0, 10), 0);
    // No size, a negative size or more than the address space can hold: no surface (this
    // driver would hand out one without memory, and the first fill would crash).
    for (auto size : {std::pair<long, long>{0, 10},
                      {10, 0},
                      {-5, 10},
                      {10, -5},
                      {100000, 100000},
                      {16384, 16384}})
        EXPECT_EQ(d.ddCreateSurface(size.first, size.second), 0)
            << size.first << " x " << size.second;
    QHANDLE s = d.ddCreateSurface(33, 17);
    ASSERT_NE(s, 0);
    EXPECT_EQ(d.ddGetWidth(s), 33);
    EXPECT_EQ(d.ddGetHeight(s), 17);
    EXPECT_GE(d.ddGetPitch(s), 33 * d.GetBitsPixel() / 8);
    // This driver never reports video memory, so the system-memory fallback ran.
    EXPECT_EQ(d.ddInVideoMemory(s), 0);
    auto* unknown = reinterpret_cast<IUnknown*>(s);
    IDirectDrawSurface3* s3 = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&s3)),
              S_OK);
    EXPECT_EQ(reinterpret_cast<void*>(s3), reinterpret_cast<void*>(unknown));
    s3->Release();

    // The context's own surfaces are refused and keep working.
    EXPECT_EQ(d.ddReleaseSurface(d.ddGetBackSurface()), 0);
    EXPECT_EQ(d.ddReleaseSurface(d.ddGetPrimarySurface()), 0);
    EXPECT_EQ(d.ddGetWidth(d.ddGetBackSurface()), 64);
    paintSurface(0, kBlue);
    EXPECT_EQ(d.ddUpdateWindow(0), 1);
    // 0 is not the back surface here: nothing to release, done.
    EXPECT_EQ(d.ddReleaseSurface(0), 1);
    EXPECT_EQ(d.ddReleaseSurface(s), 1);
    // A device context of 0 is refused before the driver is asked.
    EXPECT_EQ(d.ddReleaseDC(0, 0), 0);
    EXPECT_EQ(d.ddWaitVBBegin(), 1);
    EXPECT_EQ(d.ddWaitVBEnd(), 1);
}

TEST_F(Windowed, GetDCRecordsAndLendsAWorkingContext) {
    const auto& d = dll();
    window = library_test::makeWindow(32, 32);
    ASSERT_EQ(d.ddInit(window, 32, 32, 0), 1);
    d.ddFlip(); // non-zero last result
    ASSERT_NE(d.ddError(), 0);
    QHANDLE dc = d.ddGetDC(0);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(d.ddError(), 0);
    HDC hdc = reinterpret_cast<HDC>(dc);
    SetPixel(hdc, 3, 4, kRed);
    EXPECT_EQ(GetPixel(hdc, 3, 4), kRed);
    EXPECT_EQ(d.ddReleaseDC(0, dc), 1);
}

TEST(Closed, EverythingAnswersZero) {
    const auto& d = dll();
    ASSERT_EQ(d.ddGetDD(), 0);
    EXPECT_EQ(d.ddGetPrimarySurface(), 0);
    EXPECT_EQ(d.ddGetBackSurface(), 0);
    EXPECT_EQ(d.ddCreateSurface(10, 10), 0);
    EXPECT_EQ(d.ddGetWidth(0), 0);
    EXPECT_EQ(d.ddGetHeight(0), 0);
    EXPECT_EQ(d.ddGetPitch(0), 0);
    EXPECT_EQ(d.ddInVideoMemory(0), 0);
    EXPECT_EQ(d.ddGetDC(0), 0);
    EXPECT_EQ(d.ddReleaseDC(0, 1234), 0);
    EXPECT_EQ(d.ddReleaseSurface(0), 0);
    EXPECT_EQ(d.ddFlip(), 0);
    EXPECT_EQ(d.ddUpdateWindow(0), 0);
    EXPECT_EQ(d.ddAsyncUpdateWindow(0), 0);
    EXPECT_EQ(d.ddWaitVBBegin(), 0);
    EXPECT_EQ(d.ddWaitVBEnd(), 0);
    EXPECT_EQ(d.ddCanOverlay(0), 0);
    EXPECT_EQ(d.ddCanWideSurface(0), 0);
    long modes[6] = {-7, -7, -7, -7, -7, -7};
    EXPECT_EQ(d.ddEnumDisplayModes(modes, 2), 0);
    for (long m : modes)
        EXPECT_EQ(m, -7);
    EXPECT_EQ(d.ddQuit(), 1);        // nothing open: still done
    EXPECT_EQ(d.GetBitsPixel(), 32); // the test display is 24-bit Xvfb, shown as 32 bpp
}
