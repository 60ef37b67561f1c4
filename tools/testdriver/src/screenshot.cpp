// The screen as pixels: captured into a device-independent bitmap, and saved as PNG: whole
// under QUILLON_SHOTS, or one window's rectangle.

#include "driver_internal.h"

namespace td {

ScreenCapture captureScreen(const RECT& area, WORD bitCount, bool bottomUp) {
    ScreenCapture capture;
    const int w = area.right - area.left, h = area.bottom - area.top;
    BITMAPINFOHEADER& header = capture.header;
    header.biSize = sizeof(header);
    header.biWidth = w;
    header.biHeight = bottomUp ? h : -h;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    common::WindowDC screen(nullptr);
    common::MemoryDC memory(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    common::GdiObject<HBITMAP> dib(CreateDIBSection(
        screen.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !dib) return capture;
    {
        common::Selection selected(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), area.left, area.top, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = (DWORD(w) * bitCount / 8 + 3) & ~3u;
    capture.bits.assign(static_cast<const char*>(bits), size_t(stride) * DWORD(h));
    return capture;
}

namespace {

// Writes the capture as <unixBase>.bmp and converts it to `png` with `options`; the PNG's
// path, the BMP's when the conversion failed, "" when nothing was written.
std::string savePng(const ScreenCapture& capture, const std::string& unixBase,
                    const std::string& png, const std::string& options) {
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(capture.header);
    fh.bfSize = fh.bfOffBits + DWORD(capture.bits.size());
    std::string file(reinterpret_cast<const char*>(&fh), sizeof(fh));
    file.append(reinterpret_cast<const char*>(&capture.header), sizeof(capture.header));
    file += capture.bits;
    if (!writeBytes(windowsPath(unixBase + ".bmp"), file)) return "";
    if (runUnix("convert '" + unixBase + ".bmp' " + options + " '" + png + "' && rm -f '" +
                unixBase + ".bmp'") != 0)
        return unixBase + ".bmp";
    return png;
}

} // namespace

std::string screenshot(const std::string& name) {
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(L"QUILLON_SHOTS", folder, MAX_PATH)) return "";
    Sleep(patience(150)); // let the programs finish painting
    std::string unixBase = narrow(folder) + "/" + name;
    RECT whole = {0, 0, 0, 0};
    {
        common::WindowDC screen(nullptr);
        whole.right = GetDeviceCaps(screen.get(), HORZRES);
        whole.bottom = GetDeviceCaps(screen.get(), VERTRES);
    }
    return savePng(captureScreen(whole, 24, true), unixBase, unixBase + ".png", "");
}

bool windowShot(HWND hwnd, const std::string& unixPng) {
    RECT area = {};
    if (!GetWindowRect(hwnd, &area) || IsRectEmpty(&area)) return false;
    sync(hwnd);
    Sleep(patience(150)); // let the window finish painting
    std::string base = unixPng.substr(0, unixPng.rfind('.'));
    // No time stamps (the same pixels give the same bytes); ImageMagick writes a palette
    // by itself where the pixels have 256 colours or fewer, and only then.
    return savePng(captureScreen(area, 24, true), base, unixPng,
                   "-strip -define png:exclude-chunks=date,time") == unixPng;
}

} // namespace td
