// Screenshots of the whole screen, saved as PNG under QUILLON_SHOTS.

#include "testdriver/driver.h"

#include <algorithm>

namespace td {

std::string Screenshot(const std::string& name) {
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(L"QUILLON_SHOTS", folder, MAX_PATH)) return "";
    Sleep(Patience(150)); // let the programs finish painting
    std::string unixBase = Narrow(folder) + "/" + name;
    std::wstring bmpPath = L"Z:" + Widen(unixBase) + L".bmp";
    std::replace(bmpPath.begin(), bmpPath.end(), L'/', L'\\');
    HDC screen = GetDC(nullptr);
    int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DWORD stride = ((DWORD(w) * 3 + 3) & ~3u), size = stride * DWORD(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    std::string file(reinterpret_cast<const char*>(&fh), sizeof(fh));
    file.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(bi.bmiHeader));
    file.append(static_cast<const char*>(bits), size);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!WriteBytes(bmpPath, file)) return "";
    std::string png = unixBase + ".png";
    if (RunUnix("convert '" + unixBase + ".bmp' '" + png + "' && rm -f '" + unixBase + ".bmp'") !=
        0)
        return unixBase + ".bmp";
    return png;
}

} // namespace td
