// A caller that loads the library itself, opens a windowed context, lets another procedure
// in front of the library's, closes the context and frees the library: the window's later
// messages still pass through the library's procedure, so its code must still be there.
// Its own program: once pinned, the library stays for the rest of the process.
#include <gtest/gtest.h>

#include "quillon_dll.h"

namespace {

// Messages that reached the window's own procedure, behind the library's.
int g_laterMessages = 0;

WNDPROC savedProc(HWND w, const wchar_t* name) {
    return reinterpret_cast<WNDPROC>(GetPropW(w, name));
}

// The window's own procedure: the library's passes every message on to it.
LRESULT CALLBACK ownProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    ++g_laterMessages;
    WNDPROC plain = savedProc(w, L"ownProc");
    if (m == WM_NCDESTROY) RemovePropW(w, L"ownProc");
    return CallWindowProcW(plain, w, m, wp, lp);
}

// Put in front of the library's after ddInit: the library's stays in the chain.
LRESULT CALLBACK laterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    WNDPROC replaced = savedProc(w, L"laterProc");
    if (m == WM_NCDESTROY) RemovePropW(w, L"laterProc");
    return CallWindowProcW(replaced, w, m, wp, lp);
}

void putInFront(HWND w, WNDPROC proc, const wchar_t* name) {
    LONG_PTR replaced = SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    SetPropW(w, name, reinterpret_cast<HANDLE>(replaced));
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

    putInFront(window, ownProc, L"ownProc");
    ASSERT_EQ(init(window, 80, 60, 0), 1);
    putInFront(window, laterProc, L"laterProc");
    EXPECT_EQ(quit(), 1);
    EXPECT_TRUE(FreeLibrary(quillon));

    // Every one of these goes through the later procedure and the library's into the
    // window's own.
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
