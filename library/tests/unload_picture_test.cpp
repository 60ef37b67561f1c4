// A caller that loads the library itself, captures a picture, closes the context and frees
// the library, then lets the picture go: the picture's code is the library's, so it must
// still be there, and the picture still frees its bitmap and palette. Its own program: once
// pinned, the library stays for the rest of the process.
#include <gtest/gtest.h>

#include <olectl.h>

#include "quillon_dll.h"

namespace {

template <class Fn> Fn bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

TEST(Unload, APictureOutlivesTheFreedLibrary) {
    OleInitialize(nullptr);
    HWND window = library_test::makeWindow(640, 480);
    HMODULE quillon = LoadLibraryW(L"Quillon.dll");
    ASSERT_NE(quillon, nullptr);
    auto setBitDepth = bind<decltype(&::ddSetBitDepth)>(quillon, "ddSetBitDepth");
    auto init = bind<decltype(&::ddInit)>(quillon, "ddInit");
    auto quit = bind<decltype(&::ddQuit)>(quillon, "ddQuit");
    auto createPalette = bind<decltype(&::ddCreatePalette)>(quillon, "ddCreatePalette");
    auto setPalette = bind<decltype(&::ddSetPalette)>(quillon, "ddSetPalette");
    auto releasePalette = bind<decltype(&::ddReleasePalette)>(quillon, "ddReleasePalette");
    auto getSurfaceImage = bind<decltype(&::ddGetSurfaceImage)>(quillon, "ddGetSurfaceImage");
    ASSERT_TRUE(setBitDepth && init && quit && createPalette && setPalette && releasePalette &&
                getSurfaceImage);

    // 8 bits with a palette on the primary surface, so that the picture has both objects.
    setBitDepth(8);
    ASSERT_EQ(init(window, 640, 480, 1), 1);
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 0, 0};
    QHANDLE palette = createPalette(entries);
    ASSERT_NE(palette, 0);
    ASSERT_EQ(setPalette(0, palette), 1);
    IPictureDisp* slot = nullptr;
    ASSERT_NE(getSurfaceImage(&slot, 0, 0, 0, 8, 8), 0);
    ASSERT_NE(slot, nullptr);

    IPicture* picture = nullptr;
    ASSERT_EQ(slot->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)), S_OK);
    OLE_HANDLE bitmapHandle = 0, paletteHandle = 0;
    EXPECT_EQ(picture->get_Handle(&bitmapHandle), S_OK);
    EXPECT_EQ(picture->get_hPal(&paletteHandle), S_OK);
    picture->Release();
    auto bitmap = reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(bitmapHandle));
    auto gdiPalette = reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(paletteHandle));
    ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_EQ(GetObjectType(gdiPalette), static_cast<DWORD>(OBJ_PAL));

    setPalette(0, 0);
    releasePalette(palette);
    EXPECT_EQ(quit(), 1);
    EXPECT_TRUE(FreeLibrary(quillon));

    EXPECT_EQ(slot->Release(), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(gdiPalette), 0u);
    DestroyWindow(window);
    OleUninitialize();
}
