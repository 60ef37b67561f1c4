// What the export families share: the display context, the last driver result, surface
// lookup, the lost-surface retry, the device-context rule and the owning types the library
// uses.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "Quillon.h"
#include "common/owned.h"

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

// An export's 1 or 0 for the driver's answer.
inline long succeeded(HRESULT hr) {
    return hr == DD_OK ? 1 : 0;
}

// A handle is pointer-sized (QHANDLE): it goes to and from an address without narrowing.
inline Surface* asSurface(QHANDLE handle) {
    return reinterpret_cast<Surface*>(handle);
}
inline QHANDLE asHandle(const void* p) {
    return reinterpret_cast<QHANDLE>(p);
}

// 0 stands for the back surface (most exports) or the primary surface (palette, colour).
inline Surface* surfaceOrBack(QHANDLE handle) {
    return handle ? asSurface(handle) : g_ctx.back;
}
inline Surface* surfaceOrPrimary(QHANDLE handle) {
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

// A surface's device context, given back when the scope ends. The surface cannot be locked
// while its device context is held, so the scope must end before any lock.
class SurfaceDC {
  public:
    // Asks by the device-context rule (acquireSurfaceDC).
    explicit SurfaceDC(Surface* surface) : surface_(surface), dc_(acquireSurfaceDC(surface)) {}
    // Asks once, without retry and without recording the answer.
    static SurfaceDC askOnce(Surface* surface) {
        HDC dc = nullptr;
        return SurfaceDC(surface, surface->GetDC(&dc) == DD_OK ? dc : nullptr);
    }
    ~SurfaceDC() {
        if (dc_) surface_->ReleaseDC(dc_);
    }
    SurfaceDC(const SurfaceDC&) = delete;
    SurfaceDC& operator=(const SurfaceDC&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    HDC get() const { return dc_; }

  private:
    SurfaceDC(Surface* surface, HDC dc) : surface_(surface), dc_(dc) {}
    Surface* surface_;
    HDC dc_;
};

// The owning types the library uses, from the house's shared header.
using common::ComRef;
using common::GdiObject;
using common::MemoryDC;
using common::Owned;
using common::Selection;
using common::SurfaceLock;
using common::take;
using common::UniqueFile;
using common::WindowDC;

// Reads up to `capacity` bytes from the start of a file into `buffer`, counting them in
// `read`, and its whole size into `*size` when asked. False when the file cannot be opened
// or sized, or a read fails; `read` counts what came before that.
bool readFileStart(const char* path, void* buffer, DWORD capacity, DWORD& read,
                   std::uint64_t* size);

// Keeps the library loaded until the process ends, whatever FreeLibrary calls follow. Called
// before anything is handed out whose code lives here and that may outlive the caller's
// ddQuit and FreeLibrary: a window procedure in a chain, a picture object.
void pinLibrary();

// Creates a surface from a description (108 bytes in the 32-bit build) and returns its
// Surface3 interface (or the plain one when the driver refuses Surface3). Returns the
// driver's answer.
HRESULT createSurface3(DDSURFACEDESC& desc, Surface** out);

// An alpha surface's pixel format: 32 bits of blue, green, red and straight alpha.
void describeAlphaFormat(DDPIXELFORMAT& format);
bool isAlphaFormat(const DDPIXELFORMAT& format);

} // namespace quillon
