// Palettes: 8-bit, 256-entry driver palettes made from the caller's entries, the default
// palette, GDI and system palettes, or a bitmap's colour table; attached, read, released.
#include "internal.h"

#include "palette_rules.h"

using namespace quillon;

namespace {

IDirectDrawPalette* asPalette(QHANDLE handle) {
    return reinterpret_cast<IDirectDrawPalette*>(handle);
}

// Common last step of every maker. Not recorded as the last driver result. All 256 entries
// are the table's: without DDPCAPS_ALLOW256 the driver forces 0 to black and 255 to white.
// A driver that refuses ALLOW256 still gets asked for a plain 8-bit palette.
QHANDLE createPalette(const void* table) {
    if (!contextOpen()) return 0;
    auto* entries = const_cast<PALETTEENTRY*>(static_cast<const PALETTEENTRY*>(table));
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr =
        g_ctx.driver->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
    if (hr != DD_OK) hr = g_ctx.driver->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr);
    return hr == DD_OK ? asHandle(palette) : 0;
}

} // namespace

QHANDLE QUILLON_API ddCreatePalette(const PALETTEENTRY* entries) {
    if (!entries) return 0;
    return createPalette(entries);
}

QHANDLE QUILLON_API ddCreateDefPalette(void) {
    if (!contextOpen()) return 0;
    PaletteTable table = defaultPalette();
    return createPalette(table.data());
}

QHANDLE QUILLON_API ddCopyPalette(HPALETTE gdiPalette) {
    if (!gdiPalette || !contextOpen()) return 0;
    PALETTEENTRY table[kPaletteEntries] = {};
    WORD count = 0;
    if (!GetObjectA(gdiPalette, sizeof count, &count)) return 0;
    UINT n = count > kPaletteEntries ? kPaletteEntries : count;
    if (n == 0 || GetPaletteEntries(gdiPalette, 0, n, table) == 0) return 0;
    return createPalette(table);
}

QHANDLE QUILLON_API ddCopySystemPalette(void) {
    if (!contextOpen()) return 0;
    PALETTEENTRY table[kPaletteEntries] = {};
    UINT read = 0;
    {
        WindowDC screen(nullptr);
        read = GetSystemPaletteEntries(screen.get(), 0, kPaletteEntries, table);
    }
    if (LOWORD(read) == 0) return 0;
    return createPalette(table);
}

QHANDLE QUILLON_API ddCreatePaletteFromFile(const char* path) {
    if (!contextOpen()) return 0;
    // Both headers and the largest colour table; the table is always taken at offset 54.
    BYTE file[kFileColorTableOffset + kPaletteEntries * 4];
    DWORD size = 0;
    // A file that cannot be read whole gives what was read before the failure.
    if (path) readFileStart(path, file, sizeof file, size, nullptr);
    PaletteTable table = paletteFromFileBytes(file, size);
    return createPalette(table.data());
}

QHANDLE QUILLON_API ddCreatePaletteFromResource(HINSTANCE module, const char* name) {
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

long QUILLON_API ddSetPalette(QHANDLE surface, QHANDLE palette) {
    Surface* s = surfaceOrPrimary(surface);
    if (!s) return 0;
    return succeeded(s->SetPalette(asPalette(palette)));
}

QHANDLE QUILLON_API ddGetPalette(QHANDLE surface) {
    Surface* s = surfaceOrPrimary(surface);
    if (!s) return 0;
    IDirectDrawPalette* palette = nullptr;
    if (s->GetPalette(&palette) != DD_OK) return 0;
    return asHandle(palette);
}

long QUILLON_API ddReleasePalette(QHANDLE palette) {
    if (!palette) return 0;
    return asPalette(palette)->Release() == 0 ? 1 : 0;
}

long QUILLON_API ddGetPaletteEntries(QHANDLE palette, long first, long count,
                                     PALETTEENTRY* entries) {
    // The driver does not judge every range or table safely: refuse before it sees one.
    if (!palette || !paletteRangeValid(first, count) || (!entries && count != 0)) return 0;
    return succeeded(asPalette(palette)->GetEntries(0, first, count, entries));
}

long QUILLON_API ddSetPaletteEntries(QHANDLE palette, long first, long count,
                                     const PALETTEENTRY* entries) {
    if (!palette || !paletteRangeValid(first, count) || (!entries && count != 0)) return 0;
    return succeeded(
        asPalette(palette)->SetEntries(0, first, count, const_cast<PALETTEENTRY*>(entries)));
}
