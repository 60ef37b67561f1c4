// Bitmaps into surfaces, colour keys from the top-left pixel, ddBitmapBlt and the raw
// copies, in a windowed display context. Checkers: GDI's GetPixel on the surface's device
// context and the surface memory as the driver's own Lock shows it.
#include <gtest/gtest.h>

#include <cstring>

#include "bitmap_test_support.h"

using namespace library_test;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

class BitmapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(d.module, nullptr);
        window = makeWindow(320, 240);
        ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1) << "ddError " << d.ddError();
    }
    void TearDown() override {
        for (QHANDLE s : made)
            d.ddReleaseSurface(s);
        d.ddQuit();
        DestroyWindow(window);
    }
    QHANDLE keep(QHANDLE surface) {
        if (surface) made.push_back(surface);
        return surface;
    }
    const QuillonDll& d = dll();
    HWND window = nullptr;
    std::vector<QHANDLE> made;
};

// A 32-bit top-down DIB section whose pixel (x, y) is colourAt(x, y).
template <class F> HBITMAP makeBitmap(int width, int height, F colorAt) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = colorAt(x, y);
            px[y * width + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }
    return b;
}

} // namespace

TEST(BitmapNoContext, SizesOfNoBitmapAndLoadersRefuse) {
    const auto& d = dll();
    EXPECT_EQ(d.GetBitmapWidth(nullptr), 0);
    EXPECT_EQ(d.GetBitmapHeight(nullptr), 0);
    EXPECT_EQ(d.GetBitmapWidth(reinterpret_cast<HBITMAP>(0x12345)), 0);
    HBITMAP b = makeBitmap(37, 11, [](int, int) { return RGB(1, 2, 3); });
    EXPECT_EQ(d.GetBitmapWidth(b), 37);
    EXPECT_EQ(d.GetBitmapHeight(b), 11);
    EXPECT_EQ(d.ddCreateSurfaceFromBitmap(b), 0);
    EXPECT_EQ(d.ddBitmapBlt(0, 0, 0, 0, 0, b, 0, 0), 0);
    DeleteObject(b);
    EXPECT_EQ(d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str()), 0);
    EXPECT_EQ(d.ddGetSurfaceBitCount(), 0);
    char buffer[16];
    EXPECT_EQ(d.ddGetSurfaceData(buffer, 16, 0), 0);
    EXPECT_EQ(d.ddSetSurfaceData2(buffer, 16, 0, 0), 0);
}

TEST_F(BitmapTest, MagentaSheetIsKeyedOnMagentaAndKeyedBlitsLeaveItOut) {
    QHANDLE sheet = keep(d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str()));
    ASSERT_NE(sheet, 0);
    SurfaceMemory m = lockCopy(sheet);
    ASSERT_EQ(m.width, 64);
    ASSERT_EQ(m.height, 32);
    ASSERT_EQ(surfaceColor(sheet, 0, 0), kMagenta);
    std::uint32_t magenta = m.pixel(0, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(d.ddGetColorKey(sheet)), magenta);
    EXPECT_EQ(surfaceColor(sheet, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(surfaceColor(sheet, 50, 20), RGB(0, 0, 255));

    // Keyed blit onto grey: every magenta pixel of the sheet leaves the grey alone.
    QHANDLE target = keep(d.ddCreateSurface(64, 32));
    ASSERT_NE(target, 0);
    paintSurface(target, RGB(128, 128, 128));
    std::uint32_t grey = lockCopy(target).pixel(0, 0);
    ASSERT_EQ(surfaceOf(target)->BltFast(0, 0, reinterpret_cast<IDirectDrawSurface3*>(sheet),
                                         nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT),
              DD_OK);
    SurfaceMemory out = lockCopy(target);
    int keyed = 0;
    for (long y = 0; y < 32; ++y)
        for (long x = 0; x < 64; ++x) {
            bool isMagenta = m.pixel(x, y) == magenta;
            keyed += isMagenta;
            ASSERT_EQ(out.pixel(x, y), isMagenta ? grey : m.pixel(x, y)) << x << "," << y;
        }
    EXPECT_GT(keyed, 1000);
}

TEST_F(BitmapTest, EveryHeaderAndDepthLoadsWithItsColours) {
    struct Case {
        const char* name;
        long width, height;
        COLORREF left, right; // pixels (0, 0) and (width - 1, 0)
    } cases[] = {
        {"pal1.bmp", 16, 8, RGB(0, 0, 0), RGB(255, 255, 255)},
        {"rle8.bmp", 16, 8, RGB(255, 0, 0), RGB(0, 0, 255)},
        {"rgb16.bmp", 16, 8, RGB(0, 0, 255), RGB(0, 255, 0)},
        {"argb32.bmp", 16, 8, RGB(255, 0, 0), RGB(0, 0, 255)},
        {"v5pal4.bmp", 16, 8, RGB(255, 0, 0), RGB(0, 0, 255)},
        {"v4pal4.bmp", 16, 8, RGB(255, 0, 0), RGB(0, 0, 255)},
        {"pal8.bmp", 16, 16, CLR_INVALID, CLR_INVALID},
        {"pal4.bmp", 64, 64, CLR_INVALID, CLR_INVALID},
        {"rgb24.bmp", 64, 32, CLR_INVALID, CLR_INVALID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QHANDLE s = keep(d.ddCreateSurfaceFromFile(dataPath(c.name).c_str()));
        ASSERT_NE(s, 0);
        SurfaceMemory m = lockCopy(s);
        EXPECT_EQ(m.width, c.width);
        EXPECT_EQ(m.height, c.height);
        if (c.left != CLR_INVALID) {
            EXPECT_EQ(surfaceColor(s, 0, 0), c.left);
            EXPECT_EQ(surfaceColor(s, c.width - 1, 0), c.right);
        }
        EXPECT_EQ(static_cast<std::uint32_t>(d.ddGetColorKey(s)), m.pixel(0, 0));
    }
}

TEST_F(BitmapTest, ResourceSheetLoadsLikeTheFile) {
    HMODULE res = LoadLibraryW(L"bitmap_res.dll");
    ASSERT_NE(res, nullptr);
    QHANDLE s = keep(d.ddCreateSurfaceFromResource(res, "SHEET"));
    ASSERT_NE(s, 0);
    SurfaceMemory m = lockCopy(s);
    EXPECT_EQ(m.width, 64);
    EXPECT_EQ(m.height, 32);
    EXPECT_EQ(surfaceColor(s, 0, 0), kMagenta);
    EXPECT_EQ(surfaceColor(s, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(static_cast<std::uint32_t>(d.ddGetColorKey(s)), m.pixel(0, 0));
    EXPECT_EQ(d.ddCreateSurfaceFromResource(res, "NO_SUCH"), 0);
    // Headers that promise more than the resource holds are refused, not read past.
    EXPECT_EQ(d.ddCreateSurfaceFromResource(res, "BROKEN"), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromResource(res, "SHORTPAL"), 0);
    FreeLibrary(res);
}

TEST_F(BitmapTest, MissingOrBrokenFilesGiveNoSurface) {
    EXPECT_EQ(d.ddCreateSurfaceFromFile(dataPath("no_such.bmp").c_str()), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromFile(nullptr), 0);
    // A file that only starts like a bitmap.
    std::string broken = dataPath("broken_for_test.bmp");
    std::vector<std::uint8_t> head = readData("sheet.bmp");
    head.resize(60);
    HANDLE f = CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    WriteFile(f, head.data(), DWORD(head.size()), &done, nullptr);
    CloseHandle(f);
    EXPECT_EQ(d.ddCreateSurfaceFromFile(broken.c_str()), 0);
    DeleteFileA(broken.c_str());
}

TEST_F(BitmapTest, BitmapBltWithOneZeroSizeCopiesTheWholeBitmap) {
    HBITMAP b = makeBitmap(40, 30, [](int x, int y) { return RGB(4 * x, 8 * y, 200); });
    QHANDLE s = keep(d.ddCreateSurface(64, 64));
    ASSERT_NE(s, 0);
    paintSurface(s, RGB(0, 0, 0));
    ASSERT_EQ(d.ddBitmapBlt(s, 10, 5, 0, 50, b, 0, 0), 1);
    EXPECT_EQ(surfaceColor(s, 10, 5), RGB(0, 0, 200));
    EXPECT_EQ(surfaceColor(s, 49, 34), RGB(4 * 39, 8 * 29, 200));
    EXPECT_EQ(surfaceColor(s, 50, 5), RGB(0, 0, 0));  // width 40, not 0
    EXPECT_EQ(surfaceColor(s, 10, 35), RGB(0, 0, 0)); // height 30, not 50

    // A block from inside the bitmap.
    paintSurface(s, RGB(0, 0, 0));
    ASSERT_EQ(d.ddBitmapBlt(s, 0, 0, 5, 6, b, 3, 4), 1);
    EXPECT_EQ(surfaceColor(s, 0, 0), RGB(12, 32, 200));
    EXPECT_EQ(surfaceColor(s, 4, 5), RGB(28, 72, 200));
    EXPECT_EQ(surfaceColor(s, 5, 0), RGB(0, 0, 0));

    EXPECT_EQ(d.ddBitmapBlt(s, 0, 0, 0, 0, nullptr, 0, 0), 0);
    DeleteObject(b);
}

TEST_F(BitmapTest, BitmapBltToZeroDrawsOnTheBackSurface) {
    HBITMAP b = makeBitmap(8, 8, [](int, int) { return RGB(0, 255, 0); });
    ASSERT_EQ(d.ddBitmapBlt(0, 3, 3, 0, 0, b, 0, 0), 1);
    EXPECT_EQ(surfaceColor(d.ddGetBackSurface(), 5, 5), RGB(0, 255, 0));
    DeleteObject(b);
}

TEST_F(BitmapTest, CreateFromBitmapLeavesTheBitmapToTheCaller) {
    HBITMAP b =
        makeBitmap(12, 9, [](int x, int) { return x < 6 ? RGB(0, 0, 255) : RGB(255, 255, 0); });
    QHANDLE s = keep(d.ddCreateSurfaceFromBitmap(b));
    ASSERT_NE(s, 0);
    EXPECT_EQ(surfaceColor(s, 11, 8), RGB(255, 255, 0));
    EXPECT_EQ(static_cast<std::uint32_t>(d.ddGetColorKey(s)), lockCopy(s).pixel(0, 0));
    EXPECT_EQ(d.GetBitmapWidth(b), 12); // still a live bitmap
    EXPECT_NE(DeleteObject(b), 0);
    EXPECT_EQ(d.ddCreateSurfaceFromBitmap(nullptr), 0);
}

TEST_F(BitmapTest, RawCopiesCoverTheWholeSurfaceAndSinglePixels) {
    QHANDLE s = keep(d.ddCreateSurface(20, 10));
    ASSERT_NE(s, 0);
    HDC dc = nullptr;
    ASSERT_EQ(surfaceOf(s)->GetDC(&dc), DD_OK);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            SetPixel(dc, x, y, RGB(x * 10, y * 20, 77));
    surfaceOf(s)->ReleaseDC(dc);
    SurfaceMemory m = lockCopy(s);
    ASSERT_GT(m.bits, 0);
    long total = m.pitch * m.height;
    long bytes = m.bits / 8;

    std::vector<std::uint8_t> all(total + 16, 0xA5);
    ASSERT_EQ(d.ddGetSurfaceData(all.data(), total, s), 1);
    EXPECT_TRUE(std::equal(m.bytes.begin(), m.bytes.end(), all.begin()));
    for (long i = total; i < total + 16; ++i)
        ASSERT_EQ(all[i], 0xA5) << i;

    std::uint32_t px = 0;
    ASSERT_EQ(d.ddGetSurfaceData2(&px, bytes, s, 7 * m.pitch + 13 * bytes), 1);
    EXPECT_EQ(px, m.pixel(13, 7));
    EXPECT_EQ(surfaceColor(s, 13, 7), RGB(130, 140, 77));

    // Writing: a whole surface of one byte, then one pixel copied from (13, 7) to (2, 1).
    std::vector<std::uint8_t> fill(total, 0x3C);
    ASSERT_EQ(d.ddSetSurfaceData(fill.data(), total, s), 1);
    EXPECT_EQ(lockCopy(s).bytes, fill);
    ASSERT_EQ(d.ddSetSurfaceData2(&px, bytes, s, 1 * m.pitch + 2 * bytes), 1);
    SurfaceMemory after = lockCopy(s);
    EXPECT_EQ(after.pixel(2, 1), m.pixel(13, 7));
    EXPECT_EQ(after.pixel(3, 1), after.pixel(0, 0)); // the fill around it

    // The back surface stands in for 0.
    QHANDLE back = d.ddGetBackSurface();
    SurfaceMemory backMemory = lockCopy(back);
    std::vector<std::uint8_t> row(backMemory.pitch);
    ASSERT_EQ(d.ddGetSurfaceData(row.data(), long(row.size()), 0), 1);
    EXPECT_TRUE(std::equal(row.begin(), row.end(), backMemory.bytes.begin()));
}

TEST_F(BitmapTest, RawCopiesOutsideTheSurfaceTouchNothing) {
    QHANDLE s = keep(d.ddCreateSurface(20, 10));
    ASSERT_NE(s, 0);
    paintSurface(s, RGB(10, 20, 30));
    SurfaceMemory before = lockCopy(s);
    long total = before.pitch * before.height;

    std::vector<std::uint8_t> buffer(total + 64, 0xA5);
    const std::vector<std::uint8_t> guard = buffer;
    struct Range {
        long count, offset;
    } outside[] = {{total + 1, 0},  {4, total - 3},  {1, -1},       {-1, 0},
                   {4, 0x7FFFFFF0}, {0x7FFFFFFF, 1}, {total, total}};
    for (const Range& r : outside) {
        SCOPED_TRACE(std::to_string(r.count) + " at " + std::to_string(r.offset));
        if (r.offset == 0) {
            EXPECT_EQ(d.ddGetSurfaceData(buffer.data(), r.count, s), 0);
            EXPECT_EQ(d.ddSetSurfaceData(buffer.data(), r.count, s), 0);
        }
        EXPECT_EQ(d.ddGetSurfaceData2(buffer.data(), r.count, s, r.offset), 0);
        EXPECT_EQ(d.ddSetSurfaceData2(buffer.data(), r.count, s, r.offset), 0);
        EXPECT_EQ(buffer, guard);
        EXPECT_EQ(lockCopy(s).bytes, before.bytes);
    }
    // The last byte is still in reach.
    EXPECT_EQ(d.ddGetSurfaceData2(buffer.data(), 1, s, total - 1), 1);
    EXPECT_EQ(buffer[0], before.bytes[total - 1]);
}

TEST_F(BitmapTest, BitCountIsThePrimarySurfaces) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surfaceOf(d.ddGetPrimarySurface())->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(d.ddGetSurfaceBitCount(), long(desc.ddpfPixelFormat.dwRGBBitCount));
    EXPECT_GE(d.ddGetSurfaceBitCount(), 8);
}
