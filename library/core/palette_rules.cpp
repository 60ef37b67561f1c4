#include "palette_rules.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quillon {

PaletteTable defaultPalette() {
    PaletteTable t{};
    for (int i = 0; i < kPaletteEntries; ++i) {
        t[i * 4 + 0] = static_cast<std::uint8_t>(((i >> 5) & 7) * 255 / 7);
        t[i * 4 + 1] = static_cast<std::uint8_t>(((i >> 2) & 7) * 255 / 7);
        t[i * 4 + 2] = static_cast<std::uint8_t>((i & 3) * 255 / 3);
        t[i * 4 + 3] = 0;
    }
    return t;
}

void swapRedBlue(PaletteTable& table, int n) {
    n = std::clamp(n, 0, kPaletteEntries);
    for (int i = 0; i < n; ++i)
        std::swap(table[i * 4], table[i * 4 + 2]);
}

PaletteTable paletteFromFileBytes(const std::uint8_t* file, std::size_t size) {
    PaletteTable t = defaultPalette();
    if (!file || size <= kFileColorTableOffset) return t;
    std::size_t bytes = std::min(size - kFileColorTableOffset, t.size());
    std::memcpy(t.data(), file + kFileColorTableOffset, bytes);
    swapRedBlue(t, std::min<int>(fileColorCount(file, size), static_cast<int>(bytes / 4)));
    return t;
}

PaletteTable paletteFromResourceBytes(const std::uint8_t* resource, std::size_t size) {
    PaletteTable t = defaultPalette();
    int n = std::min(resourceColorCount(resource, size), resourceTableEntries(resource, size));
    const std::uint8_t* table = resource + (n > 0 ? readU32(resource, size, 0) : 0);
    for (int i = 0; i < n; ++i) {
        t[i * 4 + 0] = table[i * 4 + 2];
        t[i * 4 + 1] = table[i * 4 + 1];
        t[i * 4 + 2] = table[i * 4 + 0];
        t[i * 4 + 3] = 0;
    }
    return t;
}

bool paletteRangeValid(long first, long count) {
    return first >= 0 && count >= 0 && std::int64_t(first) + count <= kPaletteEntries;
}

} // namespace quillon
