// What the palette and bitmap tests share: paths of the ImageMagick-made bitmaps, their
// bytes, and independent looks into palettes and surfaces through the driver's own
// interfaces (handles are interface addresses) and GDI.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pixel_access.h" // surfaceOf
#include "quillon_dll.h"

namespace library_test {

using Entries = std::array<PALETTEENTRY, 256>;

inline std::string programFolderA() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of('\\') + 1);
}

inline std::string dataPath(const char* name) {
    return programFolderA() + "bitmap_data\\" + name;
}

inline std::vector<std::uint8_t> readData(const char* name) {
    std::ifstream in(dataPath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// The 3-3-2 default palette, written out from its levels.
inline Entries defaultEntries() {
    const BYTE rg[8] = {0, 36, 72, 109, 145, 182, 218, 255};
    const BYTE b[4] = {0, 85, 170, 255};
    Entries e{};
    for (int i = 0; i < 256; ++i)
        e[i] = {rg[(i >> 5) & 7], rg[(i >> 2) & 7], b[i & 3], 0};
    return e;
}

// Entries as the driver holds them; flags byte included.
inline Entries driverEntries(QHANDLE palette) {
    Entries e{};
    for (auto& x : e)
        x = {1, 2, 3, 4};
    reinterpret_cast<IDirectDrawPalette*>(palette)->GetEntries(0, 0, 256, e.data());
    return e;
}

inline bool sameEntry(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue &&
           a.peFlags == b.peFlags;
}

inline std::string show(const PALETTEENTRY& e) {
    return "(" + std::to_string(e.peRed) + "," + std::to_string(e.peGreen) + "," +
           std::to_string(e.peBlue) + "," + std::to_string(e.peFlags) + ")";
}

// A palette entry from 4 bytes of a bitmap colour table (blue, green, red, reserved).
inline PALETTEENTRY swapped(const std::vector<std::uint8_t>& b, std::size_t at, BYTE flags) {
    return {b[at + 2], b[at + 1], b[at], flags};
}
inline PALETTEENTRY asStored(const std::vector<std::uint8_t>& b, std::size_t at) {
    return {b[at], b[at + 1], b[at + 2], b[at + 3]};
}

// A copy of a surface's memory as one lock shows it.
struct SurfaceMemory {
    long pitch = 0, width = 0, height = 0, bits = 0;
    std::vector<std::uint8_t> bytes;
    std::uint32_t pixel(long x, long y) const {
        std::uint32_t v = 0;
        for (long i = 0; i < bits / 8; ++i)
            v |= std::uint32_t(bytes[y * pitch + x * (bits / 8) + i]) << (8 * i);
        return v;
    }
};

inline SurfaceMemory lockCopy(QHANDLE handle) {
    SurfaceMemory m;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (surfaceOf(handle)->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return m;
    m.pitch = desc.lPitch;
    m.width = desc.dwWidth;
    m.height = desc.dwHeight;
    m.bits = desc.ddpfPixelFormat.dwRGBBitCount;
    auto* p = static_cast<std::uint8_t*>(desc.lpSurface);
    m.bytes.assign(p, p + m.pitch * m.height);
    surfaceOf(handle)->Unlock(nullptr);
    return m;
}

// A pixel's colour as GDI reads it from the surface.
inline COLORREF surfaceColor(QHANDLE handle, int x, int y) {
    HDC dc = nullptr;
    if (surfaceOf(handle)->GetDC(&dc) != DD_OK) return CLR_INVALID;
    COLORREF c = GetPixel(dc, x, y);
    surfaceOf(handle)->ReleaseDC(dc);
    return c;
}

inline void paintSurface(QHANDLE handle, COLORREF color) {
    HDC dc = nullptr;
    if (surfaceOf(handle)->GetDC(&dc) != DD_OK) return;
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, 4096, 4096};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    surfaceOf(handle)->ReleaseDC(dc);
}

} // namespace library_test
