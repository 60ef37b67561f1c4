// What the export families share: the display context, the device-context rule, surface
// creation, file reading and pinning the library in memory.
#include "internal.h"

namespace quillon {

DisplayContext g_ctx;

void pinLibrary() {
    static bool pinned = false;
    if (pinned) return;
    HMODULE self = nullptr;
    pinned = GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
        reinterpret_cast<LPCWSTR>(reinterpret_cast<const void*>(&pinLibrary)), &self);
}

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
    IDirectDrawSurface* created = nullptr;
    HRESULT hr = g_ctx.driver->CreateSurface(&desc, &created, nullptr);
    if (hr != DD_OK) return hr;
    ComRef<IDirectDrawSurface> plain(created);
    Surface* s3 = nullptr;
    if (plain.get()->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&s3)) == S_OK)
        *out = s3; // the plain interface's reference goes with `plain`
    else
        *out = reinterpret_cast<Surface*>(plain.release());
    return DD_OK;
}

bool readFileStart(const char* path, void* buffer, DWORD capacity, DWORD& read,
                   std::uint64_t* size) {
    read = 0;
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (size) {
        LARGE_INTEGER whole = {};
        if (!GetFileSizeEx(file.get(), &whole)) return false;
        *size = static_cast<std::uint64_t>(whole.QuadPart);
    }
    auto* bytes = static_cast<BYTE*>(buffer);
    while (read < capacity) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes + read, capacity - read, &got, nullptr)) return false;
        if (got == 0) break;
        read += got;
    }
    return true;
}

} // namespace quillon
