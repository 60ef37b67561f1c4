// What the benchmarks that drive Quillon.dll share: its exports bound by name, as a VB
// Declare binds them, and a plain window of a given client size for the display context.
#pragma once

#include <windows.h>

namespace ab {

template <class Fn> bool BindExport(HMODULE module, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fn != nullptr;
}

inline LRESULT CALLBACK BenchWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

inline HWND MakeBenchWindow(const wchar_t* className, const wchar_t* title, int width, int height) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BenchWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

} // namespace ab
