// What a player sees: a magenta-keyed sprite sheet loaded from a file and drawn with keyed
// blits, in a window and in an 8-bit full-screen mode whose colours come from palettes.
// Checked on the screen itself (GDI of the desktop) and saved as screenshots.
#include <gtest/gtest.h>

#include "bitmap_test_support.h"

using namespace library_test;

namespace {

const POINT kSprites[] = {{20, 20}, {120, 70}, {220, 150}};

} // namespace

TEST(BitmapOnScreen, KeyedSheetInAWindow) {
    const auto& d = dll();
    HWND window = makeWindow(320, 240);
    ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1);
    QHANDLE sheet = d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str());
    ASSERT_NE(sheet, 0);
    QHANDLE back = d.ddGetBackSurface();
    const COLORREF ground = RGB(40, 60, 90);
    ASSERT_EQ(d.ddClear(0, d.ddColorEx(ground, back)), 1);
    for (POINT p : kSprites)
        ASSERT_EQ(d.ddBltFast(0, p.x, p.y, 64, 32, sheet, 0, 0, 1), 1);
    ASSERT_EQ(d.ddUpdateWindow(0), 1);
    pump(100);
    saveScreenshot(L"bitmap_sheet_windowed");

    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    for (POINT p : kSprites) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        int x = origin.x + p.x, y = origin.y + p.y;
        EXPECT_EQ(screenPixel(x + 1, y + 1), ground);           // magenta left out
        EXPECT_EQ(screenPixel(x + 12, y + 12), RGB(255, 0, 0)); // red square
        EXPECT_EQ(screenPixel(x + 32, y + 16), RGB(0, 255, 0)); // green disc
        EXPECT_EQ(screenPixel(x + 52, y + 16), RGB(0, 0, 255)); // blue bar
        EXPECT_EQ(screenPixel(x + 62, y + 30), ground);
    }
    d.ddReleaseSurface(sheet);
    d.ddQuit();
    DestroyWindow(window);
}

TEST(BitmapOnScreen, EightBitFullScreenTakesItsColoursFromThePalette) {
    const auto& d = dll();
    HWND window = makeWindow(640, 480);
    d.ddSetBitDepth(8);
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
    QHANDLE palette = d.ddCreateDefPalette();
    ASSERT_NE(palette, 0);
    ASSERT_EQ(d.ddSetPalette(0, palette), 1);
    QHANDLE sheet = d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str());
    ASSERT_NE(sheet, 0);
    // The default palette holds magenta exactly, at index 0xE3 (red 7, green 0, blue 3).
    EXPECT_EQ(d.ddGetColorKey(sheet), 0xE3);

    const long ground = 0x49; // (72, 72, 85)
    auto draw = [&] {
        ASSERT_EQ(d.ddClear(0, ground), 1);
        for (POINT p : kSprites)
            ASSERT_EQ(d.ddBltFast(0, p.x, p.y, 64, 32, sheet, 0, 0, 1), 1);
        ASSERT_EQ(d.ddFlip(), 1);
        pump(100);
    };
    draw();
    saveScreenshot(L"bitmap_sheet_fullscreen8_default");
    for (POINT p : kSprites) {
        EXPECT_EQ(screenPixel(p.x + 1, p.y + 1), RGB(72, 72, 85));
        EXPECT_EQ(screenPixel(p.x + 12, p.y + 12), RGB(255, 0, 0));
        EXPECT_EQ(screenPixel(p.x + 52, p.y + 16), RGB(0, 0, 255));
    }

    // The same indices under the palette of a 256-colour bitmap file.
    QHANDLE filePalette = d.ddCreatePaletteFromFile(dataPath("pal8.bmp").c_str());
    ASSERT_NE(filePalette, 0);
    ASSERT_EQ(d.ddSetPalette(0, filePalette), 1);
    draw();
    saveScreenshot(L"bitmap_sheet_fullscreen8_file");
    Entries e = driverEntries(filePalette);
    EXPECT_EQ(screenPixel(21, 21), RGB(e[ground].peRed, e[ground].peGreen, e[ground].peBlue));
    EXPECT_EQ(screenPixel(32, 32), RGB(e[0xE0].peRed, e[0xE0].peGreen, e[0xE0].peBlue));

    d.ddSetPalette(0, 0);
    d.ddReleasePalette(palette);
    d.ddReleasePalette(filePalette);
    d.ddReleaseSurface(sheet);
    d.ddQuit();
    DestroyWindow(window);
}
