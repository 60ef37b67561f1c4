// Colours and colour keys. The library does no colour arithmetic of its own: the surface's
// device context writes the caller's RGB colour into one pixel and a lock reads the raw
// bits back (the colour probe).
#include "internal.h"

#include <cstring>

using namespace quillon;

namespace {

constexpr long kNoColor = -1;

// The pixel value at (0, 0): the first little-endian 32-bit word of the locked surface, cut
// to the pixel format's bit count. Only the bytes the mask keeps are read, so a surface
// narrower than 4 bytes is never read past its end.
bool readFirstPixel(Surface* surface, DWORD& value) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    SurfaceLock lock(surface, desc, DDLOCK_WAIT);
    if (!lock) return false;
    const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
    const size_t bytes = bits >= 32 ? 4 : (bits + 7) / 8;
    DWORD word = 0;
    std::memcpy(&word, desc.lpSurface, bytes);
    if (bits < 32) word &= (DWORD{1} << bits) - 1;
    value = word;
    return true;
}

long probe(Surface* surface, long rgb) {
    if (!surface) return kNoColor;
    COLORREF saved = 0;
    {
        // Given back before the lock below, which fails while the device context is held.
        SurfaceDC dc(surface);
        if (!dc) return kNoColor;
        saved = GetPixel(dc.get(), 0, 0);
        SetPixel(dc.get(), 0, 0, static_cast<COLORREF>(rgb));
    }

    DWORD value = 0;
    const bool read = readFirstPixel(surface, value);

    // Put the pixel back; if the device context is refused now the probe colour stays.
    if (SurfaceDC dc = SurfaceDC::askOnce(surface)) SetPixel(dc.get(), 0, 0, saved);
    return read ? static_cast<long>(value) : kNoColor;
}

} // namespace

long QUILLON_API ddColorEx(long rgb, QHANDLE surface) {
    return probe(surfaceOrPrimary(surface), rgb);
}

// A Mode X primary is not linear: the back surface is probed instead, never the primary.
long QUILLON_API ddColor(long rgb) {
    return probe(g_ctx.modeX ? g_ctx.back : g_ctx.primary, rgb);
}

long QUILLON_API ddSetColorKey(QHANDLE surface, long key) {
    if (!surface) return 0;
    Surface* s = asSurface(surface);
    DWORD value = static_cast<DWORD>(key);
    // Any negative key stands for the pixel at (0, 0), as sprite sheets are drawn.
    if (key < 0 && !readFirstPixel(s, value)) return 0;
    DDCOLORKEY colorKey = {value, value};
    HRESULT hr =
        callRestoringOnce(s, nullptr, [&] { return s->SetColorKey(DDCKEY_SRCBLT, &colorKey); });
    return succeeded(hr);
}

long QUILLON_API ddGetColorKey(QHANDLE surface) {
    if (!surface) return -1;
    Surface* s = asSurface(surface);
    DDCOLORKEY colorKey = {};
    HRESULT hr =
        callRestoringOnce(s, nullptr, [&] { return s->GetColorKey(DDCKEY_SRCBLT, &colorKey); });
    return hr == DD_OK ? static_cast<long>(colorKey.dwColorSpaceLowValue) : 0;
}
