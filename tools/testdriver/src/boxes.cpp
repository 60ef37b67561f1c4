// Message and input boxes: their caption, text, buttons and icon, and how dark a
// window's pixels are.

#include "driver_internal.h"

#include <algorithm>

namespace td {

namespace {

// The screen's pixels of a window's client area (the window must be visible).
std::vector<COLORREF> capture(HWND hwnd, int w, int h) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    common::WindowDC screen(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(screen.get(), origin.x + x, origin.y + y));
    return pixels;
}

std::vector<COLORREF> render(HICON icon, int w, int h, COLORREF background) {
    common::WindowDC screen(nullptr);
    common::MemoryDC mem(CreateCompatibleDC(screen.get()));
    common::GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(screen.get(), w, h));
    common::Selection selected(mem.get(), bmp.get());
    RECT r = {0, 0, w, h};
    FillRect(mem.get(), &r, common::GdiObject<HBRUSH>(CreateSolidBrush(background)).get());
    DrawIconEx(mem.get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(mem.get(), x, y));
    return pixels;
}

// Which standard icon the box shows, by comparing its pixels with each icon drawn here
// (icon handles of another process cannot be compared).
int boxIcon(HWND box) {
    HWND iconControl = nullptr;
    for (int id : {0x0440, 0x0014}) {
        HWND c = GetDlgItem(box, id);
        if (c && lstrcmpiW(classOf(c).c_str(), L"Static") == 0) iconControl = c;
    }
    if (!iconControl || !IsWindowVisible(iconControl)) return 0;
    if (!ask(iconControl, STM_GETICON, 0, 0)) return 0;
    int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    RECT rc = clientRect(iconControl);
    w = std::min<int>(w, rc.right);
    h = std::min<int>(h, rc.bottom);
    if (w <= 0 || h <= 0) return 0;
    const struct {
        LPCWSTR id;
        int flag;
    } candidates[] = {{IDI_HAND, MB_ICONHAND},
                      {IDI_QUESTION, MB_ICONQUESTION},
                      {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                      {IDI_ASTERISK, MB_ICONASTERISK}};
    // What the box paints reaches the screen a little later, later still on a busy machine
    // (seen: a warning box read as an unknown icon, its screenshot just after showing the
    // exclamation icon): look again a few times before calling it unknown.
    int found = -1; // -1: an icon, but none we know
    UpdateWindow(box);
    for (int attempt = 0; attempt < 10 && found == -1; ++attempt) {
        Sleep(patience(50));
        auto shown = capture(iconControl, w, h);
        size_t bestDiff = shown.size();
        int best = 0;
        for (const auto& c : candidates) {
            auto drawn = render(LoadIconW(nullptr, c.id), w, h, shown[0]);
            size_t diff = 0;
            for (size_t i = 0; i < shown.size(); ++i)
                diff += shown[i] != drawn[i];
            if (diff < bestDiff) {
                bestDiff = diff;
                best = c.flag;
            }
        }
        if (bestDiff * 20 < shown.size()) found = best;
    }
    return found;
}

} // namespace

Box readBox(HWND box) {
    Box b;
    b.hwnd = box;
    if (!box) return b;
    b.caption = text(box);
    HWND message = GetDlgItem(box, 0xFFFF);
    if (message) b.text = text(message);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiW(classOf(c).c_str(), L"Button") == 0 && IsWindowVisible(c))
            b.buttons.push_back(text(c));
    b.icon = boxIcon(box);
    return b;
}

bool pressBoxButton(HWND box, int id, DWORD timeoutMs) {
    HWND button = GetDlgItem(box, id);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

HWND boxEdit(HWND box) {
    return controlByClass(box, L"Edit");
}

int darkPixels(HWND hwnd) {
    RECT rc = clientRect(hwnd);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return 0;
    ScreenCapture capture =
        captureScreen({origin.x, origin.y, origin.x + w, origin.y + h}, 32, false);
    int dark = 0;
    const auto* px = reinterpret_cast<const BYTE*>(capture.bits.data());
    for (size_t i = 0; i < capture.bits.size() / 4; ++i, px += 4)
        dark += px[0] + px[1] + px[2] < 3 * 96;
    return dark;
}

} // namespace td
