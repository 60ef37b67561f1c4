// Palettes in an 8-bit full-screen display context: makers, loaders, attach and release,
// entry ranges. The driver's own GetEntries is the checker.
#include <gtest/gtest.h>

#include "bitmap_test_support.h"

using namespace library_test;

namespace {

class PaletteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(d.module, nullptr);
        window = makeWindow(640, 480);
        d.ddSetBitDepth(8);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << "ddError " << d.ddError();
    }
    void TearDown() override {
        for (QHANDLE p : made)
            d.ddReleasePalette(p);
        d.ddQuit();
        DestroyWindow(window);
    }
    QHANDLE keep(QHANDLE palette) {
        if (palette) made.push_back(palette);
        return palette;
    }
    const QuillonDll& d = dll();
    HWND window = nullptr;
    std::vector<QHANDLE> made;
};

void expectEntries(const Entries& got, const Entries& want, int from = 0, int to = 256) {
    for (int i = from; i < to; ++i)
        ASSERT_TRUE(sameEntry(got[i], want[i]))
            << "entry " << i << " is " << show(got[i]) << ", expected " << show(want[i]);
}

// Counts the calls that reach the driver's GetEntries and SetEntries of one palette.
struct EntryCallCounter {
    explicit EntryCallCounter(QHANDLE palette) : hook(palette, 7) {
        active = this;
        hook.replace(4, reinterpret_cast<const void*>(&getEntries));
        hook.replace(6, reinterpret_cast<const void*>(&setEntries));
    }
    ~EntryCallCounter() { active = nullptr; }
    static HRESULT WINAPI getEntries(IDirectDrawPalette* self, DWORD flags, DWORD first,
                                     DWORD count, PALETTEENTRY* entries) {
        ++active->calls;
        using Fn = HRESULT(WINAPI*)(IDirectDrawPalette*, DWORD, DWORD, DWORD, PALETTEENTRY*);
        return active->hook.original<Fn>(4)(self, flags, first, count, entries);
    }
    static HRESULT WINAPI setEntries(IDirectDrawPalette* self, DWORD flags, DWORD first,
                                     DWORD count, PALETTEENTRY* entries) {
        ++active->calls;
        using Fn = HRESULT(WINAPI*)(IDirectDrawPalette*, DWORD, DWORD, DWORD, PALETTEENTRY*);
        return active->hook.original<Fn>(6)(self, flags, first, count, entries);
    }
    static EntryCallCounter* active;
    MethodHook hook;
    int calls = 0;
};
EntryCallCounter* EntryCallCounter::active = nullptr;

} // namespace

TEST(PaletteNoContext, MakersAndAttachRefuse) {
    const auto& d = dll();
    Entries e = defaultEntries();
    EXPECT_EQ(d.ddCreatePalette(e.data()), 0);
    EXPECT_EQ(d.ddCreateDefPalette(), 0);
    EXPECT_EQ(d.ddCopySystemPalette(), 0);
    EXPECT_EQ(d.ddCreatePaletteFromFile(dataPath("pal8.bmp").c_str()), 0);
    EXPECT_EQ(d.ddCreatePaletteFromResource(nullptr, "PAL8"), 0);
    EXPECT_EQ(d.ddSetPalette(0, 0), 0);
    EXPECT_EQ(d.ddGetPalette(0), 0);
    EXPECT_EQ(d.ddReleasePalette(0), 0);
    EXPECT_EQ(d.ddGetPaletteEntries(0, 0, 1, e.data()), 0);
    EXPECT_EQ(d.ddSetPaletteEntries(0, 0, 1, e.data()), 0);
}

TEST(PaletteWindowed, MakersWorkWithAWindowedContext) {
    const auto& d = dll();
    HWND window = makeWindow(160, 120);
    ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);
    QHANDLE p = d.ddCreatePaletteFromFile(dataPath("pal8.bmp").c_str());
    ASSERT_NE(p, 0);
    std::vector<std::uint8_t> file = readData("pal8.bmp");
    Entries e = driverEntries(p);
    EXPECT_TRUE(sameEntry(e[0], swapped(file, 54, file[57]))) << show(e[0]);
    EXPECT_TRUE(sameEntry(e[255], swapped(file, 54 + 1020, file[54 + 1023]))) << show(e[255]);
    EXPECT_EQ(d.ddReleasePalette(p), 1);
    d.ddQuit();
    EXPECT_EQ(d.ddCreateDefPalette(), 0); // closed again
    DestroyWindow(window);
}

TEST_F(PaletteTest, DefaultPaletteIsThreeThreeTwo) {
    QHANDLE p = keep(d.ddCreateDefPalette());
    ASSERT_NE(p, 0);
    Entries e = driverEntries(p);
    EXPECT_TRUE(sameEntry(e[73], {72, 72, 85, 0})) << show(e[73]);
    EXPECT_TRUE(sameEntry(e[182], {182, 182, 170, 0})) << show(e[182]);
    EXPECT_TRUE(sameEntry(e[3], {0, 0, 255, 0}));
    EXPECT_TRUE(sameEntry(e[28], {0, 255, 0, 0}));
    EXPECT_TRUE(sameEntry(e[224], {255, 0, 0, 0}));
    expectEntries(e, defaultEntries());
}

TEST_F(PaletteTest, CallersEntriesAreTakenAsGiven) {
    Entries want{};
    for (int i = 0; i < 256; ++i)
        want[i] = {BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
    QHANDLE p = keep(d.ddCreatePalette(want.data()));
    ASSERT_NE(p, 0);
    expectEntries(driverEntries(p), want);
    EXPECT_EQ(d.ddCreatePalette(nullptr), 0);
}

TEST_F(PaletteTest, EightBitFileGivesItsTableSwapped) {
    // Once with colours-used 256 as ImageMagick writes it, once with it cleared to 0.
    for (const char* name : {"pal8.bmp", "pal8_used0.bmp"}) {
        std::vector<std::uint8_t> file = readData(name);
        ASSERT_GE(file.size(), 1078u);
        Entries want{};
        for (int i = 0; i < 256; ++i)
            want[i] = swapped(file, 54 + i * 4, file[54 + i * 4 + 3]);
        QHANDLE p = keep(d.ddCreatePaletteFromFile(dataPath(name).c_str()));
        ASSERT_NE(p, 0) << name;
        SCOPED_TRACE(name);
        expectEntries(driverEntries(p), want);
    }
}

TEST_F(PaletteTest, SixteenColourFileLeavesTheFollowingBytesUnswapped) {
    std::vector<std::uint8_t> file = readData("pal4.bmp");
    ASSERT_GE(file.size(), 1078u);
    Entries want{};
    for (int i = 0; i < 16; ++i)
        want[i] = swapped(file, 54 + i * 4, file[54 + i * 4 + 3]);
    for (int i = 16; i < 256; ++i)
        want[i] = asStored(file, 54 + i * 4);
    QHANDLE p = keep(d.ddCreatePaletteFromFile(dataPath("pal4.bmp").c_str()));
    ASSERT_NE(p, 0);
    expectEntries(driverEntries(p), want);
}

TEST_F(PaletteTest, HighColourAndLargeHeaderFilesConvertNothing) {
    for (const char* name : {"rgb24.bmp", "v5pal4.bmp", "v4pal4.bmp"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> file = readData(name);
        Entries want = defaultEntries();
        for (int i = 0; i < 256 && 54 + i * 4 + 4 <= int(file.size()); ++i)
            want[i] = asStored(file, 54 + i * 4);
        QHANDLE p = keep(d.ddCreatePaletteFromFile(dataPath(name).c_str()));
        ASSERT_NE(p, 0);
        expectEntries(driverEntries(p), want);
    }
}

TEST_F(PaletteTest, MissingFileOrNoPathGivesTheDefaultPalette) {
    QHANDLE missing = keep(d.ddCreatePaletteFromFile(dataPath("no_such.bmp").c_str()));
    ASSERT_NE(missing, 0);
    expectEntries(driverEntries(missing), defaultEntries());
    QHANDLE none = keep(d.ddCreatePaletteFromFile(nullptr));
    ASSERT_NE(none, 0);
    expectEntries(driverEntries(none), defaultEntries());
}

TEST_F(PaletteTest, ResourceTableFollowsItsOwnHeader) {
    HMODULE res = LoadLibraryW(L"bitmap_res.dll");
    ASSERT_NE(res, nullptr);
    struct Case {
        const char* resource;
        const char* file;
    } cases[] = {{"PAL8", "pal8.bmp"},
                 {"PAL4", "pal4.bmp"},
                 {"V4PAL4", "v4pal4.bmp"},
                 {"V5PAL4", "v5pal4.bmp"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        std::vector<std::uint8_t> file = readData(c.file);
        std::size_t table = 14 + u32At(file, 14);
        int colors = int(u32At(file, 46)) ? int(u32At(file, 46)) : 1 << file[28];
        ASSERT_GE(colors, 2);
        Entries want = defaultEntries();
        for (int i = 0; i < colors; ++i)
            want[i] = swapped(file, table + i * 4, 0);
        QHANDLE p = keep(d.ddCreatePaletteFromResource(res, c.resource));
        ASSERT_NE(p, 0);
        expectEntries(driverEntries(p), want);
    }
    FreeLibrary(res);
}

TEST_F(PaletteTest, ResourceWithoutTableOrNameGivesTheDefault) {
    HMODULE res = LoadLibraryW(L"bitmap_res.dll");
    ASSERT_NE(res, nullptr);
    for (const char* name : {"RGB24", "BROKEN", "NO_SUCH", static_cast<const char*>(nullptr)}) {
        QHANDLE p = keep(d.ddCreatePaletteFromResource(res, name));
        ASSERT_NE(p, 0) << (name ? name : "(null)");
        expectEntries(driverEntries(p), defaultEntries());
    }
    FreeLibrary(res);
}

TEST_F(PaletteTest, ShortResourceConvertsOnlyWhatItHolds) {
    // Claims 256 colours, holds 10 entries and a 4-byte pixel row (read as an 11th entry).
    HMODULE res = LoadLibraryW(L"bitmap_res.dll");
    ASSERT_NE(res, nullptr);
    HRSRC found = FindResourceA(res, "SHORTPAL", MAKEINTRESOURCEA(2));
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(res, found), 40u + 11 * 4);
    QHANDLE p = keep(d.ddCreatePaletteFromResource(res, "SHORTPAL"));
    ASSERT_NE(p, 0);
    Entries want = defaultEntries();
    for (int i = 0; i < 10; ++i)
        want[i] = {BYTE(i + 3), BYTE(i + 2), BYTE(i + 1), 0};
    want[10] = {0, 0, 0, 0};
    expectEntries(driverEntries(p), want);
    FreeLibrary(res);
}

TEST_F(PaletteTest, CopyOfAGdiPaletteLeavesTheRestBlack) {
    struct {
        WORD version, count;
        PALETTEENTRY entries[20];
    } logical = {0x300, 20, {}};
    for (int i = 0; i < 20; ++i)
        logical.entries[i] = {BYTE(10 * i), BYTE(200 - i), 7, 0};
    HPALETTE gdi = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    ASSERT_NE(gdi, nullptr);
    QHANDLE p = keep(d.ddCopyPalette(gdi));
    ASSERT_NE(p, 0);
    Entries want{};
    for (int i = 0; i < 20; ++i)
        want[i] = logical.entries[i];
    expectEntries(driverEntries(p), want);
    DeleteObject(gdi);
    EXPECT_EQ(d.ddCopyPalette(nullptr), 0);
}

TEST_F(PaletteTest, SystemPaletteCopyFollowsWhatGdiGives) {
    // Wine's screen has no system palette (GetSystemPaletteEntries gives 0 entries even at
    // 8 bits), so only the failure path can be seen here; the other branch runs where GDI
    // does give entries.
    PALETTEENTRY system[256] = {};
    HDC screen = GetDC(nullptr);
    UINT n = GetSystemPaletteEntries(screen, 0, 256, system);
    ReleaseDC(nullptr, screen);
    QHANDLE p = keep(d.ddCopySystemPalette());
    if (n == 0) {
        EXPECT_EQ(p, 0);
    } else {
        ASSERT_NE(p, 0);
        Entries e = driverEntries(p);
        for (UINT i = 0; i < n && i < 256; ++i)
            EXPECT_EQ(e[i].peRed, system[i].peRed) << i;
    }
}

TEST_F(PaletteTest, AttachReadBackAndReleaseOnTheLastReference) {
    QHANDLE p = d.ddCreateDefPalette();
    ASSERT_NE(p, 0);
    ASSERT_EQ(d.ddSetPalette(0, p), 1); // the primary surface holds a reference
    EXPECT_EQ(d.ddGetPalette(0), p);    // and the caller a second one
    EXPECT_EQ(d.ddReleasePalette(p), 0);
    ASSERT_EQ(d.ddSetPalette(0, 0), 1); // detached: only the caller's first reference left
    EXPECT_EQ(d.ddGetPalette(0), 0);
    EXPECT_EQ(d.ddReleasePalette(p), 1);
}

TEST_F(PaletteTest, AttachToAnOffscreenSurface) {
    QHANDLE s = d.ddCreateSurface(16, 16);
    ASSERT_NE(s, 0);
    QHANDLE p = keep(d.ddCreateDefPalette());
    EXPECT_EQ(d.ddSetPalette(s, p), 1);
    EXPECT_EQ(d.ddGetPalette(s), p);
    d.ddReleasePalette(p); // the reference ddGetPalette added
    EXPECT_EQ(d.ddSetPalette(s, 0), 1);
    d.ddReleaseSurface(s);
}

TEST_F(PaletteTest, EntryRangesStayInsideTheTable) {
    QHANDLE p = keep(d.ddCreateDefPalette());
    ASSERT_NE(p, 0);
    Entries mine{};
    for (int i = 0; i < 256; ++i)
        mine[i] = {BYTE(i), 1, 2, 0};
    ASSERT_EQ(d.ddSetPaletteEntries(p, 10, 5, mine.data()), 1);
    Entries want = defaultEntries();
    for (int i = 0; i < 5; ++i)
        want[10 + i] = mine[i];
    expectEntries(driverEntries(p), want);

    PALETTEENTRY got[8];
    ASSERT_EQ(d.ddGetPaletteEntries(p, 9, 3, got), 1);
    EXPECT_TRUE(sameEntry(got[0], want[9]));
    EXPECT_TRUE(sameEntry(got[2], want[11]));

    // Refused before the driver sees them: the palette and the caller's array stay as
    // they were.
    EXPECT_EQ(d.ddSetPaletteEntries(p, 250, 10, mine.data()), 0);
    EXPECT_EQ(d.ddSetPaletteEntries(p, -1, 2, mine.data()), 0);
    EXPECT_EQ(d.ddSetPaletteEntries(p, 0, -1, mine.data()), 0);
    expectEntries(driverEntries(p), want);
    for (auto& e : got)
        e = {9, 9, 9, 9};
    EXPECT_EQ(d.ddGetPaletteEntries(p, 254, 4, got), 0);
    EXPECT_EQ(d.ddGetPaletteEntries(p, -2, 2, got), 0);
    EXPECT_EQ(d.ddGetPaletteEntries(p, 0x7FFFFFFF, 0x7FFFFFFF, got), 0);
    for (auto& e : got)
        EXPECT_TRUE(sameEntry(e, {9, 9, 9, 9}));
    EXPECT_EQ(d.ddGetPaletteEntries(p, 250, 6, got), 1);
}

TEST_F(PaletteTest, NullTablesAreRefusedBeforeTheDriverSeesThem) {
    QHANDLE p = keep(d.ddCreateDefPalette());
    ASSERT_NE(p, 0);
    {
        EntryCallCounter counter(p);
        EXPECT_EQ(d.ddGetPaletteEntries(p, 0, 1, nullptr), 0);
        EXPECT_EQ(d.ddSetPaletteEntries(p, 0, 256, nullptr), 0);
        EXPECT_EQ(d.ddSetPaletteEntries(p, 255, 1, nullptr), 0);
        EXPECT_EQ(counter.calls, 0);
        PALETTEENTRY one = {};
        EXPECT_EQ(d.ddGetPaletteEntries(p, 0xE3, 1, &one), 1);
        EXPECT_EQ(counter.calls, 1);
        EXPECT_EQ(one.peRed, 255);
    }
    expectEntries(driverEntries(p), defaultEntries());
}
