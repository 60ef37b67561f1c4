#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "bitmap_header.h"
#include "palette_rules.h"

using namespace quillon;

namespace {

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void putU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// A bitmap file: headers, then `tail` bytes counting up from 1 at offset 54.
std::vector<std::uint8_t> makeFile(std::uint32_t headerSize, std::uint16_t bits, std::uint32_t used,
                                   std::size_t tail) {
    std::vector<std::uint8_t> b(54 + tail);
    b[0] = 'B';
    b[1] = 'M';
    putU32(b, 14, headerSize);
    putU16(b, 28, bits);
    putU32(b, 46, used);
    for (std::size_t i = 0; i < tail; ++i)
        b[54 + i] = static_cast<std::uint8_t>(i + 1);
    return b;
}

// A resource: information header of `headerSize` bytes, then `entries` colour-table entries
// (blue i, green i + 1, red i + 2, reserved 0x77).
std::vector<std::uint8_t> makeResource(std::uint32_t headerSize, std::uint16_t bits,
                                       std::uint32_t used, std::size_t entries) {
    std::vector<std::uint8_t> b(std::max<std::size_t>(headerSize, 40) + entries * 4);
    putU32(b, 0, headerSize);
    putU16(b, 14, bits);
    putU32(b, 32, used);
    for (std::size_t i = 0; i < entries; ++i) {
        std::size_t at = headerSize + i * 4;
        b[at] = static_cast<std::uint8_t>(i);
        b[at + 1] = static_cast<std::uint8_t>(i + 1);
        b[at + 2] = static_cast<std::uint8_t>(i + 2);
        b[at + 3] = 0x77;
    }
    return b;
}

std::array<int, 4> entry(const PaletteTable& t, int i) {
    return {t[i * 4], t[i * 4 + 1], t[i * 4 + 2], t[i * 4 + 3]};
}

} // namespace

TEST(DefaultPalette, ThreeThreeTwoLevelsWithTruncatingDivision) {
    PaletteTable t = defaultPalette();
    EXPECT_EQ(entry(t, 0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(entry(t, 3), (std::array<int, 4>{0, 0, 255, 0}));
    EXPECT_EQ(entry(t, 28), (std::array<int, 4>{0, 255, 0, 0}));
    EXPECT_EQ(entry(t, 224), (std::array<int, 4>{255, 0, 0, 0}));
    EXPECT_EQ(entry(t, 255), (std::array<int, 4>{255, 255, 255, 0}));
    EXPECT_EQ(entry(t, 73), (std::array<int, 4>{72, 72, 85, 0}));
    EXPECT_EQ(entry(t, 182), (std::array<int, 4>{182, 182, 170, 0}));
    const int levels[8] = {0, 36, 72, 109, 145, 182, 218, 255};
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(t[i * 4], levels[(i >> 5) & 7]) << i;
        EXPECT_EQ(t[i * 4 + 1], levels[(i >> 2) & 7]) << i;
    }
}

TEST(ColourCount, FollowsBitsAndColoursUsed) {
    EXPECT_EQ(colorCount(0, 0), 1);
    EXPECT_EQ(colorCount(1, 0), 2);
    EXPECT_EQ(colorCount(2, 0), 4);
    EXPECT_EQ(colorCount(4, 0), 16);
    EXPECT_EQ(colorCount(8, 0), 256);
    EXPECT_EQ(colorCount(8, 10), 10);
    EXPECT_EQ(colorCount(4, 200), 200);
    EXPECT_EQ(colorCount(16, 0), 0);
    EXPECT_EQ(colorCount(24, 5), 0);
    EXPECT_EQ(colorCount(0xFFFF, 0), 0);
}

TEST(ColourCount, HostileCountsAreClampedOrIgnored) {
    EXPECT_EQ(colorCount(8, 257), 256);
    EXPECT_EQ(colorCount(8, 0x7FFFFFFF), 256);
    EXPECT_EQ(colorCount(8, 0x80000000u), 0);
    EXPECT_EQ(colorCount(8, 0xFFFFFFFFu), 0);
}

TEST(FileColourCount, NeedsBothHeadersAndAFortyByteHeader) {
    EXPECT_EQ(fileColorCount(makeFile(40, 8, 0, 0).data(), 54), 256);
    EXPECT_EQ(fileColorCount(makeFile(40, 4, 0, 0).data(), 54), 16);
    auto file = makeFile(40, 8, 0, 0);
    EXPECT_EQ(fileColorCount(file.data(), 53), 0);
    EXPECT_EQ(fileColorCount(nullptr, 0), 0);
    EXPECT_EQ(fileColorCount(makeFile(108, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColorCount(makeFile(124, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColorCount(makeFile(12, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColorCount(makeFile(0xFFFFFFFFu, 8, 0, 0).data(), 54), 0);
}

TEST(PaletteFromFile, EightBitTableIsSwappedToRedGreenBlue) {
    auto file = makeFile(40, 8, 0, 1024);
    PaletteTable t = paletteFromFileBytes(file.data(), file.size());
    for (int i = 0; i < 256; ++i) {
        int b = (i * 4 + 1) & 0xFF; // file bytes count up from 1
        EXPECT_EQ(entry(t, i),
                  (std::array<int, 4>{(b + 2) & 0xFF, (b + 1) & 0xFF, b, (b + 3) & 0xFF}))
            << i;
    }
}

TEST(PaletteFromFile, EntriesPastNHoldTheFollowingBytesUnswapped) {
    auto file = makeFile(40, 4, 0, 2000);
    PaletteTable t = paletteFromFileBytes(file.data(), file.size());
    EXPECT_EQ(entry(t, 0), (std::array<int, 4>{3, 2, 1, 4}));
    EXPECT_EQ(entry(t, 15), (std::array<int, 4>{63, 62, 61, 64}));
    EXPECT_EQ(entry(t, 16), (std::array<int, 4>{65, 66, 67, 68}));
    for (int k = 64; k < 1024; ++k)
        EXPECT_EQ(t[k], (k + 1) & 0xFF) << k;
}

TEST(PaletteFromFile, HighColourAndLargerHeadersConvertNothing) {
    for (std::uint32_t header : {40u, 108u, 124u}) {
        auto file = makeFile(header, header == 40 ? 24 : 8, 0, 1024);
        PaletteTable t = paletteFromFileBytes(file.data(), file.size());
        for (int k = 0; k < 1024; ++k)
            ASSERT_EQ(t[k], (k + 1) & 0xFF) << header << " " << k;
    }
}

TEST(PaletteFromFile, ShortFileKeepsDefaultsWhereItDidNotReach) {
    PaletteTable def = defaultPalette();
    // Six whole entries and half of the seventh.
    auto file = makeFile(40, 8, 0, 26);
    PaletteTable t = paletteFromFileBytes(file.data(), file.size());
    EXPECT_EQ(entry(t, 5), (std::array<int, 4>{23, 22, 21, 24}));
    EXPECT_EQ(t[24], 25);
    EXPECT_EQ(t[25], 26);
    EXPECT_EQ(t[26], def[26]);
    for (int k = 28; k < 1024; ++k)
        ASSERT_EQ(t[k], def[k]) << k;
    // Shorter than both headers: nothing converted, nothing read.
    auto headerOnly = makeFile(40, 8, 0, 0);
    EXPECT_EQ(paletteFromFileBytes(headerOnly.data(), 30), def);
    EXPECT_EQ(paletteFromFileBytes(nullptr, 0), def);
}

TEST(PaletteFromFile, HugeColoursUsedConvertsAtMostTheTable) {
    auto file = makeFile(40, 8, 0x7FFFFFFF, 1024);
    PaletteTable t = paletteFromFileBytes(file.data(), file.size());
    EXPECT_EQ(entry(t, 255), (std::array<int, 4>{(1021 + 2) & 0xFF, (1021 + 1) & 0xFF, 1021 & 0xFF,
                                                 (1021 + 3) & 0xFF}));
}

TEST(PaletteFromResource, TableFollowsTheHeadersOwnSize) {
    for (std::uint32_t header : {40u, 108u, 124u}) {
        auto res = makeResource(header, 4, 0, 16);
        PaletteTable t = paletteFromResourceBytes(res.data(), res.size());
        EXPECT_EQ(entry(t, 0), (std::array<int, 4>{2, 1, 0, 0})) << header;
        EXPECT_EQ(entry(t, 15), (std::array<int, 4>{17, 16, 15, 0})) << header;
        EXPECT_EQ(entry(t, 16), entry(defaultPalette(), 16)) << header;
    }
}

TEST(PaletteFromResource, ColoursUsedLimitsTheEntries) {
    auto res = makeResource(40, 8, 3, 256);
    PaletteTable t = paletteFromResourceBytes(res.data(), res.size());
    EXPECT_EQ(entry(t, 2), (std::array<int, 4>{4, 3, 2, 0}));
    EXPECT_EQ(entry(t, 3), entry(defaultPalette(), 3));
}

TEST(PaletteFromResource, HighColourSmallHeaderOrNoDataGivesTheDefault) {
    PaletteTable def = defaultPalette();
    auto rgb = makeResource(40, 24, 0, 64);
    EXPECT_EQ(paletteFromResourceBytes(rgb.data(), rgb.size()), def);
    auto core = makeResource(12, 8, 0, 64);
    EXPECT_EQ(paletteFromResourceBytes(core.data(), core.size()), def);
    EXPECT_EQ(paletteFromResourceBytes(nullptr, 0), def);
    auto res = makeResource(40, 8, 0, 0);
    EXPECT_EQ(paletteFromResourceBytes(res.data(), 39), def);
}

TEST(PaletteFromResource, NeverReadsPastTheResource) {
    PaletteTable def = defaultPalette();
    // Claims 256 entries, holds 10 and a half: exactly the 10 whole ones are taken.
    auto res = makeResource(40, 8, 0, 10);
    res.resize(res.size() + 2, 0xEE);
    PaletteTable t = paletteFromResourceBytes(res.data(), res.size());
    EXPECT_EQ(entry(t, 9), (std::array<int, 4>{11, 10, 9, 0}));
    EXPECT_EQ(entry(t, 10), entry(def, 10));
    // A header size past the end, or 0xFFFFFFFF: nothing.
    for (std::uint32_t header : {0xFFFFFFFFu, 0x80000000u, 41u * 4}) {
        auto bad = makeResource(40, 8, 0, 0);
        putU32(bad, 0, header);
        EXPECT_EQ(paletteFromResourceBytes(bad.data(), bad.size()), def) << header;
    }
    // N huge with a big table: clamped to 256 entries.
    auto big = makeResource(40, 8, 0xFFFF, 300);
    t = paletteFromResourceBytes(big.data(), big.size());
    EXPECT_EQ(entry(t, 255), (std::array<int, 4>{1, 0, 255, 0}));
}

TEST(PaletteRange, RefusesNegativeAndPastTheTable) {
    EXPECT_TRUE(paletteRangeValid(0, 256));
    EXPECT_TRUE(paletteRangeValid(250, 6));
    EXPECT_TRUE(paletteRangeValid(256, 0));
    EXPECT_FALSE(paletteRangeValid(250, 10));
    EXPECT_FALSE(paletteRangeValid(-1, 1));
    EXPECT_FALSE(paletteRangeValid(0, -1));
    EXPECT_FALSE(paletteRangeValid(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_FALSE(paletteRangeValid(1, 0x7FFFFFFF));
}

TEST(RawCopyBounds, StaysInsidePitchTimesHeight) {
    EXPECT_TRUE(rawCopyInBounds(0, 640 * 10, 640, 10));
    EXPECT_TRUE(rawCopyInBounds(6399, 1, 640, 10));
    EXPECT_TRUE(rawCopyInBounds(6400, 0, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(6399, 2, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(0, 6401, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(-1, 1, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(0, -1, 640, 10));
    // Would wrap to a negative sum in 32 bits.
    EXPECT_FALSE(rawCopyInBounds(0x7FFFFFFF, 0x7FFFFFFF, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(0, 1, -640, 10));
}

TEST(RawCopyBounds, HoldsAtTheEdgesOfLong) {
    // Where `long` is 64 bits, these sums and products leave 64-bit signed arithmetic.
    const long most = std::numeric_limits<long>::max();
    EXPECT_FALSE(rawCopyInBounds(most, most, 640, 10));
    EXPECT_FALSE(rawCopyInBounds(most, 1, 640, 10));
    EXPECT_TRUE(rawCopyInBounds(0, 10, most, 4));
    EXPECT_TRUE(rawCopyInBounds(most, most, most, 4));
    EXPECT_TRUE(rawCopyInBounds(most - 1, 1, most, 1));
    EXPECT_FALSE(rawCopyInBounds(most, 1, most, 1));
    EXPECT_TRUE(rawCopyInBounds(0, 0, most, 0));
    EXPECT_FALSE(rawCopyInBounds(0, 1, most, 0));
}

namespace {

// Both headers of a BITMAPINFOHEADER file with its pixels right after a colour table.
std::vector<std::uint8_t> bitmapHead(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                     std::uint32_t compression = 0, std::uint32_t used = 0) {
    std::vector<std::uint8_t> b(54);
    b[0] = 'B';
    b[1] = 'M';
    std::uint32_t colors = used ? used : (bits <= 8 ? 1u << bits : 0);
    putU32(b, 10, 54 + colors * 4 + (compression == 3 ? 12 : 0));
    putU32(b, 14, 40);
    putU32(b, 18, static_cast<std::uint32_t>(width));
    putU32(b, 22, static_cast<std::uint32_t>(height));
    putU16(b, 26, 1);
    putU16(b, 28, bits);
    putU32(b, 30, compression);
    putU32(b, 46, used);
    return b;
}

} // namespace

TEST(BitmapFileComplete, NeedsEveryRowItsHeadersPromise) {
    // 24-bit 5 x 3: rows of 16 bytes (15 padded to 4).
    auto rgb = bitmapHead(5, 3, 24);
    EXPECT_TRUE(bitmapFileComplete(rgb.data(), rgb.size(), 54 + 48));
    EXPECT_FALSE(bitmapFileComplete(rgb.data(), rgb.size(), 54 + 47));
    // Top-down rows count the same.
    auto topDown = bitmapHead(5, -3, 24);
    EXPECT_TRUE(bitmapFileComplete(topDown.data(), topDown.size(), 54 + 48));
    EXPECT_FALSE(bitmapFileComplete(topDown.data(), topDown.size(), 60));
    // 4-bit 3 x 2: 16-entry table, rows of 4 bytes.
    auto pal = bitmapHead(3, 2, 4);
    EXPECT_TRUE(bitmapFileComplete(pal.data(), pal.size(), 54 + 64 + 8));
    EXPECT_FALSE(bitmapFileComplete(pal.data(), pal.size(), 54 + 64 + 7));
    // Bit fields: three masks after the 40-byte header.
    auto masks = bitmapHead(2, 2, 16, 3);
    EXPECT_TRUE(bitmapFileComplete(masks.data(), masks.size(), 54 + 12 + 8));
    EXPECT_FALSE(bitmapFileComplete(masks.data(), masks.size(), 54 + 12 + 7));
}

TEST(BitmapFileComplete, RefusesTruncatedAndHostileHeaders) {
    auto good = bitmapHead(5, 3, 24);
    EXPECT_FALSE(bitmapFileComplete(good.data(), 53, 1000)); // header cut short
    EXPECT_FALSE(bitmapFileComplete(nullptr, 0, 0));
    auto notBm = good;
    notBm[0] = 'X';
    EXPECT_FALSE(bitmapFileComplete(notBm.data(), notBm.size(), 1000));
    auto hugeHeader = good;
    putU32(hugeHeader, 14, 0xFFFFFFFFu);
    EXPECT_FALSE(bitmapFileComplete(hugeHeader.data(), hugeHeader.size(), 1u << 30));
    auto hugeSize = bitmapHead(0x7FFFFFFF, 0x7FFFFFFF, 32);
    EXPECT_FALSE(bitmapFileComplete(hugeSize.data(), hugeSize.size(), 1u << 30));
    auto lowest = bitmapHead(4, std::int32_t(0x80000000u), 8);
    EXPECT_FALSE(bitmapFileComplete(lowest.data(), lowest.size(), 1u << 30));
    EXPECT_FALSE(bitmapFileComplete(bitmapHead(0, 3, 24).data(), 54, 1000));
    EXPECT_FALSE(bitmapFileComplete(bitmapHead(5, 0, 24).data(), 54, 1000));
    EXPECT_FALSE(bitmapFileComplete(bitmapHead(5, 3, 7).data(), 54, 1000));
    auto offsetPast = good;
    putU32(offsetPast, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(bitmapFileComplete(offsetPast.data(), offsetPast.size(), 1000));
    // Colours used past 256 counts as the 256 entries the loader reads.
    auto manyColors = bitmapHead(1, 1, 8, 0, 0xFFFFFFFFu);
    putU32(manyColors, 10, 54 + 1024);
    EXPECT_TRUE(bitmapFileComplete(manyColors.data(), manyColors.size(), 54 + 1024 + 4));
    EXPECT_FALSE(bitmapFileComplete(manyColors.data(), manyColors.size(), 54 + 1023));
}

TEST(BitmapFileComplete, CompressedNeedsItsStatedSize) {
    auto rle = bitmapHead(16, 16, 8, 1);
    putU32(rle, 34, 100);
    EXPECT_TRUE(bitmapFileComplete(rle.data(), rle.size(), 54 + 1024 + 100));
    EXPECT_FALSE(bitmapFileComplete(rle.data(), rle.size(), 54 + 1024 + 99));
    putU32(rle, 34, 0);
    EXPECT_FALSE(bitmapFileComplete(rle.data(), rle.size(), 1u << 20));
    auto jpeg = bitmapHead(16, 16, 24, 4);
    EXPECT_FALSE(bitmapFileComplete(jpeg.data(), jpeg.size(), 1u << 20));
}

TEST(BitmapFileComplete, CoreHeaderHasThreeByteEntries) {
    std::vector<std::uint8_t> core(26);
    core[0] = 'B';
    core[1] = 'M';
    putU32(core, 10, 26 + 6);
    putU32(core, 14, 12);
    putU16(core, 18, 8); // width
    putU16(core, 20, 2); // height
    putU16(core, 22, 1);
    putU16(core, 24, 1); // 2 colours of 3 bytes, rows of 4 bytes
    EXPECT_TRUE(bitmapFileComplete(core.data(), core.size(), 26 + 6 + 8));
    EXPECT_FALSE(bitmapFileComplete(core.data(), core.size(), 26 + 6 + 7));
}
