// How the library fills its 256-entry palette tables: the default 3-3-2 palette, the
// colour table of a bitmap file or resource laid over it, and the entry ranges the driver
// is allowed to see. An entry is 4 bytes: red, green, blue, flags.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "bitmap_header.h"

namespace quillon {

using PaletteTable = std::array<std::uint8_t, kPaletteEntries * 4>;

// Entry i: red and green levels from 3 bits each, blue from 2, each division truncating.
PaletteTable defaultPalette();

// Swaps the first and third byte (blue, green, red becomes red, green, blue) of entries
// 0 to n - 1; n is clamped to 0..256.
void swapRedBlue(PaletteTable& table, int n);

// A bitmap file's bytes (as far as they were read) over the default palette: every table
// byte the file reached from offset 54 on is the file's byte; entries 0 to N - 1 that the
// file holds whole are swapped to red, green, blue; the fourth byte stays the file's.
// Entries a short file did not reach keep their default values.
PaletteTable paletteFromFileBytes(const std::uint8_t* file, std::size_t size);

// An RT_BITMAP resource's colour table (after the header's own size, bounded by the
// resource size) over the default palette: entries 0 to N - 1 that the resource holds
// become red = byte 2, green = byte 1, blue = byte 0, flags 0.
PaletteTable paletteFromResourceBytes(const std::uint8_t* resource, std::size_t size);

// An entry range the driver may be given: first >= 0, count >= 0, first + count <= 256.
bool paletteRangeValid(long first, long count);

} // namespace quillon
