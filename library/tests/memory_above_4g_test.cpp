// A caller's buffer above 4 GB reaches the exports that take the caller's memory whole:
// the raw pixel copies, the palette-entry exports, the palette maker, the rectangles of
// ddBlt and the mode list. Built in the 64-bit tree only: a 32-bit process has no address
// above 4 GB to give.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "pixel_access.h"
#include "quillon_dll.h"

#ifndef _WIN64
#error "64-bit only: a 32-bit process has no addresses above 4 GB"
#endif

using qtest::dll;

namespace {

constexpr ULONG_PTR k4G = 0x100000000ull;

// Committed memory at an address of 4 GB or more, asked for at a few hints from 4 GB up.
template <class T> T* allocateAbove4G(size_t count) {
    const SIZE_T bytes = count * sizeof(T);
    for (ULONG_PTR hint = k4G; hint < 0x100000000000ull; hint *= 2) {
        for (ULONG_PTR step = 0; step < 4; ++step) {
            void* at = reinterpret_cast<void*>(hint + step * 0x10000000ull);
            void* p = VirtualAlloc(at, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (!p) continue;
            if (reinterpret_cast<ULONG_PTR>(p) >= k4G) {
                std::printf("buffer of %zu bytes at %p\n", static_cast<size_t>(bytes), p);
                return static_cast<T*>(p);
            }
            VirtualFree(p, 0, MEM_RELEASE);
        }
    }
    return nullptr;
}

template <class T> void release(T* p) {
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}

class Above4G : public ::testing::Test {
  protected:
    void SetUp() override {
        window = qtest::makeWindow(64, 32);
        ASSERT_EQ(d.ddInit(window, 64, 32, 0), 1);
    }
    void TearDown() override {
        d.ddQuit();
        DestroyWindow(window);
    }

    const qtest::QuillonDll& d = dll();
    HWND window = nullptr;
};

std::uint8_t patternAt(long i) {
    return static_cast<std::uint8_t>(i * 7 + 3);
}

} // namespace

TEST_F(Above4G, RawPixelCopiesReadAndWriteTheCallersBuffer) {
    QHANDLE s = d.ddCreateSurface(16, 8);
    ASSERT_NE(s, 0);
    const long bytes = d.ddGetPitch(s) * d.ddGetHeight(s);
    ASSERT_GT(bytes, 0);
    auto* buffer = allocateAbove4G<std::uint8_t>(static_cast<size_t>(bytes));
    ASSERT_NE(buffer, nullptr) << "no memory above 4 GB to be had";
    RecordProperty("bufferAddress", std::to_string(reinterpret_cast<ULONG_PTR>(buffer)));

    // Into the surface: the surface's memory ends up holding the buffer's bytes.
    for (long i = 0; i < bytes; ++i)
        buffer[i] = patternAt(i);
    ASSERT_EQ(d.ddSetSurfaceData(buffer, bytes, s), 1);
    EXPECT_TRUE(qtest::withLock(s, [&](const DDSURFACEDESC& desc) {
        EXPECT_EQ(std::memcmp(desc.lpSurface, buffer, static_cast<size_t>(bytes)), 0);
    }));

    // Out of the surface into the buffer, whole and from an offset.
    std::memset(buffer, 0, static_cast<size_t>(bytes));
    ASSERT_EQ(d.ddGetSurfaceData(buffer, bytes, s), 1);
    for (long i = 0; i < bytes; ++i)
        ASSERT_EQ(buffer[i], patternAt(i)) << "byte " << i;
    std::memset(buffer, 0, static_cast<size_t>(bytes));
    ASSERT_EQ(d.ddGetSurfaceData2(buffer, 16, s, 32), 1);
    for (long i = 0; i < 16; ++i)
        ASSERT_EQ(buffer[i], patternAt(32 + i)) << "byte " << i;

    // Into the surface from an offset.
    for (long i = 0; i < 16; ++i)
        buffer[i] = 0xEE;
    ASSERT_EQ(d.ddSetSurfaceData2(buffer, 16, s, 48), 1);
    EXPECT_TRUE(qtest::withLock(s, [&](const DDSURFACEDESC& desc) {
        const auto* memory = static_cast<const std::uint8_t*>(desc.lpSurface);
        EXPECT_EQ(memory[47], patternAt(47));
        for (long i = 48; i < 64; ++i)
            EXPECT_EQ(memory[i], 0xEE) << "byte " << i;
        EXPECT_EQ(memory[64], patternAt(64));
    }));

    release(buffer);
    EXPECT_EQ(d.ddReleaseSurface(s), 1);
}

TEST_F(Above4G, PaletteEntriesAndThePaletteMakerUseTheCallersBuffer) {
    auto* entries = allocateAbove4G<PALETTEENTRY>(2 * 256);
    ASSERT_NE(entries, nullptr) << "no memory above 4 GB to be had";
    PALETTEENTRY* made = entries;       // what the palette is made from
    PALETTEENTRY* read = entries + 256; // where entries are read into
    for (int i = 0; i < 256; ++i)
        made[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};

    QHANDLE palette = d.ddCreatePalette(made);
    ASSERT_NE(palette, 0);
    ASSERT_EQ(d.ddGetPaletteEntries(palette, 0, 256, read), 1);
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].peRed, made[i].peRed);
        EXPECT_EQ(read[i].peGreen, made[i].peGreen);
        EXPECT_EQ(read[i].peBlue, made[i].peBlue);
    }

    // Entries 10 to 19 set from the high buffer, read back into it at another place.
    for (int i = 0; i < 10; ++i)
        made[i] = {0x11, 0x22, static_cast<BYTE>(0x30 + i), 0};
    ASSERT_EQ(d.ddSetPaletteEntries(palette, 10, 10, made), 1);
    std::memset(read, 0, 256 * sizeof(PALETTEENTRY));
    ASSERT_EQ(d.ddGetPaletteEntries(palette, 5, 20, read), 1);
    EXPECT_EQ(read[4].peRed, 9); // entry 9 untouched
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(10 + i);
        EXPECT_EQ(read[5 + i].peRed, 0x11);
        EXPECT_EQ(read[5 + i].peGreen, 0x22);
        EXPECT_EQ(read[5 + i].peBlue, 0x30 + i);
    }
    EXPECT_EQ(read[15].peRed, 20); // entry 20 untouched

    EXPECT_EQ(d.ddReleasePalette(palette), 1);
    release(entries);
}

TEST_F(Above4G, BlitRectanglesAndTheModeListUseTheCallersBuffer) {
    auto* rects = allocateAbove4G<RECT>(2);
    ASSERT_NE(rects, nullptr) << "no memory above 4 GB to be had";
    QHANDLE sprite = d.ddCreateSurface(8, 8);
    ASSERT_NE(sprite, 0);
    qtest::paint(sprite, [](int, int) { return 0x00ABCDEFu; });
    QHANDLE back = d.ddGetBackSurface();
    ASSERT_EQ(d.ddClear(0, 0), 1);
    rects[0] = {10, 4, 18, 12}; // destination
    rects[1] = {0, 0, 8, 8};    // source
    ASSERT_EQ(d.ddBlt(0, &rects[0], sprite, &rects[1], 0), 1) << "ddError " << d.ddError();
    EXPECT_EQ(qtest::pixel(back, 10, 4) & 0x00FFFFFFu, 0x00ABCDEFu);
    EXPECT_EQ(qtest::pixel(back, 17, 11) & 0x00FFFFFFu, 0x00ABCDEFu);
    EXPECT_EQ(qtest::pixel(back, 18, 12) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(d.ddReleaseSurface(sprite), 1);
    release(rects);

    auto* modes = allocateAbove4G<long>(3 * 4);
    ASSERT_NE(modes, nullptr);
    long stored = d.ddEnumDisplayModes(modes, 4);
    EXPECT_GT(stored, 0);
    for (long i = 0; i < stored; ++i) {
        EXPECT_GT(modes[3 * i], 0);
        EXPECT_GT(modes[3 * i + 1], 0);
        EXPECT_GT(modes[3 * i + 2], 0);
    }
    release(modes);
}
