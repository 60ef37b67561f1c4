// Blits and fills: plain copies hand the caller's coordinates to the driver as they are;
// the Safe variants clip first (library/core/clip.h) so a sprite partly off-screen needs
// no arithmetic in the caller.
#include "internal.h"

#include <cstdint>

#include "clip.h"

using namespace quillon;

#ifndef _WIN64
static_assert(sizeof(DDBLTFX) == 100, "the effects record is 100 bytes");
#endif

namespace {

constexpr DWORD kBltKeyed = DDBLT_WAIT | DDBLT_KEYSRC;
constexpr DWORD kBltFill = DDBLT_WAIT | DDBLT_ASYNC | DDBLT_COLORFILL;
constexpr DWORD kBltFx = DDBLT_WAIT | DDBLT_DDFX;
constexpr DWORD kBltRop = DDBLT_WAIT | DDBLT_ROP;
constexpr DWORD kFastKeyed = DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY;

// The non-Safe exports pass the caller's corners unchecked; a sum past the 32-bit range
// wraps as the caller's own arithmetic would, and the driver refuses the rectangle.
LONG edge(long start, long size) {
    return static_cast<LONG>(static_cast<std::uint32_t>(start) + static_cast<std::uint32_t>(size));
}

RECT makeRect(long x, long y, long width, long height) {
    RECT r;
    SetRect(&r, x, y, edge(x, width), edge(y, height));
    return r;
}

long bltFlags(long colorKey) {
    return colorKey ? kBltKeyed : DDBLT_WAIT;
}

// Blt on the destination with the lost-surface retry: destination restored first.
long bltRestoring(Surface* dest, RECT* destRect, Surface* src, RECT* srcRect, DWORD flags,
                  DDBLTFX* fx) {
    HRESULT hr =
        callRestoringOnce(dest, src, [&] { return dest->Blt(destRect, src, srcRect, flags, fx); });
    return succeeded(hr);
}

long bltFastRestoring(Surface* dest, long x, long y, Surface* src, RECT* srcRect, long colorKey) {
    const DWORD flags = colorKey ? kFastKeyed : DDBLTFAST_WAIT;
    HRESULT hr = callRestoringOnce(dest, src, [&] {
        return dest->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), src, srcRect, flags);
    });
    return succeeded(hr);
}

DDBLTFX fillEffects(long color) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = static_cast<DWORD>(color);
    return fx;
}

long fillRestoring(Surface* surface, RECT* rect, long color) {
    DDBLTFX fx = fillEffects(color);
    HRESULT hr = callRestoringOnce(
        surface, nullptr, [&] { return surface->Blt(rect, nullptr, nullptr, kBltFill, &fx); });
    return succeeded(hr);
}

long colorFillRect(QHANDLE surface, long left, long top, long right, long bottom, long color) {
    Surface* s = surfaceOrBack(surface);
    if (!s) return 0;
    RECT rect;
    SetRect(&rect, left, top, right, bottom);
    return fillRestoring(s, &rect, color);
}

} // namespace

long QUILLON_API ddBlt(QHANDLE dest, const RECT* destRect, QHANDLE src, const RECT* srcRect,
                       long colorKey) {
    Surface* d = surfaceOrBack(dest);
    if (!d || !src) return 0;
    // The driver reads the rectangles only; its interface just is not const-correct.
    return bltRestoring(d, const_cast<RECT*>(destRect), asSurface(src), const_cast<RECT*>(srcRect),
                        bltFlags(colorKey), nullptr);
}

long QUILLON_API ddBitBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                          long srcX, long srcY, long colorKey) {
    RECT destRect = makeRect(x, y, width, height);
    RECT srcRect = makeRect(srcX, srcY, width, height);
    return ddBlt(dest, &destRect, src, &srcRect, colorKey);
}

// Clips first and leaves the surface checks to ddBlt: a copy that clipping empties succeeds
// whatever the surfaces are.
long QUILLON_API ddSafeBitBlt(QHANDLE dest, long x, long y, long width, long height,
                              long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                              long srcLimitX, long srcLimitY, long colorKey) {
    BlitClip clip{x, y, width, height, srcX, srcY};
    if (!clipBlit(clip, {destLimitX, destLimitY, srcLimitX, srcLimitY})) return 1;
    return ddBitBlt(dest, clip.x, clip.y, clip.width, clip.height, src, clip.srcX, clip.srcY,
                    colorKey);
}

long QUILLON_API ddStretchBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                              long srcX, long srcY, long srcWidth, long srcHeight, long colorKey) {
    RECT destRect = makeRect(x, y, width, height);
    RECT srcRect = makeRect(srcX, srcY, srcWidth, srcHeight);
    return ddBlt(dest, &destRect, src, &srcRect, colorKey);
}

long QUILLON_API ddBltFX(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                         long srcX, long srcY, long srcWidth, long srcHeight, long rop, long fx) {
    Surface* d = surfaceOrBack(dest);
    if (!d || !src) return 0;
    RECT destRect = makeRect(x, y, width, height);
    RECT srcRect = makeRect(srcX, srcY, srcWidth, srcHeight);
    // Both go into the record; the flags tell the driver which one to read.
    DDBLTFX effects = {};
    effects.dwSize = sizeof(effects);
    effects.dwDDFX = static_cast<DWORD>(fx);
    effects.dwROP = static_cast<DWORD>(rop);
    return bltRestoring(d, &destRect, asSurface(src), &srcRect, fx ? kBltFx : kBltRop, &effects);
}

long QUILLON_API ddBltFast(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                           long srcX, long srcY, long colorKey) {
    Surface* d = surfaceOrBack(dest);
    if (!d || !src) return 0;
    RECT srcRect = makeRect(srcX, srcY, width, height);
    return bltFastRestoring(d, x, y, asSurface(src), &srcRect, colorKey);
}

// Checks the surfaces before clipping: a missing destination or source fails even when
// clipping would have left nothing.
long QUILLON_API ddSafeBltFast(QHANDLE dest, long x, long y, long width, long height,
                               long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                               long srcLimitX, long srcLimitY, long colorKey) {
    Surface* d = surfaceOrBack(dest);
    if (!d || !src) return 0;
    BlitClip clip{x, y, width, height, srcX, srcY};
    if (!clipBlit(clip, {destLimitX, destLimitY, srcLimitX, srcLimitY})) return 1;
    RECT srcRect;
    SetRect(&srcRect, clip.srcX, clip.srcY, clip.srcX + clip.width, clip.srcY + clip.height);
    return bltFastRestoring(d, clip.x, clip.y, asSurface(src), &srcRect, colorKey);
}

long QUILLON_API ddFillBlt(QHANDLE surface, long x, long y, long width, long height, long color) {
    return colorFillRect(surface, x, y, edge(x, width), edge(y, height), color);
}

long QUILLON_API ddSafeFillBlt(QHANDLE surface, long x, long y, long width, long height,
                               long limitX, long limitY, long color) {
    std::int32_t cx = x, cy = y, cw = width, ch = height;
    if (!clipFill(cx, cy, cw, ch, limitX, limitY)) return 1;
    return ddFillBlt(surface, cx, cy, cw, ch, color);
}

long QUILLON_API ddClear(QHANDLE surface, long color) {
    Surface* s = surfaceOrBack(surface);
    if (!s) return 0;
    return fillRestoring(s, nullptr, color);
}
