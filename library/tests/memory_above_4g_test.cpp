// Addresses above 4 GB reach the library whole. Guarded here: surface and palette handles
// (the addresses of interfaces: proxies built above 4 GB stand in front of real surfaces and
// palettes and go to every export that takes either handle), and the caller's buffers that
// the exports take whole (the raw pixel copies, the palette-entry exports, the palette
// maker, the rectangles of ddBlt and the mode list). Not guarded here: window, device-context
// and GDI handles, which are 32-bit significant on Win64 by the platform's design; the
// surface device-context test guards their round trip. Built in the 64-bit tree only: a
// 32-bit process has no address above 4 GB to give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <new>
#include <string>

#include "pixel_access.h"
#include "quillon_dll.h"
#include "surface_proxy.h"

#include <ocidl.h>

#ifndef _WIN64
#error "64-bit only: a 32-bit process has no addresses above 4 GB"
#endif

using library_test::dll;

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
        window = library_test::makeWindow(64, 32);
        ASSERT_EQ(d.ddInit(window, 64, 32, 0), 1);
    }
    void TearDown() override {
        d.ddQuit();
        DestroyWindow(window);
    }

    const library_test::QuillonDll& d = dll();
    HWND window = nullptr;
};

// A proxy built by placement new in memory above 4 GB: its address is the handle.
template <class Proxy> class HighProxy {
  public:
    template <class... Args> explicit HighProxy(Args&&... args) {
        memory_ = allocateAbove4G<Proxy>(1);
        if (memory_) proxy_ = new (memory_) Proxy(std::forward<Args>(args)...);
    }
    ~HighProxy() {
        if (proxy_) proxy_->~Proxy();
        release(memory_);
    }
    HighProxy(const HighProxy&) = delete;
    HighProxy& operator=(const HighProxy&) = delete;

    explicit operator bool() const { return proxy_ != nullptr; }
    Proxy* operator->() const { return proxy_; }
    QHANDLE handle() const { return proxy_->handle(); }

  private:
    Proxy* memory_ = nullptr;
    Proxy* proxy_ = nullptr;
};

using Log = std::vector<std::string>;

bool logged(const Log& log, const std::string& call) {
    return std::find(log.begin(), log.end(), call) != log.end();
}

std::uint32_t rgbAt(QHANDLE surface, int x, int y) {
    return library_test::pixel(surface, x, y) & 0x00FFFFFFu;
}

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
    EXPECT_TRUE(library_test::withLock(s, [&](const DDSURFACEDESC& desc) {
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
    EXPECT_TRUE(library_test::withLock(s, [&](const DDSURFACEDESC& desc) {
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
    library_test::paint(sprite, [](int, int) { return 0x00ABCDEFu; });
    QHANDLE back = d.ddGetBackSurface();
    ASSERT_EQ(d.ddClear(0, 0), 1);
    rects[0] = {10, 4, 18, 12}; // destination
    rects[1] = {0, 0, 8, 8};    // source
    ASSERT_EQ(d.ddBlt(0, &rects[0], sprite, &rects[1], 0), 1) << "ddError " << d.ddError();
    EXPECT_EQ(library_test::pixel(back, 10, 4) & 0x00FFFFFFu, 0x00ABCDEFu);
    EXPECT_EQ(library_test::pixel(back, 17, 11) & 0x00FFFFFFu, 0x00ABCDEFu);
    EXPECT_EQ(library_test::pixel(back, 18, 12) & 0x00FFFFFFu, 0u);
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

// Sizes unlike the back surface's (64 x 32): a handle that lost its high half and came out
// as 0 would reach the back surface instead, and the sizes and pixels would show it.
TEST_F(Above4G, SurfaceHandlesAbove4GReachTheirSurfaces) {
    QHANDLE realA = d.ddCreateSurface(24, 12), realB = d.ddCreateSurface(8, 6);
    ASSERT_NE(realA, 0);
    ASSERT_NE(realB, 0);
    Log log;
    HighProxy<library_test::SurfaceProxy> a(library_test::surfaceOf(realA), "a", log);
    HighProxy<library_test::SurfaceProxy> b(library_test::surfaceOf(realB), "b", log);
    ASSERT_TRUE(a && b) << "no memory above 4 GB to be had";
    const QHANDLE ha = a.handle(), hb = b.handle();
    ASSERT_GE(static_cast<ULONG_PTR>(ha), k4G);
    ASSERT_GE(static_cast<ULONG_PTR>(hb), k4G);

    // Queries.
    EXPECT_EQ(d.ddGetWidth(ha), 24);
    EXPECT_EQ(d.ddGetHeight(ha), 12);
    EXPECT_EQ(d.ddGetPitch(ha), d.ddGetPitch(realA));
    EXPECT_EQ(d.ddInVideoMemory(hb), d.ddInVideoMemory(realB));

    // Fills.
    EXPECT_EQ(d.ddClear(ha, 0x000000FF), 1);
    EXPECT_EQ(rgbAt(realA, 23, 11), 0x0000FFu);
    EXPECT_EQ(d.ddFillBlt(hb, 0, 0, 8, 6, 0x00FF0000), 1);
    EXPECT_EQ(rgbAt(realB, 7, 5), 0xFF0000u);
    EXPECT_EQ(d.ddSafeFillBlt(ha, 20, 8, 10, 10, 24, 12, 0x0000FF00), 1);
    EXPECT_EQ(rgbAt(realA, 23, 11), 0x00FF00u);

    // Every blit copies b (red, a colour of its own at (0, 0)) into a column of a.
    library_test::paint(realB,
                        [](int x, int y) { return x == 0 && y == 0 ? 0x00123456u : 0x00FF0000u; });
    EXPECT_EQ(d.ddClear(ha, 0), 1);
    RECT destRect = {0, 0, 2, 2}, srcRect = {0, 0, 2, 2};
    EXPECT_EQ(d.ddBlt(ha, &destRect, hb, &srcRect, 0), 1);
    EXPECT_EQ(d.ddBitBlt(ha, 3, 0, 2, 2, hb, 0, 0, 0), 1);
    EXPECT_EQ(d.ddSafeBitBlt(ha, 6, 0, 2, 2, 24, 12, hb, 0, 0, 8, 6, 0), 1);
    EXPECT_EQ(d.ddStretchBlt(ha, 9, 0, 2, 2, hb, 0, 0, 2, 2, 0), 1);
    EXPECT_EQ(d.ddBltFX(ha, 12, 0, 2, 2, hb, 0, 0, 2, 2, SRCCOPY, 0), 1);
    EXPECT_EQ(d.ddBltFast(ha, 15, 0, 2, 2, hb, 0, 0, 0), 1);
    EXPECT_EQ(d.ddSafeBltFast(ha, 18, 0, 2, 2, 24, 12, hb, 0, 0, 8, 6, 0), 1);
    for (int x = 0; x <= 18; x += 3) {
        SCOPED_TRACE(x);
        EXPECT_EQ(rgbAt(realA, x, 0), 0x123456u);
        EXPECT_EQ(rgbAt(realA, x + 1, 1), 0xFF0000u);
    }
    EXPECT_EQ(rgbAt(realA, 2, 0), 0u);

    // Colours and colour keys.
    EXPECT_EQ(d.ddColorEx(RGB(0, 0, 255), hb), d.ddColorEx(RGB(0, 0, 255), realB));
    EXPECT_EQ(d.ddSetColorKey(hb, -1), 1);
    EXPECT_EQ(d.ddGetColorKey(hb), 0x00123456);
    EXPECT_EQ(d.ddGetColorKey(realB), 0x00123456);

    // Device contexts, bitmaps and pictures.
    QHANDLE dc = d.ddGetDC(ha);
    ASSERT_NE(dc, 0);
    SetPixel(reinterpret_cast<HDC>(dc), 23, 11, RGB(0, 255, 0));
    EXPECT_EQ(d.ddReleaseDC(ha, dc), 1);
    EXPECT_EQ(rgbAt(realA, 23, 11), 0x00FF00u);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ former = SelectObject(memory, bitmap);
    RECT all = {0, 0, 4, 4};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(memory, former);
    DeleteDC(memory);
    EXPECT_EQ(d.ddBitmapBlt(ha, 20, 4, 4, 4, bitmap, 0, 0), 1);
    EXPECT_EQ(rgbAt(realA, 23, 7), 0xFFFFFFu);
    DeleteObject(bitmap);
    IPictureDisp* picture = nullptr;
    EXPECT_NE(d.ddGetSurfaceImage(&picture, hb, 0, 0, 8, 6), 0);
    if (picture) picture->Release();

    // Raw copies.
    std::vector<std::uint8_t> bytes(static_cast<size_t>(d.ddGetPitch(realB) * 6));
    const long count = static_cast<long>(bytes.size());
    EXPECT_EQ(d.ddGetSurfaceData(bytes.data(), count, hb), 1);
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(d.ddGetSurfaceData2(bytes.data(), 4, hb, 4), 1);
    EXPECT_EQ(bytes[2], 0xFF);
    std::uint32_t green = 0x0000FF00;
    EXPECT_EQ(d.ddSetSurfaceData(&green, 4, hb), 1);
    EXPECT_EQ(d.ddSetSurfaceData2(&green, 4, hb, 4), 1);
    EXPECT_EQ(rgbAt(realB, 0, 0), 0x00FF00u);
    EXPECT_EQ(rgbAt(realB, 1, 0), 0x00FF00u);

    // Presentation, and the repaint source it leaves behind.
    EXPECT_EQ(d.ddUpdateWindow(hb), 1);
    EXPECT_EQ(d.ddAsyncUpdateWindow(hb), 1);

    for (const char* call :
         {"Blt a", "BltFast a", "GetDC a", "GetDC b", "SetColorKey b", "GetColorKey b", "Lock b"})
        EXPECT_TRUE(logged(log, call)) << call;

    // Released through the proxies: the library lets go of what it keeps.
    const int releasesBefore = a->releases + b->releases;
    EXPECT_EQ(d.ddReleaseSurface(hb), 1);
    EXPECT_EQ(d.ddReleaseSurface(ha), 1);
    EXPECT_EQ(a->releases + b->releases, releasesBefore + 2);
    EXPECT_EQ(d.ddReleaseSurface(realA), 1);
    EXPECT_EQ(d.ddReleaseSurface(realB), 1);
}

// 8 bits, so that a palette can go onto a surface.
TEST(Above4GPalette, PaletteHandlesAbove4GReachTheirPalettes) {
    const library_test::QuillonDll& d = dll();
    HWND window = library_test::makeWindow(640, 480);
    d.ddSetBitDepth(8);
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    QHANDLE realPalette = d.ddCreatePalette(entries);
    QHANDLE realSurface = d.ddCreateSurface(16, 8);
    ASSERT_NE(realPalette, 0);
    ASSERT_NE(realSurface, 0);
    Log log;
    HighProxy<library_test::PaletteProxy> p(reinterpret_cast<IDirectDrawPalette*>(realPalette), "p",
                                            log);
    HighProxy<library_test::SurfaceProxy> s(library_test::surfaceOf(realSurface), "s", log);
    ASSERT_TRUE(p && s) << "no memory above 4 GB to be had";
    ASSERT_GE(static_cast<ULONG_PTR>(p.handle()), k4G);

    PALETTEENTRY got[4] = {};
    ASSERT_EQ(d.ddGetPaletteEntries(p.handle(), 10, 4, got), 1);
    EXPECT_EQ(got[0].peRed, 10);
    EXPECT_EQ(got[3].peGreen, 255 - 13);
    const PALETTEENTRY set[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    ASSERT_EQ(d.ddSetPaletteEntries(p.handle(), 20, 2, set), 1);
    ASSERT_EQ(d.ddGetPaletteEntries(realPalette, 20, 2, got), 1);
    EXPECT_EQ(got[0].peBlue, 3);
    EXPECT_EQ(got[1].peBlue, 6);

    // Onto a surface whose handle lies above 4 GB too, and back.
    ASSERT_EQ(d.ddSetPalette(s.handle(), p.handle()), 1) << d.ddError();
    QHANDLE attached = d.ddGetPalette(s.handle());
    EXPECT_EQ(attached, realPalette);
    if (attached) d.ddReleasePalette(attached);
    EXPECT_EQ(d.ddSetPalette(s.handle(), 0), 1);
    EXPECT_EQ(
        log, (Log{"GetEntries p", "SetEntries p", "SetPalette s", "GetPalette s", "SetPalette s"}));

    // The last reference goes through the proxy.
    EXPECT_EQ(d.ddReleasePalette(p.handle()), 1);
    d.ddReleaseSurface(realSurface);
    d.ddQuit();
    DestroyWindow(window);
}
