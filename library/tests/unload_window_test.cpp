// A caller that loads the library itself, opens a windowed context, lets another procedure
// in front of the library's, closes the context and frees the library: the window's later
// messages still pass through the library's procedure, so its code must still be there.
// Its own program: once pinned, the library stays for the rest of the process.
#include <gtest/gtest.h>

#include "quillon_dll.h"

namespace {

int g_laterMessages = 0;

LRESULT CALLBACK laterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    ++g_laterMessages;
    auto replaced = reinterpret_cast<WNDPROC>(GetPropW(w, L"laterProc"));
    if (m == WM_NCDESTROY) RemovePropW(w, L"laterProc");
    return CallWindowProcW(replaced, w, m, wp, lp);
}

} // namespace

TEST(Unload, AWindowOutlivesTheFreedLibrary) {
    HWND window = library_test::makeWindow(80, 60, nullptr, 100, 100);
    HMODULE quillon = LoadLibraryW(L"Quillon.dll");
    ASSERT_NE(quillon, nullptr);
    auto init = reinterpret_cast<decltype(&::ddInit)>(
        reinterpret_cast<void*>(GetProcAddress(quillon, "ddInit")));
    auto quit = reinterpret_cast<decltype(&::ddQuit)>(
        reinterpret_cast<void*>(GetProcAddress(quillon, "ddQuit")));
    ASSERT_TRUE(init && quit);

    ASSERT_EQ(init(window, 80, 60, 0), 1);
    LONG_PTR replaced =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(laterProc));
    SetPropW(window, L"laterProc", reinterpret_cast<HANDLE>(replaced));
    EXPECT_EQ(quit(), 1);
    EXPECT_TRUE(FreeLibrary(quillon));

    // Every one of these goes through the later procedure into the library's.
    g_laterMessages = 0;
    SetWindowPos(window, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    library_test::pump(50);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_GT(g_laterMessages, 3);
    // Pinned: freeing it did not unload it.
    EXPECT_NE(GetModuleHandleW(L"Quillon.dll"), nullptr);
}
