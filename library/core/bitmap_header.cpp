#include "bitmap_header.h"

namespace quillon {

std::uint32_t readU32(const std::uint8_t* data, std::size_t size, std::size_t offset) {
    if (!data || offset > size || size - offset < 4) return 0;
    const std::uint8_t* p = data + offset;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t readU16(const std::uint8_t* data, std::size_t size, std::size_t offset) {
    if (!data || offset > size || size - offset < 2) return 0;
    const std::uint8_t* p = data + offset;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

int colourCount(std::uint16_t bitsPerPixel, std::uint32_t coloursUsed) {
    if (bitsPerPixel > 8) return 0;
    std::int64_t n = coloursUsed != 0 ? std::int64_t(std::int32_t(coloursUsed))
                                      : std::int64_t(1) << bitsPerPixel;
    if (n <= 0) return 0;
    return n > kPaletteEntries ? kPaletteEntries : static_cast<int>(n);
}

int fileColourCount(const std::uint8_t* file, std::size_t size) {
    if (size < kFileColourTableOffset) return 0;
    if (readU32(file, size, kFileInfoHeaderOffset) != kInfoHeaderSize) return 0;
    return colourCount(readU16(file, size, kFileInfoHeaderOffset + 14),
                       readU32(file, size, kFileInfoHeaderOffset + 32));
}

int resourceColourCount(const std::uint8_t* resource, std::size_t size) {
    if (size < kInfoHeaderSize) return 0;
    if (readU32(resource, size, 0) < kInfoHeaderSize) return 0;
    return colourCount(readU16(resource, size, 14), readU32(resource, size, 32));
}

int resourceTableEntries(const std::uint8_t* resource, std::size_t size) {
    std::uint32_t headerSize = readU32(resource, size, 0);
    if (headerSize > size) return 0;
    std::size_t whole = (size - headerSize) / 4;
    return whole > std::size_t(kPaletteEntries) ? kPaletteEntries : static_cast<int>(whole);
}

bool rawCopyInBounds(long offset, long count, long pitch, long height) {
    if (offset < 0 || count < 0 || pitch < 0 || height < 0) return false;
    return std::int64_t(offset) + count <= std::int64_t(pitch) * height;
}

} // namespace quillon
