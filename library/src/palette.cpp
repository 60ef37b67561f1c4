// Palettes: 8-bit, 256-entry driver palettes made from the caller's entries, the default
// palette, GDI and system palettes, or a bitmap's colour table; attached, read, released.
#include "internal.h"

#include "palette_rules.h"

using namespace quillon;

namespace {

IDirectDrawPalette* asPalette(long handle) {
    return reinterpret_cast<IDirectDrawPalette*>(handle);
}

// Common last step of every maker. Not recorded as the last driver result. All 256 entries
// are the table's: without DDPCAPS_ALLOW256 the driver forces 0 to black and 255 to white.
// A driver that refuses ALLOW256 still gets asked for a plain 8-bit palette.
long createPalette(const void* table) {
    if (!contextOpen()) return 0;
    auto* entries = const_cast<PALETTEENTRY*>(static_cast<const PALETTEENTRY*>(table));
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr =
        g_ctx.driver->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
    if (hr != DD_OK) hr = g_ctx.driver->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr);
    return hr == DD_OK ? asHandle(palette) : 0;
}

// Up to `capacity` bytes of a file from its start; the count actually read.
DWORD readFileStart(const char* path, void* buffer, DWORD capacity) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD total = 0;
    auto* bytes = static_cast<BYTE*>(buffer);
    while (total < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + total, capacity - total, &got, nullptr) || got == 0) break;
        total += got;
    }
    CloseHandle(file);
    return total;
}

} // namespace

long QUILLON_API ddCreatePalette(const PALETTEENTRY* entries) {
    if (!entries) return 0;
    return createPalette(entries);
}

long QUILLON_API ddCreateDefPalette(void) {
    if (!contextOpen()) return 0;
    PaletteTable table = defaultPalette();
    return createPalette(table.data());
}

long QUILLON_API ddCopyPalette(HPALETTE gdiPalette) {
    if (!gdiPalette || !contextOpen()) return 0;
    PALETTEENTRY table[kPaletteEntries] = {};
    WORD count = 0;
    if (!GetObjectA(gdiPalette, sizeof count, &count)) return 0;
    UINT n = count > kPaletteEntries ? kPaletteEntries : count;
    if (n == 0 || GetPaletteEntries(gdiPalette, 0, n, table) == 0) return 0;
    return createPalette(table);
}

long QUILLON_API ddCopySystemPalette(void) {
    if (!contextOpen()) return 0;
    PALETTEENTRY table[kPaletteEntries] = {};
    HDC screen = GetDC(nullptr);
    UINT read = GetSystemPaletteEntries(screen, 0, kPaletteEntries, table);
    ReleaseDC(nullptr, screen);
    if (LOWORD(read) == 0) return 0;
    return createPalette(table);
}

long QUILLON_API ddCreatePaletteFromFile(const char* path) {
    if (!contextOpen()) return 0;
    // Both headers and the largest colour table; the table is always taken at offset 54.
    BYTE file[kFileColourTableOffset + kPaletteEntries * 4];
    DWORD size = path ? readFileStart(path, file, sizeof file) : 0;
    PaletteTable table = paletteFromFileBytes(file, size);
    return createPalette(table.data());
}

long QUILLON_API ddCreatePaletteFromResource(HINSTANCE module, const char* name) {
    if (!contextOpen()) return 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (name) {
        if (HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2))) {
            HGLOBAL loaded = LoadResource(module, found);
            data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
            if (data)
                size = SizeofResource(module, found);
            else
                OutputDebugStringA("lock resource failed\n");
        }
    }
    PaletteTable table = paletteFromResourceBytes(data, size);
    return createPalette(table.data());
}

long QUILLON_API ddSetPalette(long surface, long palette) {
    Surface* s = surfaceOrPrimary(surface);
    if (!s) return 0;
    return s->SetPalette(asPalette(palette)) == DD_OK ? 1 : 0;
}

long QUILLON_API ddGetPalette(long surface) {
    Surface* s = surfaceOrPrimary(surface);
    if (!s) return 0;
    IDirectDrawPalette* palette = nullptr;
    if (s->GetPalette(&palette) != DD_OK) return 0;
    return asHandle(palette);
}

long QUILLON_API ddReleasePalette(long palette) {
    if (!palette) return 0;
    return asPalette(palette)->Release() == 0 ? 1 : 0;
}

long QUILLON_API ddGetPaletteEntries(long palette, long first, long count, PALETTEENTRY* entries) {
    // The driver does not judge every range or table safely: refuse before it sees one.
    if (!palette || !paletteRangeValid(first, count) || (!entries && count != 0)) return 0;
    return asPalette(palette)->GetEntries(0, first, count, entries) == DD_OK ? 1 : 0;
}

long QUILLON_API ddSetPaletteEntries(long palette, long first, long count,
                                     const PALETTEENTRY* entries) {
    if (!palette || !paletteRangeValid(first, count) || (!entries && count != 0)) return 0;
    return asPalette(palette)->SetEntries(0, first, count, const_cast<PALETTEENTRY*>(entries)) ==
                   DD_OK
               ? 1
               : 0;
}
