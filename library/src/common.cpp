#include "internal.h"

namespace quillon {

DisplayContext g_ctx;

HDC acquireSurfaceDC(Surface* surface) {
    HDC dc = nullptr;
    for (;;) {
        HRESULT hr = record(surface->GetDC(&dc));
        if (hr == DD_OK) return dc;
        if (hr == DDERR_WASSTILLDRAWING) continue;
        if (hr != DDERR_SURFACELOST) return nullptr;
        surface->Restore();
        return surface->GetDC(&dc) == DD_OK ? dc : nullptr;
    }
}

HRESULT createSurface3(DDSURFACEDESC& desc, Surface** out) {
    IDirectDrawSurface* plain = nullptr;
    HRESULT hr = g_ctx.driver->CreateSurface(&desc, &plain, nullptr);
    if (hr != DD_OK) return hr;
    Surface* s3 = nullptr;
    if (plain->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&s3)) == S_OK) {
        plain->Release();
        *out = s3;
    } else {
        *out = reinterpret_cast<Surface*>(plain);
    }
    return DD_OK;
}

} // namespace quillon
