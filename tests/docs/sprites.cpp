// The same soft-edged PNG sprite drawn twice through Quillon.dll's exports, bound by name
// as a VB Declare binds them: on the left loaded by ddCreateSurfaceFromImage and drawn by a
// keyed ddBltFast (pixels of alpha below 128 left out, the rest opaque), on the right
// loaded by ddCreateAlphaSurfaceFromImage and drawn by ddAlphaBlt (every pixel at its
// alpha). For the pages' picture; it shows the pair until its window is closed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Quillon.h"

namespace {

constexpr int kWidth = 320, kHeight = 128, kSprite = 64, kSquare = 16;

template <class Fn> bool bind(HMODULE dll, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    if (!fn) std::fprintf(stderr, "docs_sprites: Quillon.dll does not export %s\n", name);
    return fn != nullptr;
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

int main() {
    HMODULE dll = LoadLibraryW(L"Quillon.dll");
    decltype(&::ddInit) init;
    decltype(&::ddQuit) quit;
    decltype(&::ddColor) color;
    decltype(&::ddFillBlt) fill;
    decltype(&::ddCreateSurfaceFromImage) keyedImage;
    decltype(&::ddCreateAlphaSurfaceFromImage) alphaImage;
    decltype(&::ddBltFast) bltFast;
    decltype(&::ddAlphaBlt) alphaBlt;
    decltype(&::ddGetDC) getDC;
    decltype(&::ddReleaseDC) releaseDC;
    decltype(&::ddUpdateWindow) update;
    if (!dll || !bind(dll, init, "ddInit") || !bind(dll, quit, "ddQuit") ||
        !bind(dll, color, "ddColor") || !bind(dll, fill, "ddFillBlt") ||
        !bind(dll, keyedImage, "ddCreateSurfaceFromImage") ||
        !bind(dll, alphaImage, "ddCreateAlphaSurfaceFromImage") ||
        !bind(dll, bltFast, "ddBltFast") || !bind(dll, alphaBlt, "ddAlphaBlt") ||
        !bind(dll, getDC, "ddGetDC") || !bind(dll, releaseDC, "ddReleaseDC") ||
        !bind(dll, update, "ddUpdateWindow"))
        return 1;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillonSprites";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Keyed and translucent",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 40, 40,
                                  kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window || !init(window, kWidth, kHeight, 0)) {
        std::fprintf(stderr, "docs_sprites: no display context\n");
        return 1;
    }
    // The glow the demo uses, beside this program: opaque in its middle, fading to nothing
    // at its edge.
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string glow = std::string(path, n);
    glow = glow.substr(0, glow.find_last_of('\\') + 1) + "demo_glow.png";
    QHANDLE keyed = keyedImage(glow.c_str()), soft = alphaImage(glow.c_str());
    if (!keyed || !soft) {
        std::fprintf(stderr, "docs_sprites: demo_glow.png could not be loaded\n");
        quit();
        return 1;
    }
    // A checkerboard shows what each sprite leaves of what lies behind it.
    long dark = color(RGB(40, 48, 96)), light = color(RGB(88, 104, 168));
    for (int y = 0; y < kHeight; y += kSquare)
        for (int x = 0; x < kWidth; x += kSquare)
            fill(0, x, y, kSquare, kSquare, (x / kSquare + y / kSquare) % 2 ? light : dark);
    const int top = (kHeight - kSprite) / 2 - 8;
    bltFast(0, kWidth / 4 - kSprite / 2, top, kSprite, kSprite, keyed, 0, 0, 1);
    alphaBlt(0, 3 * kWidth / 4 - kSprite / 2, top, kSprite, kSprite, soft, 0, 0, 255);
    if (QHANDLE dc = getDC(0)) {
        HDC hdc = reinterpret_cast<HDC>(dc);
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, RGB(255, 255, 255));
        SetTextAlign(hdc, TA_CENTER);
        TextOutW(hdc, kWidth / 4, kHeight - 26, L"ddBltFast (keyed)", 17);
        TextOutW(hdc, 3 * kWidth / 4, kHeight - 26, L"ddAlphaBlt", 10);
        releaseDC(0, dc);
    }
    MSG msg;
    for (;;) {
        update(0);
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit();
                    return 0;
                }
                DispatchMessageW(&msg);
            }
        }
    }
}
