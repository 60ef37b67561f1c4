// Sprite demo: a caller of Quillon.dll written the way a VB game uses it. It loads the DLL
// and binds every export it needs by plain name, opens a windowed display context on its
// own window, bounces colour-keyed sprites from a sprite sheet and from a PNG with
// transparency over a drawn background for a few hundred frames, saves a screenshot of
// its window and closes everything.
//
//   demo.exe [screenshot.bmp] [/fullscreen]
//
// With /fullscreen it then runs the same scene in a 640 x 480 x 8 full-screen mode with a
// palette from a bitmap file, presenting with flips; that screenshot gets "-fullscreen"
// before its extension.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Quillon.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 300;
constexpr int kFrameMs = 15;
constexpr int kSpriteSize = 32;
constexpr int kSheetKinds = 4;
// Sprites of the last kind come from the PNG.
constexpr int kSpriteKinds = kSheetKinds + 1;
// The glow's place in the sky and the caption panel's height (windowed only).
constexpr int kGlowX = 540, kGlowY = 30, kGlowSize = 64, kPanelHeight = 36;

// The exports the demo uses, bound by name like a VB Declare.
struct Quillon {
    HMODULE module = nullptr;
    decltype(&::ddInit) ddInit;
    decltype(&::ddQuit) ddQuit;
    decltype(&::ddSetBitDepth) ddSetBitDepth;
    decltype(&::ddError) ddError;
    decltype(&::ddGetBackSurface) ddGetBackSurface;
    decltype(&::ddCreateSurfaceFromFile) ddCreateSurfaceFromFile;
    decltype(&::ddCreateSurfaceFromImage) ddCreateSurfaceFromImage;
    decltype(&::ddCreateAlphaSurfaceFromImage) ddCreateAlphaSurfaceFromImage;
    decltype(&::ddCreateSurface) ddCreateSurface;
    decltype(&::ddAlphaBlt) ddAlphaBlt;
    decltype(&::ddSafeAlphaBlt) ddSafeAlphaBlt;
    decltype(&::ddReleaseSurface) ddReleaseSurface;
    decltype(&::ddGetWidth) ddGetWidth;
    decltype(&::ddGetHeight) ddGetHeight;
    decltype(&::ddColor) ddColor;
    decltype(&::ddClear) ddClear;
    decltype(&::ddFillBlt) ddFillBlt;
    decltype(&::ddSafeFillBlt) ddSafeFillBlt;
    decltype(&::ddSafeBltFast) ddSafeBltFast;
    decltype(&::ddGetDC) ddGetDC;
    decltype(&::ddReleaseDC) ddReleaseDC;
    decltype(&::ddUpdateWindow) ddUpdateWindow;
    decltype(&::ddFlip) ddFlip;
    decltype(&::ddCreatePaletteFromFile) ddCreatePaletteFromFile;
    decltype(&::ddSetPalette) ddSetPalette;
    decltype(&::ddReleasePalette) ddReleasePalette;
    decltype(&::SetTimeKeeper) SetTimeKeeper;
    decltype(&::WaitTimeElapsed) WaitTimeElapsed;

    bool load(const std::wstring& folder) {
        module = LoadLibraryW((folder + L"Quillon.dll").c_str());
        if (!module) {
            std::fprintf(stderr, "demo: Quillon.dll not found beside demo.exe\n");
            return false;
        }
        bool ok = true;
        auto bind = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
                reinterpret_cast<void*>(GetProcAddress(module, name)));
            if (!fn) {
                std::fprintf(stderr, "demo: Quillon.dll does not export %s\n", name);
                ok = false;
            }
        };
        bind(ddInit, "ddInit");
        bind(ddQuit, "ddQuit");
        bind(ddSetBitDepth, "ddSetBitDepth");
        bind(ddError, "ddError");
        bind(ddGetBackSurface, "ddGetBackSurface");
        bind(ddCreateSurfaceFromFile, "ddCreateSurfaceFromFile");
        bind(ddCreateSurfaceFromImage, "ddCreateSurfaceFromImage");
        bind(ddCreateAlphaSurfaceFromImage, "ddCreateAlphaSurfaceFromImage");
        bind(ddCreateSurface, "ddCreateSurface");
        bind(ddAlphaBlt, "ddAlphaBlt");
        bind(ddSafeAlphaBlt, "ddSafeAlphaBlt");
        bind(ddReleaseSurface, "ddReleaseSurface");
        bind(ddGetWidth, "ddGetWidth");
        bind(ddGetHeight, "ddGetHeight");
        bind(ddColor, "ddColor");
        bind(ddClear, "ddClear");
        bind(ddFillBlt, "ddFillBlt");
        bind(ddSafeFillBlt, "ddSafeFillBlt");
        bind(ddSafeBltFast, "ddSafeBltFast");
        bind(ddGetDC, "ddGetDC");
        bind(ddReleaseDC, "ddReleaseDC");
        bind(ddUpdateWindow, "ddUpdateWindow");
        bind(ddFlip, "ddFlip");
        bind(ddCreatePaletteFromFile, "ddCreatePaletteFromFile");
        bind(ddSetPalette, "ddSetPalette");
        bind(ddReleasePalette, "ddReleasePalette");
        bind(SetTimeKeeper, "SetTimeKeeper");
        bind(WaitTimeElapsed, "WaitTimeElapsed");
        return ok;
    }
};

Quillon q;

struct Sprite {
    int x, y, dx, dy, kind;
};

// Pixel values of the scene's colours in the current display format.
struct Palette {
    long sky[16];
    long ground, grass, hill, text;
};

std::wstring exeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::string narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return s;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CLOSE) return 0; // the demo ends on its own
    return DefWindowProcW(w, m, wp, lp);
}

HWND makeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"QuillonDemo";
    RegisterClassW(&wc);
    // Any size will do: ddInit makes the client area as big as the back surface.
    HWND w = CreateWindowExW(0, L"QuillonDemo", L"Quillon sprite demo",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 40, 30, 320,
                             240, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    pumpMessages();
    return w;
}

Palette sceneColours() {
    Palette p;
    // Night blue at the top to light blue at the horizon.
    for (int i = 0; i < 16; ++i) {
        int r = 0 + (135 * i) / 15, g = 0 + (206 * i) / 15, b = 128 + ((235 - 128) * i) / 15;
        p.sky[i] = q.ddColor(RGB(r, g, b));
    }
    p.ground = q.ddColor(RGB(0, 100, 0));
    p.grass = q.ddColor(RGB(34, 139, 34));
    p.hill = q.ddColor(RGB(85, 107, 47));
    p.text = q.ddColor(RGB(255, 255, 255));
    return p;
}

std::vector<Sprite> makeSprites() {
    std::vector<Sprite> sprites;
    // Fixed starts and speeds: every run draws the same frames.
    for (int i = 0; i < 14; ++i) {
        Sprite s;
        s.kind = i % kSpriteKinds;
        s.x = (i * 97) % (kWidth - kSpriteSize);
        s.y = (i * 61) % (kHeight - 120);
        s.dx = (i % 2 ? 1 : -1) * (2 + i % 5);
        s.dy = (i % 3 ? 1 : -1) * (1 + i % 4);
        sprites.push_back(s);
    }
    return sprites;
}

// Sprites travel half their size past every edge before they turn, so the clipped copies
// show at the borders.
void move(Sprite& s) {
    s.x += s.dx;
    s.y += s.dy;
    const int lo = -kSpriteSize / 2, hiX = kWidth - kSpriteSize / 2,
              hiY = kHeight - kSpriteSize / 2;
    if (s.x < lo || s.x > hiX) s.dx = -s.dx;
    if (s.y < lo || s.y > hiY) s.dy = -s.dy;
}

void drawBackground(const Palette& p, int frame) {
    q.ddClear(0, p.sky[0]);
    const int band = 300 / 16;
    for (int i = 0; i < 16; ++i)
        q.ddFillBlt(0, 0, i * band, kWidth, i == 15 ? 300 - i * band : band, p.sky[i]);
    // Hills that scroll slowly to the left, cut at the edges by the safe fill.
    int shift = (frame / 2) % 160;
    for (int i = -1; i < 6; ++i) {
        int x = i * 160 - shift;
        for (int step = 0; step < 5; ++step)
            q.ddSafeFillBlt(0, x + step * 12, 300 - (step + 1) * 14, 120 - step * 24, 14, kWidth,
                            kHeight, p.hill);
    }
    q.ddFillBlt(0, 0, 300, kWidth, 10, p.grass);
    q.ddFillBlt(0, 0, 310, kWidth, kHeight - 310, p.ground);
}

void drawCaption(int frame, const wchar_t* mode) {
    QHANDLE dc = q.ddGetDC(0);
    if (!dc) return;
    HDC hdc = reinterpret_cast<HDC>(dc);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(255, 255, 255));
    wchar_t text[96];
    wsprintfW(text, L"Quillon sprite demo - %s - frame %d", mode, frame);
    TextOutW(hdc, 12, kHeight - 28, text, lstrlenW(text));
    q.ddReleaseDC(0, dc);
}

// Writes what `source` shows in the rectangle as a 24-bit BMP file through GDI.
bool saveBitmap(HDC source, int x, int y, int w, int h, const std::wstring& path) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return false;
    HDC mem = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u, size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD done = 0, total = 0;
        ok = WriteFile(f, &fh, sizeof(fh), &done, nullptr) && (total += done) &&
             WriteFile(f, &bi.bmiHeader, sizeof(bi.bmiHeader), &done, nullptr) && (total += done) &&
             WriteFile(f, bits, size, &done, nullptr) && (total += done);
        ok = ok && total == fh.bfSize;
        CloseHandle(f);
        if (!ok) DeleteFileW(path.c_str());
    }
    DeleteObject(dib);
    DeleteDC(mem);
    return ok;
}

bool saveWindow(HWND window, const std::wstring& path) {
    pumpMessages();
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    bool ok = saveBitmap(dc, 0, 0, client.right, client.bottom, path);
    ReleaseDC(window, dc);
    return ok;
}

bool saveScreen(int width, int height, const std::wstring& path) {
    HDC dc = GetDC(nullptr);
    bool ok = saveBitmap(dc, 0, 0, width, height, path);
    ReleaseDC(nullptr, dc);
    return ok;
}

// The scene's sprites: the keyed sheet and the ball from the PNG; in a window also a
// soft-edged glow (an alpha surface) and a black caption panel that fades in.
struct Sprites {
    QHANDLE sheet = 0, ball = 0, glow = 0, panel = 0;
};

// Loads them; reports what could not be loaded. The translucent ones need 16 bits or more.
bool loadSprites(const std::wstring& folder, Sprites& s, bool translucent) {
    s.sheet = q.ddCreateSurfaceFromFile(narrow(folder + L"demo_sprites.bmp").c_str());
    if (!s.sheet) std::fprintf(stderr, "demo: demo_sprites.bmp could not be loaded\n");
    s.ball = q.ddCreateSurfaceFromImage(narrow(folder + L"demo_ball.png").c_str());
    if (!s.ball) std::fprintf(stderr, "demo: demo_ball.png could not be loaded\n");
    if (!translucent) return s.sheet && s.ball;
    s.glow = q.ddCreateAlphaSurfaceFromImage(narrow(folder + L"demo_glow.png").c_str());
    if (!s.glow) std::fprintf(stderr, "demo: demo_glow.png could not be loaded\n");
    s.panel = q.ddCreateSurface(kWidth, kPanelHeight);
    if (s.panel) q.ddClear(s.panel, 0);
    return s.sheet && s.ball && s.glow && s.panel;
}

void releaseSprites(Sprites& s) {
    for (QHANDLE h : {s.sheet, s.ball, s.glow, s.panel})
        if (h) q.ddReleaseSurface(h);
    s = Sprites();
}

// Runs the scene; returns the number of frames presented.
int runScene(const Sprites& images, bool fullScreen) {
    long sheetW = q.ddGetWidth(images.sheet), sheetH = q.ddGetHeight(images.sheet);
    Palette colours = sceneColours();
    std::vector<Sprite> sprites = makeSprites();
    q.SetTimeKeeper(kFrameMs);
    int presented = 0;
    for (int frame = 1; frame <= kFrames; ++frame) {
        pumpMessages();
        drawBackground(colours, frame);
        for (Sprite& s : sprites) {
            // Both are keyed blits: the PNG's transparent pixels carry its key.
            if (s.kind < kSheetKinds)
                q.ddSafeBltFast(0, s.x, s.y, kSpriteSize, kSpriteSize, kWidth, kHeight,
                                images.sheet, s.kind * kSpriteSize, 0, sheetW, sheetH, 1);
            else
                q.ddSafeBltFast(0, s.x, s.y, kSpriteSize, kSpriteSize, kWidth, kHeight, images.ball,
                                0, 0, kSpriteSize, kSpriteSize, 1);
            move(s);
        }
        if (images.glow) {
            // In front of the sprites: its soft edge blends with whatever passes behind.
            q.ddSafeAlphaBlt(0, kGlowX, kGlowY, kGlowSize, kGlowSize, kWidth, kHeight, images.glow,
                             0, 0, kGlowSize, kGlowSize, 255);
            // The panel fades in over the first frames, then stays half dark.
            q.ddAlphaBlt(0, 0, kHeight - kPanelHeight, kWidth, kPanelHeight, images.panel, 0, 0,
                         std::min(frame * 4, 160));
        }
        drawCaption(frame, fullScreen ? L"full-screen 640x480x8" : L"windowed");
        if (fullScreen ? q.ddFlip() : q.ddUpdateWindow(0)) ++presented;
        q.WaitTimeElapsed();
    }
    return presented;
}

int runWindowed(HWND window, const std::wstring& folder, const std::wstring& shot) {
    if (!q.ddInit(window, kWidth, kHeight, 0)) {
        std::fprintf(stderr, "demo: the windowed display context did not open (error %ld)\n",
                     q.ddError());
        return 1;
    }
    Sprites images;
    if (!loadSprites(folder, images, true)) {
        releaseSprites(images);
        q.ddQuit();
        return 1;
    }
    DWORD start = GetTickCount();
    int presented = runScene(images, false);
    std::printf("windowed: %d of %d frames presented in %lu ms\n", presented, kFrames,
                GetTickCount() - start);
    int rc = presented == kFrames ? 0 : 1;
    if (!shot.empty()) {
        if (saveWindow(window, shot)) {
            std::printf("screenshot: %ls\n", shot.c_str());
        } else {
            std::fprintf(stderr, "demo: could not write %ls\n", shot.c_str());
            rc = 1;
        }
    }
    releaseSprites(images);
    q.ddQuit();
    return rc;
}

int runFullScreen(HWND window, const std::wstring& folder, const std::wstring& shot) {
    q.ddSetBitDepth(8);
    if (!q.ddInit(window, kWidth, kHeight, 1)) {
        std::fprintf(stderr, "demo: the full-screen display context did not open (error %ld)\n",
                     q.ddError());
        return 1;
    }
    int rc = 0;
    QHANDLE palette = q.ddCreatePaletteFromFile(narrow(folder + L"demo_palette.bmp").c_str());
    if (!palette || !q.ddSetPalette(0, palette)) {
        std::fprintf(stderr, "demo: the palette from demo_palette.bmp could not be set\n");
        rc = 1;
    }
    // A palette mode blends nothing: the full-screen scene has no glow and no panel.
    Sprites images;
    if (!loadSprites(folder, images, false)) {
        rc = 1;
    } else {
        DWORD start = GetTickCount();
        int presented = runScene(images, true);
        std::printf("full-screen: %d of %d frames flipped in %lu ms\n", presented, kFrames,
                    GetTickCount() - start);
        if (presented != kFrames) rc = 1;
        if (!shot.empty()) {
            if (saveScreen(kWidth, kHeight, shot)) {
                std::printf("screenshot: %ls\n", shot.c_str());
            } else {
                std::fprintf(stderr, "demo: could not write %ls\n", shot.c_str());
                rc = 1;
            }
        }
    }
    releaseSprites(images);
    if (palette) q.ddReleasePalette(palette);
    q.ddQuit();
    return rc;
}

std::wstring withSuffix(const std::wstring& path, const wchar_t* suffix) {
    size_t dot = path.find_last_of(L'.');
    size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring shot;
    bool fullScreen = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"/fullscreen" || a == L"--fullscreen")
            fullScreen = true;
        else
            shot = a;
    }
    LocalFree(argv);

    std::wstring folder = exeFolder();
    if (!q.load(folder)) return 1;
    HWND window = makeWindow();
    int rc = runWindowed(window, folder, shot);
    if (fullScreen) {
        int fsRc =
            runFullScreen(window, folder, shot.empty() ? shot : withSuffix(shot, L"-fullscreen"));
        if (fsRc) rc = fsRc;
    }
    DestroyWindow(window);
    pumpMessages();
    FreeLibrary(q.module);
    return rc;
}
