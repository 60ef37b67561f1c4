// Surfaces and presentation: the caller's off-screen surfaces, flipping, window updates,
// surface queries, lent device contexts and vertical-blank waits.
#include "display_rules.h"
#include "internal.h"

using namespace quillon;

namespace {

long present(QHANDLE source, bool waitForBlank) {
    if (!g_ctx.primary) return 0;
    Surface* src = surfaceOrBack(source);
    g_ctx.repaintSource = src;
    RECT* target = g_ctx.fullScreen ? nullptr : &g_ctx.clientScreen;
    if (waitForBlank) g_ctx.driver->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    HRESULT hr = callRestoringOnce(g_ctx.primary, src, [&] {
        return g_ctx.primary->Blt(target, src, nullptr, DDBLT_WAIT, nullptr);
    });
    return succeeded(hr);
}

// The surface's description, or false when there is no surface or the driver refuses.
bool describe(QHANDLE surface, DDSURFACEDESC& desc) {
    Surface* s = surfaceOrBack(surface);
    if (!s) return false;
    desc = {};
    desc.dwSize = sizeof desc;
    return s->GetSurfaceDesc(&desc) == DD_OK;
}

long waitForBlank(DWORD flags) {
    if (!contextOpen()) return 0;
    return succeeded(g_ctx.driver->WaitForVerticalBlank(flags, nullptr));
}

} // namespace

QHANDLE QUILLON_API ddCreateSurface(long width, long height) {
    if (!contextOpen()) return 0;
    if (!surfaceSizeAllowed(width, height)) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    Surface* surface = nullptr;
    if (createSurface3(desc, &surface) != DD_OK) {
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        if (createSurface3(desc, &surface) != DD_OK) return 0;
    }
    return asHandle(surface);
}

long QUILLON_API ddReleaseSurface(QHANDLE surface) {
    Surface* s = asSurface(surface);
    if (s == g_ctx.primary || s == g_ctx.back) return 0;
    if (s == g_ctx.repaintSource) g_ctx.repaintSource = nullptr;
    if (s) s->Release();
    return 1;
}

long QUILLON_API ddFlip(void) {
    if (!g_ctx.primary || !g_ctx.back) return 0;
    HRESULT hr = callRestoringOnce(g_ctx.primary, nullptr,
                                   [] { return g_ctx.primary->Flip(nullptr, DDFLIP_WAIT); });
    return succeeded(hr);
}

long QUILLON_API ddUpdateWindow(QHANDLE source) {
    return present(source, true);
}

long QUILLON_API ddAsyncUpdateWindow(QHANDLE source) {
    return present(source, false);
}

long QUILLON_API ddGetWidth(QHANDLE surface) {
    DDSURFACEDESC desc;
    return describe(surface, desc) ? static_cast<long>(desc.dwWidth) : 0;
}

long QUILLON_API ddGetHeight(QHANDLE surface) {
    DDSURFACEDESC desc;
    return describe(surface, desc) ? static_cast<long>(desc.dwHeight) : 0;
}

long QUILLON_API ddGetPitch(QHANDLE surface) {
    DDSURFACEDESC desc;
    return describe(surface, desc) ? desc.lPitch : 0;
}

long QUILLON_API ddInVideoMemory(QHANDLE surface) {
    DDSURFACEDESC desc;
    if (!describe(surface, desc)) return 0;
    return (desc.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY) ? 1 : 0;
}

QHANDLE QUILLON_API ddGetDC(QHANDLE surface) {
    Surface* s = surfaceOrBack(surface);
    if (!s) return 0;
    return asHandle(acquireSurfaceDC(s));
}

long QUILLON_API ddReleaseDC(QHANDLE surface, QHANDLE hdc) {
    Surface* s = surfaceOrBack(surface);
    if (!s || !hdc) return 0;
    return succeeded(s->ReleaseDC(reinterpret_cast<HDC>(hdc)));
}

long QUILLON_API ddWaitVBBegin(void) {
    return waitForBlank(DDWAITVB_BLOCKBEGIN);
}

long QUILLON_API ddWaitVBEnd(void) {
    return waitForBlank(DDWAITVB_BLOCKEND);
}
