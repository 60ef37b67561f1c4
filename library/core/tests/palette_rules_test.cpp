#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(colourCount(0, 0), 1);
    EXPECT_EQ(colourCount(1, 0), 2);
    EXPECT_EQ(colourCount(2, 0), 4);
    EXPECT_EQ(colourCount(4, 0), 16);
    EXPECT_EQ(colourCount(8, 0), 256);
    EXPECT_EQ(colourCount(8, 10), 10);
    EXPECT_EQ(colourCount(4, 200), 200);
    EXPECT_EQ(colourCount(16, 0), 0);
    EXPECT_EQ(colourCount(24, 5), 0);
    EXPECT_EQ(colourCount(0xFFFF, 0), 0);
}

TEST(ColourCount, HostileCountsAreClampedOrIgnored) {
    EXPECT_EQ(colourCount(8, 257), 256);
    EXPECT_EQ(colourCount(8, 0x7FFFFFFF), 256);
    EXPECT_EQ(colourCount(8, 0x80000000u), 0);
    EXPECT_EQ(colourCount(8, 0xFFFFFFFFu), 0);
}

TEST(FileColourCount, NeedsBothHeadersAndAFortyByteHeader) {
    EXPECT_EQ(fileColourCount(makeFile(40, 8, 0, 0).data(), 54), 256);
    EXPECT_EQ(fileColourCount(makeFile(40, 4, 0, 0).data(), 54), 16);
    auto file = makeFile(40, 8, 0, 0);
    EXPECT_EQ(fileColourCount(file.data(), 53), 0);
    EXPECT_EQ(fileColourCount(nullptr, 0), 0);
    EXPECT_EQ(fileColourCount(makeFile(108, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColourCount(makeFile(124, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColourCount(makeFile(12, 8, 0, 0).data(), 54), 0);
    EXPECT_EQ(fileColourCount(makeFile(0xFFFFFFFFu, 8, 0, 0).data(), 54), 0);
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
