// Bitmaps into surfaces (GDI converts the format), bitmap sizes, a surface block captured
// as an OLE picture, and raw byte copies into and out of locked surface memory.
#include "internal.h"

#include <cstring>

#include "bitmap_header.h"
#include "picture.h"

using namespace quillon;

namespace {

bool bitmapSize(HBITMAP bitmap, long* width, long* height) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return false;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return true;
}

// Surface memory under one whole-surface lock; `offset` and `count` must fall inside
// pitch x height, else nothing is copied.
long rawCopy(void* buffer, long count, QHANDLE surface, long offset, bool intoSurface) {
    Surface* s = surfaceOrBack(surface);
    if (!s || (!buffer && count != 0)) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    SurfaceLock lock(s, desc, DDLOCK_WAIT);
    if (!lock) return 0;
    bool inside = rawCopyInBounds(offset, count, desc.lPitch, static_cast<long>(desc.dwHeight));
    if (inside && count > 0) {
        BYTE* memory = static_cast<BYTE*>(desc.lpSurface) + offset;
        if (intoSurface)
            std::memcpy(memory, buffer, count);
        else
            std::memcpy(buffer, memory, count);
    }
    return inside ? 1 : 0;
}

// The primary surface's palette as a GDI palette, or none.
HPALETTE primaryPaletteCopy() {
    if (!g_ctx.primary) return nullptr;
    IDirectDrawPalette* attached = nullptr;
    if (g_ctx.primary->GetPalette(&attached) != DD_OK || !attached) return nullptr;
    ComRef<IDirectDrawPalette> palette(attached); // GetPalette added a reference
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical = {0x300, 256, {}};
    if (palette.get()->GetEntries(0, 0, 256, logical.entries) != DD_OK) return nullptr;
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
}

// The file loader reads whatever its headers claim, past the end of a truncated file:
// such files are refused before it sees them.
bool fileIsCompleteBitmap(const char* path) {
    BYTE head[kFileHeadersSize];
    DWORD got = 0;
    std::uint64_t size = 0;
    return readFileStart(path, head, sizeof head, got, &size) &&
           bitmapFileComplete(head, got, size);
}

// The same check for an RT_BITMAP resource (its information header comes first, the file
// header is not stored). A name the module does not hold is left to the loader, which
// also knows the system's own bitmaps.
bool resourceIsCompleteBitmap(HINSTANCE module, const char* name) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));
    if (!found) return true;
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!data) return false;
    // A file header with no offset to the bits: they follow the colour table.
    BYTE head[kFileHeadersSize] = {'B', 'M'};
    DWORD part = size < kFileHeadersSize - kFileInfoHeaderOffset
                     ? size
                     : DWORD(kFileHeadersSize - kFileInfoHeaderOffset);
    std::memcpy(head + kFileInfoHeaderOffset, data, part);
    return bitmapFileComplete(head, kFileInfoHeaderOffset + part,
                              std::uint64_t(kFileInfoHeaderOffset) + size);
}

// The loaded bitmap is only the copy's source: the surface keeps the pixels.
QHANDLE surfaceFromLoadedBitmap(HANDLE loaded) {
    if (!loaded) return 0;
    GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(loaded));
    return ddCreateSurfaceFromBitmap(bitmap.get());
}

// A copy of a surface block as a new bitmap, or none. The surface's device context is
// given back before the caller goes on.
GdiObject<HBITMAP> copyBlock(Surface* s, long srcX, long srcY, long width, long height) {
    SurfaceDC surfaceDC = SurfaceDC::askOnce(s);
    if (!surfaceDC) return {};
    MemoryDC memoryDC(CreateCompatibleDC(surfaceDC.get()));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(surfaceDC.get(), width, height));
    if (!memoryDC || !bitmap) return {};
    Selection selected(memoryDC.get(), bitmap.get());
    BitBlt(memoryDC.get(), 0, 0, width, height, surfaceDC.get(), srcX, srcY, SRCCOPY);
    return bitmap;
}

} // namespace

long QUILLON_API GetBitmapWidth(HBITMAP bitmap) {
    long width = 0, height = 0;
    return bitmapSize(bitmap, &width, &height) ? width : 0;
}

long QUILLON_API GetBitmapHeight(HBITMAP bitmap) {
    long width = 0, height = 0;
    return bitmapSize(bitmap, &width, &height) ? height : 0;
}

long QUILLON_API ddBitmapBlt(QHANDLE surface, long x, long y, long width, long height,
                             HBITMAP bitmap, long srcX, long srcY) {
    Surface* s = surfaceOrBack(surface);
    if (!bitmap || !s) return 0;
    if (width == 0 || height == 0) {
        // One zero stands for the bitmap's whole size in both directions.
        if (!bitmapSize(bitmap, &width, &height)) width = height = 0;
    }
    SurfaceDC surfaceDC(s);
    if (!surfaceDC) return 0;
    MemoryDC memoryDC(CreateCompatibleDC(nullptr));
    if (!memoryDC) return 0;
    Selection selected(memoryDC.get(), bitmap);
    BitBlt(surfaceDC.get(), x, y, width, height, memoryDC.get(), srcX, srcY, SRCCOPY);
    return 1;
}

QHANDLE QUILLON_API ddCreateSurfaceFromBitmap(HBITMAP bitmap) {
    if (!contextOpen() || !bitmap) return 0;
    long width = 0, height = 0;
    if (!bitmapSize(bitmap, &width, &height)) return 0;
    QHANDLE surface = ddCreateSurface(width, height);
    if (!surface) return 0;
    ddBitmapBlt(surface, 0, 0, width, height, bitmap, 0, 0);
    ddSetColorKey(surface, -1);
    return surface;
}

QHANDLE QUILLON_API ddCreateSurfaceFromFile(const char* path) {
    if (!path || !fileIsCompleteBitmap(path)) return 0;
    return surfaceFromLoadedBitmap(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

QHANDLE QUILLON_API ddCreateSurfaceFromResource(HINSTANCE module, const char* name) {
    if (!resourceIsCompleteBitmap(module, name)) return 0;
    return surfaceFromLoadedBitmap(
        LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

long QUILLON_API ddGetSurfaceImage(void* pictureSlot, QHANDLE surface, long srcX, long srcY,
                                   long width, long height) {
    Surface* s = surfaceOrBack(surface);
    if (!s || !pictureSlot) return 0;
    GdiObject<HBITMAP> bitmap = copyBlock(s, srcX, srcY, width, height);
    if (!bitmap) return 0;

    // The picture owns both: they go when the caller's last reference to it goes.
    IPictureDisp* picture = nullptr;
    if (createOwningPicture(bitmap.release(), primaryPaletteCopy(), &picture) != S_OK) return 0;
    auto** slot = static_cast<IPictureDisp**>(pictureSlot);
    ComRef<IPictureDisp> replaced(*slot); // the caller's former picture, if any
    *slot = picture;
    return 1;
}

long QUILLON_API ddGetSurfaceData(void* buffer, long count, QHANDLE surface) {
    return rawCopy(buffer, count, surface, 0, false);
}

long QUILLON_API ddSetSurfaceData(const void* buffer, long count, QHANDLE surface) {
    return rawCopy(const_cast<void*>(buffer), count, surface, 0, true);
}

long QUILLON_API ddGetSurfaceData2(void* buffer, long count, QHANDLE surface, long offset) {
    return rawCopy(buffer, count, surface, offset, false);
}

long QUILLON_API ddSetSurfaceData2(const void* buffer, long count, QHANDLE surface, long offset) {
    return rawCopy(const_cast<void*>(buffer), count, surface, offset, true);
}

long QUILLON_API ddGetSurfaceBitCount(void) {
    if (!g_ctx.primary) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (!SurfaceLock(g_ctx.primary, desc, DDLOCK_WAIT)) return 0;
    return static_cast<long>(desc.ddpfPixelFormat.dwRGBBitCount);
}
