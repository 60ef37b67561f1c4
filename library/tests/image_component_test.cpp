// How the image loaders use the platform's imaging component: the caller's COM apartment
// is left as it was on every kind of thread, a missing component is reported through
// ddError, and failures Windows documents but Wine's decoders never give (a frame that
// cannot be had, pixels that cannot be copied) are refused with everything released.
// The component is put in front of the real one with CoRegisterClassObject; its objects
// get copied method tables whose chosen methods fail.
#include <gtest/gtest.h>

#include <wincodec.h>

#include <cstring>
#include <thread>

#include "image_test_support.h"

using namespace library_test;

namespace {

// Slots in the method tables (IUnknown's three come first).
constexpr int kFactoryCreateDecoderFromStream = 4;
constexpr int kDecoderGetFrame = 13;
constexpr int kFrameCopyPixels = 7;

enum class Failure { kNone, kNoComponent, kGetFrame, kCopyPixels };

struct Component {
    Failure failure = Failure::kNone;
    void* createDecoderFromStream = nullptr;
    void* getFrame = nullptr;
    void* copyPixels = nullptr;
    // One reference of our own to each object the loader was given.
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
} g_component;

// Gives one object its own copy of its method table with `slot` replaced; returns the
// method it had. The copy stays for the life of the process.
void* replaceMethod(void* object, int slot, int slots, void* method) {
    void**& table = *static_cast<void***>(object);
    void** copy = new void*[slots];
    std::memcpy(copy, table, sizeof(void*) * slots);
    void* former = copy[slot];
    copy[slot] = method;
    table = copy;
    return former;
}

HRESULT WINAPI failingCopyPixels(IWICBitmapFrameDecode*, const WICRect*, UINT, UINT, BYTE*) {
    return WINCODEC_ERR_BADIMAGE;
}

HRESULT WINAPI watchedGetFrame(IWICBitmapDecoder* self, UINT index, IWICBitmapFrameDecode** out) {
    if (g_component.failure == Failure::kGetFrame) return WINCODEC_ERR_FRAMEMISSING;
    using Method = HRESULT(WINAPI*)(IWICBitmapDecoder*, UINT, IWICBitmapFrameDecode**);
    HRESULT hr = reinterpret_cast<Method>(g_component.getFrame)(self, index, out);
    if (SUCCEEDED(hr)) {
        g_component.frame = *out;
        g_component.frame->AddRef();
        if (g_component.failure == Failure::kCopyPixels)
            replaceMethod(*out, kFrameCopyPixels, 11, reinterpret_cast<void*>(failingCopyPixels));
    }
    return hr;
}

HRESULT WINAPI watchedCreateDecoderFromStream(IWICImagingFactory* self, IStream* stream,
                                              const GUID* vendor, WICDecodeOptions options,
                                              IWICBitmapDecoder** out) {
    using Method = HRESULT(WINAPI*)(IWICImagingFactory*, IStream*, const GUID*, WICDecodeOptions,
                                    IWICBitmapDecoder**);
    HRESULT hr = reinterpret_cast<Method>(g_component.createDecoderFromStream)(self, stream, vendor,
                                                                               options, out);
    if (SUCCEEDED(hr)) {
        g_component.decoder = *out;
        g_component.decoder->AddRef();
        g_component.getFrame =
            replaceMethod(*out, kDecoderGetFrame, 14, reinterpret_cast<void*>(watchedGetFrame));
    }
    return hr;
}

// The class object registered for CLSID_WICImagingFactory: hands out the real factory,
// watched, or refuses as a system without the component would.
struct FactoryClass : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        *out = nullptr;
        if (g_component.failure == Failure::kNoComponent) return REGDB_E_CLASSNOTREG;
        // The real one, straight from its server (CoCreateInstance would come back here).
        using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"windowscodecs.dll"), "DllGetClassObject")));
        IClassFactory* real = nullptr;
        if (!get || FAILED(get(CLSID_WICImagingFactory, IID_IClassFactory,
                               reinterpret_cast<void**>(&real))))
            return E_FAIL;
        HRESULT hr = real->CreateInstance(nullptr, iid, out);
        real->Release();
        if (FAILED(hr)) return hr;
        g_component.factory = static_cast<IWICImagingFactory*>(*out);
        g_component.factory->AddRef();
        g_component.createDecoderFromStream =
            replaceMethod(*out, kFactoryCreateDecoderFromStream, 28,
                          reinterpret_cast<void*>(watchedCreateDecoderFromStream));
        return S_OK;
    }
};

// Our references back: each must be the last one, or the loader kept one.
template <class Interface> ULONG lastRelease(Interface*& object) {
    ULONG left = object ? object->Release() : 0;
    object = nullptr;
    return left;
}

class ImageComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(CoRegisterClassObject(CLSID_WICImagingFactory, &factoryClass,
                                        CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
                  S_OK);
        window = makeWindow(320, 240);
        ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1) << d.ddError();
    }
    void TearDown() override {
        d.ddQuit();
        DestroyWindow(window);
        CoRevokeClassObject(cookie);
        CoUninitialize();
        g_component = Component();
    }
    QHANDLE load() { return d.ddCreateSurfaceFromImage(dataPath("alpha.png").c_str()); }
    const QuillonDll& d = dll();
    FactoryClass factoryClass;
    DWORD cookie = 0;
    HWND window = nullptr;
};

// The apartment of the calling thread now: its type, or -1 for none.
int apartmentNow() {
    APTTYPE type = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    if (CoGetApartmentType(&type, &qualifier) != S_OK) return -1;
    return type == APTTYPE_MAINSTA ? APTTYPE_STA : int(type);
}

} // namespace

TEST_F(ImageComponentTest, WatchedLoadReleasesEveryObjectItWasGiven) {
    QHANDLE s = load();
    ASSERT_NE(s, 0);
    ASSERT_NE(g_component.factory, nullptr) << "the registered component was not used";
    EXPECT_EQ(lastRelease(g_component.frame), 0u);
    EXPECT_EQ(lastRelease(g_component.decoder), 0u);
    EXPECT_EQ(lastRelease(g_component.factory), 0u);
    d.ddReleaseSurface(s);
}

TEST_F(ImageComponentTest, NoImagingComponentIsReportedThroughDdError) {
    g_component.failure = Failure::kNoComponent;
    long surfaces = surfaceCount();
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(d.ddError(), REGDB_E_CLASSNOTREG & 0xFFFF);
    std::vector<std::uint8_t> png = readData("alpha.png");
    EXPECT_EQ(d.ddCreateSurfaceFromImageData(png.data(), static_cast<long>(png.size())), 0);
    EXPECT_EQ(surfaceCount(), surfaces);
}

TEST_F(ImageComponentTest, LateDecoderFailuresAreRefusedWithEverythingReleased) {
    for (Failure failure : {Failure::kGetFrame, Failure::kCopyPixels}) {
        SCOPED_TRACE(failure == Failure::kGetFrame ? "GetFrame fails" : "CopyPixels fails");
        g_component = Component();
        g_component.failure = failure;
        long surfaces = surfaceCount();
        ASSERT_GT(surfaces, 0);
        EXPECT_EQ(load(), 0);
        EXPECT_EQ(surfaceCount(), surfaces) << "a surface was left behind";
        ASSERT_NE(g_component.decoder, nullptr);
        EXPECT_EQ(failure == Failure::kCopyPixels, g_component.frame != nullptr);
        EXPECT_EQ(lastRelease(g_component.frame), 0u);
        EXPECT_EQ(lastRelease(g_component.decoder), 0u);
        EXPECT_EQ(lastRelease(g_component.factory), 0u);
    }
}

// Each kind of thread a caller may load from; the display context stays on the main one.
TEST(ImageApartment, EveryThreadKeepsTheApartmentItHad) {
    const auto& d = dll();
    HWND window = makeWindow(320, 240);
    ASSERT_EQ(d.ddInit(window, 320, 240, 0), 1) << d.ddError();
    const std::string path = dataPath("alpha.png");
    struct Case {
        const char* name;
        bool enter;
        DWORD model;
        int type; // what the thread has before and after
    };
    for (Case c : {Case{"no apartment", false, 0, -1},
                   Case{"single-threaded", true, COINIT_APARTMENTTHREADED, APTTYPE_STA},
                   Case{"multithreaded", true, COINIT_MULTITHREADED, APTTYPE_MTA}}) {
        SCOPED_TRACE(c.name);
        QHANDLE s = 0;
        int after = -2, afterLeaving = -2;
        std::thread caller([&] {
            if (c.enter) CoInitializeEx(nullptr, c.model);
            s = d.ddCreateSurfaceFromImage(path.c_str());
            after = apartmentNow();
            if (c.enter) CoUninitialize();
            afterLeaving = apartmentNow(); // one CoUninitialize ends what the thread began
        });
        caller.join();
        EXPECT_NE(s, 0);
        EXPECT_EQ(after, c.type);
        EXPECT_EQ(afterLeaving, -1);
        d.ddReleaseSurface(s);
    }
    d.ddQuit();
    DestroyWindow(window);
}
