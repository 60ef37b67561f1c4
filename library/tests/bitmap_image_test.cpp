// ddGetSurfaceImage: a block of a surface as the caller's picture (the VB StdPicture slot),
// checked through IPicture: its bitmap's size and pixels, its palette, and that both go
// with the picture.
#include <gtest/gtest.h>

#include <olectl.h>

#include <cstring>
#include <string>

#include "bitmap_test_support.h"

using namespace library_test;

namespace {

struct Ole {
    Ole() { OleInitialize(nullptr); }
    ~Ole() { OleUninitialize(); }
};

struct Picture {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    long width = 0, height = 0;
};

Picture inspect(IPictureDisp* slot) {
    Picture p;
    IPicture* picture = nullptr;
    if (!slot || slot->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)) != S_OK)
        return p;
    OLE_HANDLE handle = 0, palette = 0;
    SHORT type = 0;
    picture->get_Type(&type);
    if (type == PICTYPE_BITMAP && picture->get_Handle(&handle) == S_OK) {
        p.bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        BITMAP info = {};
        if (GetObjectA(p.bitmap, sizeof info, &info)) {
            p.width = info.bmWidth;
            p.height = info.bmHeight;
        }
    }
    if (picture->get_hPal(&palette) == S_OK)
        p.palette = reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette));
    picture->Release();
    return p;
}

COLORREF bitmapColor(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ former = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, former);
    DeleteDC(dc);
    return c;
}

bool alive(HGDIOBJ object, DWORD type) {
    return object && GetObjectType(object) == type;
}

// Captures one picture after another and lets each go before the next, as a game loop
// does; counts captures that failed, pictures whose objects were not there while held,
// and objects that outlived their picture.
void expectCapturesFreeTheirObjects(QHANDLE surface, bool withPalette, int rounds) {
    const auto& d = dll();
    int refused = 0, incomplete = 0, outlived = 0;
    for (int i = 0; i < rounds; ++i) {
        IPictureDisp* slot = nullptr;
        if (!d.ddGetSurfaceImage(&slot, surface, 0, 0, 16, 16) || !slot) {
            ++refused;
            continue;
        }
        Picture p = inspect(slot);
        if (!alive(p.bitmap, OBJ_BITMAP) || alive(p.palette, OBJ_PAL) != withPalette) ++incomplete;
        slot->Release();
        if (GetObjectType(p.bitmap) != 0 || (p.palette && GetObjectType(p.palette) != 0))
            ++outlived;
    }
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(incomplete, 0);
    EXPECT_EQ(outlived, 0);
}

} // namespace

TEST(SurfaceImage, WindowedPictureHasTheBlockAndNoPalette) {
    Ole ole;
    const auto& d = dll();
    HWND window = makeWindow(320, 240);
    ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1);
    QHANDLE s = d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str());
    ASSERT_NE(s, 0);

    IPictureDisp* slot = nullptr;
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 2, 3, 10, 5), 0);
    ASSERT_NE(slot, nullptr);
    Picture p = inspect(slot);
    EXPECT_EQ(p.width, 10);
    EXPECT_EQ(p.height, 5);
    EXPECT_EQ(p.palette, nullptr);
    EXPECT_EQ(bitmapColor(p.bitmap, 0, 0), RGB(255, 0, 255)); // sheet (2, 3)
    EXPECT_EQ(bitmapColor(p.bitmap, 9, 4), RGB(255, 0, 0));   // sheet (11, 7)

    // A second capture replaces the first picture and releases the slot's reference to it.
    IPictureDisp* first = slot;
    first->AddRef();
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 0, 0, 64, 32), 0);
    EXPECT_NE(slot, first);
    EXPECT_EQ(first->Release(), 0u);
    Picture whole = inspect(slot);
    EXPECT_EQ(whole.width, 64);
    EXPECT_EQ(whole.height, 32);
    slot->Release();

    // Surface 0 is the back surface; no slot is refused.
    slot = nullptr;
    ASSERT_NE(d.ddGetSurfaceImage(&slot, 0, 0, 0, 320, 240), 0);
    EXPECT_EQ(inspect(slot).width, 320);
    slot->Release();
    EXPECT_EQ(d.ddGetSurfaceImage(nullptr, s, 0, 0, 4, 4), 0);

    // True colour, as in a game loop: each picture takes its bitmap along.
    EXPECT_GE(d.ddGetSurfaceBitCount(), 24);
    expectCapturesFreeTheirObjects(s, false, 2000);

    d.ddReleaseSurface(s);
    d.ddQuit();
    IPictureDisp* none = nullptr;
    EXPECT_EQ(d.ddGetSurfaceImage(&none, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(none, nullptr);
    DestroyWindow(window);
}

TEST(SurfaceImage, SixteenBitFullScreenPictureHasNoPalette) {
    Ole ole;
    const auto& d = dll();
    HWND window = makeWindow(640, 480);
    d.ddSetBitDepth(16);
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
    EXPECT_EQ(d.ddGetSurfaceBitCount(), 16);
    QHANDLE s = d.ddCreateSurfaceFromFile(dataPath("sheet.bmp").c_str());
    ASSERT_NE(s, 0);
    IPictureDisp* slot = nullptr;
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 8, 8, 16, 16), 0);
    Picture p = inspect(slot);
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 16);
    EXPECT_EQ(p.palette, nullptr);
    EXPECT_EQ(bitmapColor(p.bitmap, 0, 0), RGB(255, 0, 0)); // sheet (8, 8)
    slot->Release();
    d.ddReleaseSurface(s);
    d.ddQuit();
    DestroyWindow(window);
}

TEST(SurfaceImage, EightBitPictureCarriesThePrimarysPalette) {
    Ole ole;
    const auto& d = dll();
    HWND window = makeWindow(640, 480);
    d.ddSetBitDepth(8);
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
    EXPECT_EQ(d.ddGetSurfaceBitCount(), 8);

    // Without a palette on the primary surface the picture has none.
    QHANDLE s = d.ddCreateSurface(32, 16);
    ASSERT_NE(s, 0);
    IPictureDisp* slot = nullptr;
    ASSERT_EQ(d.ddGetPalette(0), 0);
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 0, 0, 8, 8), 0);
    EXPECT_EQ(inspect(slot).palette, nullptr);

    QHANDLE palette = d.ddCreatePaletteFromFile(dataPath("pal8.bmp").c_str());
    ASSERT_NE(palette, 0);
    ASSERT_EQ(d.ddSetPalette(0, palette), 1);
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 0, 0, 8, 8), 0);
    Picture p = inspect(slot);
    EXPECT_EQ(p.width, 8);
    ASSERT_NE(p.palette, nullptr);
    PALETTEENTRY got[256] = {};
    ASSERT_EQ(GetPaletteEntries(p.palette, 0, 256, got), 256u);
    Entries want = driverEntries(palette);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(got[i].peRed, want[i].peRed) << i;
        EXPECT_EQ(got[i].peBlue, want[i].peBlue) << i;
    }

    // The picture owns both objects: a reference of the caller's own keeps them after the
    // slot has moved on to the next capture, and its release takes them.
    IPicture* held = nullptr;
    ASSERT_EQ(slot->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&held)), S_OK);
    ASSERT_NE(d.ddGetSurfaceImage(&slot, s, 0, 0, 8, 8), 0);
    EXPECT_TRUE(alive(p.bitmap, OBJ_BITMAP));
    EXPECT_EQ(GetPaletteEntries(p.palette, 0, 256, got), 256u);
    EXPECT_EQ(held->Release(), 0u);
    EXPECT_EQ(GetObjectType(p.bitmap), 0u);
    EXPECT_EQ(GetObjectType(p.palette), 0u);
    slot->Release();
    // As in a game loop.
    expectCapturesFreeTheirObjects(s, true, 2000);

    d.ddSetPalette(0, 0);
    d.ddReleasePalette(palette);
    d.ddReleaseSurface(s);
    d.ddQuit();
    DestroyWindow(window);
}

namespace {

IUnknown* identity(IUnknown* any) {
    IUnknown* unknown = nullptr;
    if (any->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)) != S_OK)
        return nullptr;
    unknown->Release();
    return unknown;
}

// Counts the picture's change notices.
class Sink final : public IPropertyNotifySink {
  public:
    int changes = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IPropertyNotifySink*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override {
        ++changes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
};

} // namespace

// Visual Basic saves and stores pictures through persistence and connection points: what
// answers those must be the picture itself, or identity and the objects' lifetime break.
TEST(SurfaceImage, EveryInterfaceOfThePictureIsThePicture) {
    Ole ole;
    const auto& d = dll();
    HWND window = makeWindow(64, 32);
    ASSERT_EQ(d.ddInit(window, 64, 32, 0), 1);
    IPictureDisp* slot = nullptr;
    ASSERT_NE(d.ddGetSurfaceImage(&slot, 0, 0, 0, 8, 8), 0);
    HBITMAP bitmap = inspect(slot).bitmap;
    IUnknown* self = identity(slot);
    ASSERT_NE(self, nullptr);

    const IID* answered[] = {&IID_IUnknown,
                             &IID_IDispatch,
                             &IID_IPictureDisp,
                             &IID_IPicture,
                             &IID_IPersist,
                             &IID_IPersistStream,
                             &IID_IConnectionPointContainer};
    for (const IID* iid : answered) {
        IUnknown* part = nullptr;
        ASSERT_EQ(slot->QueryInterface(*iid, reinterpret_cast<void**>(&part)), S_OK);
        EXPECT_EQ(identity(part), self);
        part->Release();
    }
    const IID* refused[] = {&IID_IMarshal,     &IID_IOleObject, &IID_IDataObject,
                            &IID_IPersistFile, &IID_IStream,    &IID_IPropertyNotifySink};
    for (const IID* iid : refused) {
        IUnknown* part = reinterpret_cast<IUnknown*>(&slot);
        EXPECT_EQ(slot->QueryInterface(*iid, reinterpret_cast<void**>(&part)), E_NOINTERFACE);
        EXPECT_EQ(part, nullptr);
    }

    // A connection point found through the picture leads back to the picture's container,
    // is the same each time and passes the picture's change notices on.
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(
        slot->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
        S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
    IConnectionPointContainer* back = nullptr;
    ASSERT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(back, container);
    EXPECT_EQ(identity(back), self);
    back->Release();
    IConnectionPoint* again = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &again), S_OK);
    EXPECT_EQ(identity(again), identity(point));
    again->Release();
    // Wine's picture enumerates nothing (E_NOTIMPL); where it does, the points are the same.
    IEnumConnectionPoints* points = nullptr;
    const HRESULT enumerated = container->EnumConnectionPoints(&points);
    RecordProperty("enumConnectionPoints", std::to_string(static_cast<unsigned long>(enumerated)));
    if (enumerated == S_OK) {
        IConnectionPoint* first = nullptr;
        ULONG fetched = 0;
        ASSERT_EQ(points->Next(1, &first, &fetched), S_OK);
        ASSERT_EQ(fetched, 1u);
        EXPECT_EQ(identity(first), identity(point));
        first->Release();
        points->Release();
    }
    Sink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    IPicture* picture = nullptr;
    ASSERT_EQ(slot->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)), S_OK);
    picture->PictureChanged();
    EXPECT_GT(sink.changes, 0);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    picture->Release();
    container->Release();

    // The connection point holds the picture: its bitmap goes with the last of the two.
    slot->Release();
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(point->Release(), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    d.ddQuit();
    DestroyWindow(window);
}

TEST(SurfaceImage, AKeptPersistStreamSavesThePictureAndHoldsItsObjects) {
    Ole ole;
    const auto& d = dll();
    HWND window = makeWindow(640, 480);
    d.ddSetBitDepth(8);
    ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1) << d.ddError();
    QHANDLE palette = d.ddCreatePalette(defaultEntries().data());
    ASSERT_NE(palette, 0);
    ASSERT_EQ(d.ddSetPalette(0, palette), 1);
    IPictureDisp* slot = nullptr;
    ASSERT_NE(d.ddGetSurfaceImage(&slot, 0, 0, 0, 8, 4), 0);
    Picture p = inspect(slot);
    ASSERT_TRUE(alive(p.bitmap, OBJ_BITMAP));
    ASSERT_TRUE(alive(p.palette, OBJ_PAL));

    IPersistStream* persist = nullptr;
    ASSERT_EQ(slot->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
    slot->Release();
    EXPECT_TRUE(alive(p.bitmap, OBJ_BITMAP));
    EXPECT_TRUE(alive(p.palette, OBJ_PAL));

    // Saved as a picture stream: a 4-byte tag, the length, then the bitmap file.
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    EXPECT_EQ(persist->Save(stream, TRUE), S_OK);
    HGLOBAL memory = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
    const SIZE_T saved = GlobalSize(memory);
    ASSERT_GE(saved, 8u + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    EXPECT_EQ(bytes[8], 'B');
    EXPECT_EQ(bytes[9], 'M');
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes + 8 + sizeof(BITMAPFILEHEADER), sizeof info);
    EXPECT_EQ(info.biWidth, 8);
    EXPECT_EQ(info.biHeight, 4);
    GlobalUnlock(memory);
    stream->Release();

    EXPECT_TRUE(alive(p.bitmap, OBJ_BITMAP));
    EXPECT_TRUE(alive(p.palette, OBJ_PAL));
    EXPECT_EQ(persist->Release(), 0u);
    EXPECT_EQ(GetObjectType(p.bitmap), 0u);
    EXPECT_EQ(GetObjectType(p.palette), 0u);

    d.ddSetPalette(0, 0);
    d.ddReleasePalette(palette);
    d.ddQuit();
    DestroyWindow(window);
}
