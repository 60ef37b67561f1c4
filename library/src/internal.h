// What the export families share: the display context, the last driver result, surface
// lookup, the lost-surface retry and the device-context rule.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "Quillon.h"

namespace quillon {

// The records callers and the driver share keep their classic sizes in the 32-bit build;
// in the 64-bit build they hold pointers and take their native sizes.
#ifndef _WIN64
static_assert(sizeof(DDSURFACEDESC) == 108, "the surface description is 108 bytes");
#endif

// Handles are the interfaces' own addresses. Wine and Windows both offer Surface3; a plain
// IDirectDrawSurface shares the layout of every method the library calls.
using Surface = IDirectDrawSurface3;

// The one process-wide display context; open exactly while driver is non-null.
struct DisplayContext {
    IDirectDraw2* driver = nullptr;
    Surface* primary = nullptr;
    Surface* back = nullptr;
    Surface* repaintSource = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    HWND window = nullptr;
    HWND parent = nullptr;
    LONG displayModeChanged = 0;
    LONG fullScreen = 0;
    LONG modeX = 0;
    short bitDepth = 8;
    RECT clientScreen = {};
    HRESULT lastResult = 0;
    RECT savedWindowRect = {};
};

extern DisplayContext g_ctx;

inline bool contextOpen() {
    return g_ctx.driver != nullptr;
}

inline HRESULT record(HRESULT hr) {
    g_ctx.lastResult = hr;
    return hr;
}

inline Surface* asSurface(long handle) {
    return reinterpret_cast<Surface*>(handle);
}
inline long asHandle(const void* p) {
    return static_cast<long>(reinterpret_cast<LONG_PTR>(p));
}

// 0 stands for the back surface (most exports) or the primary surface (palette, colour).
inline Surface* surfaceOrBack(long handle) {
    return handle ? asSurface(handle) : g_ctx.back;
}
inline Surface* surfaceOrPrimary(long handle) {
    return handle ? asSurface(handle) : g_ctx.primary;
}

// Makes a recorded driver call; on DDERR_SURFACELOST restores `first`, then `second` (if
// any), and makes the same call exactly once more, recording that answer.
template <class Call> HRESULT callRestoringOnce(Surface* first, Surface* second, Call call) {
    HRESULT hr = record(call());
    if (hr == DDERR_SURFACELOST) {
        first->Restore();
        if (second) second->Restore();
        hr = record(call());
    }
    return hr;
}

// Device-context rule shared by ddGetDC, the colour probe and ddBitmapBlt: ask again while
// the driver is still drawing (each answer recorded), restore once on a lost surface (that
// answer not recorded). Returns nullptr on failure.
HDC acquireSurfaceDC(Surface* surface);

// Creates a surface from a 108-byte description and returns its Surface3 interface (or the
// plain one when the driver refuses Surface3). Returns the driver's answer.
HRESULT createSurface3(DDSURFACEDESC& desc, Surface** out);

} // namespace quillon
