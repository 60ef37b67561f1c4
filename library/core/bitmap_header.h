// Rules for the bitmap headers that the palette loaders read, and the bounds of raw
// copies into locked surface memory. Byte buffers in, numbers out: nothing here reads
// past the size it is given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// A palette never holds more entries than this, whatever a header claims.
constexpr int kPaletteEntries = 256;

// File layout the file loader assumes: 14-byte file header, 40-byte information header,
// colour table at offset 54 whatever the header fields say.
constexpr std::size_t kFileInfoHeaderOffset = 14;
constexpr std::size_t kFileColorTableOffset = 54;
constexpr std::uint32_t kInfoHeaderSize = 40;

// Little-endian field readers; a field that does not lie wholly inside the buffer reads 0.
std::uint32_t readU32(const std::uint8_t* data, std::size_t size, std::size_t offset);
std::uint16_t readU16(const std::uint8_t* data, std::size_t size, std::size_t offset);

// Colour count N of a header: for up to 8 bits per pixel the colours-used field when it is
// not 0, else 2 to the bits per pixel; above 8 bits 0. A negative count (as a signed 32-bit
// value) gives 0 and a count above 256 gives 256.
int colorCount(std::uint16_t bitsPerPixel, std::uint32_t colorsUsed);

// N of a whole bitmap file: 0 unless the file holds both headers and the information
// header's size field is exactly 40.
int fileColorCount(const std::uint8_t* file, std::size_t size);

// N of an RT_BITMAP resource (an information header first): 0 unless the header's size
// field is at least 40 and the resource holds those 40 bytes.
int resourceColorCount(const std::uint8_t* resource, std::size_t size);

// How many whole 4-byte colour-table entries the resource holds after its header (the
// header's own size field places the table), at most 256.
int resourceTableEntries(const std::uint8_t* resource, std::size_t size);

// Bytes of a bitmap file that bitmapFileComplete looks at: both headers' fixed fields.
constexpr std::size_t kFileHeadersSize = 54;

// Whether a bitmap file holds everything its headers promise: a known header, the colour
// table and masks after it, and every pixel row (or the compressed size) from the offset
// to the bits. `head` holds the file's first bytes (up to kFileHeadersSize), `fileSize` is
// the whole file's size. The platform's loader trusts these fields and reads past the end
// of a truncated file, so a file that fails here is never handed to it.
bool bitmapFileComplete(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize);

// Raw copies stay inside the locked surface: offset >= 0, count >= 0 and
// offset + count <= pitch * height. Computed without overflow for any `long` width.
bool rawCopyInBounds(long offset, long count, long pitch, long height);

} // namespace quillon
