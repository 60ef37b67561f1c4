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

int colorCount(std::uint16_t bitsPerPixel, std::uint32_t colorsUsed) {
    if (bitsPerPixel > 8) return 0;
    std::int64_t n =
        colorsUsed != 0 ? std::int64_t(std::int32_t(colorsUsed)) : std::int64_t(1) << bitsPerPixel;
    if (n <= 0) return 0;
    return n > kPaletteEntries ? kPaletteEntries : static_cast<int>(n);
}

int fileColorCount(const std::uint8_t* file, std::size_t size) {
    if (size < kFileColorTableOffset) return 0;
    if (readU32(file, size, kFileInfoHeaderOffset) != kInfoHeaderSize) return 0;
    return colorCount(readU16(file, size, kFileInfoHeaderOffset + 14),
                      readU32(file, size, kFileInfoHeaderOffset + 32));
}

int resourceColorCount(const std::uint8_t* resource, std::size_t size) {
    if (size < kInfoHeaderSize) return 0;
    if (readU32(resource, size, 0) < kInfoHeaderSize) return 0;
    return colorCount(readU16(resource, size, 14), readU32(resource, size, 32));
}

int resourceTableEntries(const std::uint8_t* resource, std::size_t size) {
    std::uint32_t headerSize = readU32(resource, size, 0);
    if (headerSize > size) return 0;
    std::size_t whole = (size - headerSize) / 4;
    return whole > std::size_t(kPaletteEntries) ? kPaletteEntries : static_cast<int>(whole);
}

bool bitmapFileComplete(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize) {
    if (headSize < 18 || head[0] != 'B' || head[1] != 'M') return false;
    const std::uint32_t headerSize = readU32(head, headSize, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0, imageSize = 0, used = 0;
    std::uint64_t entrySize = 4;
    if (headerSize == 12) {
        if (headSize < 26) return false;
        width = readU16(head, headSize, 18);
        height = readU16(head, headSize, 20);
        bits = readU16(head, headSize, 24);
        entrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        if (headSize < kFileHeadersSize) return false;
        width = std::int32_t(readU32(head, headSize, 18));
        height = std::int32_t(readU32(head, headSize, 22));
        bits = readU16(head, headSize, 28);
        compression = readU32(head, headSize, 30);
        imageSize = readU32(head, headSize, 34);
        used = readU32(head, headSize, 46);
    } else {
        return false;
    }
    if (width <= 0 || height == 0) return false;
    if (height < 0) height = -height;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    // Header, masks and colour table, as the loader sizes them.
    std::uint64_t colors = used > 256 ? 256 : used;
    if (colors == 0 && bits <= 8) colors = std::uint64_t(1) << bits;
    std::uint64_t info = headerSize;
    if (compression == 3 && info < kInfoHeaderSize + 12) info = kInfoHeaderSize + 12;
    info += colors * entrySize;
    if (kFileInfoHeaderOffset + info > fileSize) return false;

    std::uint64_t offset = readU32(head, headSize, 10);
    if (offset == 0) offset = kFileInfoHeaderOffset + info;
    std::uint64_t pixels = 0;
    if (compression == 0 || compression == 3) {
        pixels = (std::uint64_t(width) * bits + 31) / 32 * 4 * std::uint64_t(height);
    } else if (compression == 1 || compression == 2) {
        if (imageSize == 0) return false;
        pixels = imageSize;
    } else {
        return false;
    }
    return offset <= fileSize && pixels <= fileSize - offset;
}

bool rawCopyInBounds(long offset, long count, long pitch, long height) {
    if (offset < 0 || count < 0 || pitch < 0 || height < 0) return false;
    // `long` may be 64 bits: two non-negative ones still add up inside 64 unsigned bits,
    // but their product may not, and a product past 64 bits is larger than any end.
    std::uint64_t end = std::uint64_t(offset) + std::uint64_t(count);
    std::uint64_t rowBytes = std::uint64_t(pitch), rows = std::uint64_t(height);
    if (rowBytes != 0 && rows > UINT64_MAX / rowBytes) return true;
    return end <= rowBytes * rows;
}

} // namespace quillon
