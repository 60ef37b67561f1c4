// Images into surfaces through the platform's imaging component (PNG, JPEG, GIF and
// whatever else it decodes): the first frame is decoded to 32-bit pixels on its canvas (a
// GIF's logical screen) and either drawn through GDI as the bitmap loaders draw, keyed on
// its transparency (or, without any, on its top-left pixel as bitmaps are), or kept with
// its alpha in an alpha surface.
#include "internal.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>
#include <wincodec.h>

#include "display_rules.h"
#include "image_canvas.h"
#include "image_key.h"

using namespace quillon;

namespace {

struct SurfaceTraits {
    using Handle = QHANDLE;
    static Handle empty() { return 0; }
    static void free(Handle surface) { ddReleaseSurface(surface); }
};
// A surface made here, released unless it is handed to the caller.
using NewSurface = Owned<SurfaceTraits>;

// The calling thread's COM apartment for the length of one load. A VB program's thread
// already has one and keeps it untouched; a thread without one gets one and loses it again.
class Apartment {
  public:
    Apartment() {
        if (!threadHasApartment())
            entered_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    ~Apartment() {
        if (entered_) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

  private:
    // Bound by name: Windows before 7 lacks the question; there the answer is "none", and
    // CoInitializeEx only adds a balanced reference to an apartment the thread has.
    static bool threadHasApartment() {
        using Query = HRESULT(WINAPI*)(APTTYPE*, APTTYPEQUALIFIER*);
        HMODULE ole = GetModuleHandleA("ole32.dll");
        auto query = reinterpret_cast<Query>(
            reinterpret_cast<void*>(ole ? GetProcAddress(ole, "CoGetApartmentType") : nullptr));
        if (!query) return false;
        APTTYPE type = APTTYPE_CURRENT;
        APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
        return query(&type, &qualifier) == S_OK;
    }
    bool entered_ = false;
};

// A top-down 32-bit DIB section, and its pixels.
GdiObject<HBITMAP> makeDib(long width, long height, std::uint32_t** pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    *pixels = static_cast<std::uint32_t*>(bits);
    if (!bits) dib.reset();
    return dib;
}

// Pixel values in a locked surface: `bytes` per pixel, low byte first.
struct PixelRows {
    BYTE* start;
    long pitch;
    int bytes;
    std::uint32_t get(long x, long y) const {
        const BYTE* p = start + y * pitch + x * bytes;
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint32_t(p[i]) << (8 * i);
        return v;
    }
    void put(long x, long y, std::uint32_t v) const {
        BYTE* p = start + y * pitch + x * bytes;
        for (int i = 0; i < bytes; ++i)
            p[i] = static_cast<BYTE>(v >> (8 * i));
    }
};

// Gives the image's transparent pixels (those still equal to the key pixel in `image`) one
// pixel value that no opaque pixel has on the surface: the key pixel's own value where the
// display's format keeps it apart, else the lowest free value (8-bit and 16-bit modes merge
// colours). Returns that value, or -1 when the surface cannot be locked.
long keyTransparentPixels(QHANDLE surface, const std::uint32_t* image, long width, long height,
                          std::uint32_t keyPixel) {
    // Where a colour lands is GDI's business: ask it on a surface of the same format.
    long candidate = -1;
    if (NewSurface probe{ddCreateSurface(1, 1)})
        candidate = ddColorEx(static_cast<long>(keyPixel & 0xFF) << 16 |
                                  static_cast<long>(keyPixel & 0xFF00) |
                                  static_cast<long>(keyPixel >> 16 & 0xFF),
                              probe.get());

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    SurfaceLock lock(asSurface(surface), desc, DDLOCK_WAIT);
    if (!lock) return -1;
    DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return -1;
    PixelRows rows = {static_cast<BYTE*>(desc.lpSurface), desc.lPitch, static_cast<int>(bits / 8)};
    auto transparent = [&](long x, long y) { return image[y * width + x] == keyPixel; };

    bool collides = candidate < 0;
    std::size_t opaque = 0;
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            if (transparent(x, y)) continue;
            ++opaque;
            collides |= rows.get(x, y) == static_cast<std::uint32_t>(candidate);
        }
    std::uint32_t key = static_cast<std::uint32_t>(candidate);
    if (collides) {
        FreeValueFinder values(bits >= 32 ? 0x100000000ull : 1ull << bits, opaque);
        for (long y = 0; y < height; ++y)
            for (long x = 0; x < width; ++x)
                if (!transparent(x, y)) values.mark(rows.get(x, y));
        std::uint64_t free = 0;
        // Every value taken (an 8-bit mode with all 256 in use): the key colour's own.
        if (values.lowest(free) || candidate < 0) key = static_cast<std::uint32_t>(free);
    }
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            if (transparent(x, y)) rows.put(x, y, key);
    return static_cast<long>(key);
}

// A number or flag the component's metadata holds under `name`; 0 when it has none.
std::uint32_t metadataValue(IWICMetadataQueryReader* reader, const wchar_t* name) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (FAILED(reader->GetMetadataByName(name, &value))) return 0;
    std::uint32_t number = 0;
    switch (value.vt) {
    case VT_UI1:
        number = value.bVal;
        break;
    case VT_UI2:
        number = value.uiVal;
        break;
    case VT_UI4:
        number = value.ulVal;
        break;
    case VT_BOOL:
        number = value.boolVal != VARIANT_FALSE;
        break;
    default:
        break;
    }
    PropVariantClear(&value);
    return number;
}

struct FrameLayout {
    FramePlacement placement;
    bool declaresTransparency = false; // a GIF frame's transparent colour, used or not
};

// Where the first frame goes: a GIF's logical screen is the image and the frame sits at its
// offset on it. Other formats, and a GIF whose metadata cannot be read, give the frame alone.
FrameLayout layoutOf(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame, long frameWidth,
                     long frameHeight) {
    FrameLayout layout;
    layout.placement = placeFrame(0, 0, 0, 0, frameWidth, frameHeight);
    GUID format = {};
    ComRef<IWICMetadataQueryReader> screen, image;
    if (FAILED(decoder->GetContainerFormat(&format)) || format != GUID_ContainerFormatGif ||
        FAILED(take(image, [&](IWICMetadataQueryReader** out) {
            return frame->GetMetadataQueryReader(out);
        })))
        return layout;
    layout.declaresTransparency = metadataValue(image.get(), L"/grctlext/TransparencyFlag") != 0;
    if (SUCCEEDED(take(screen, [&](IWICMetadataQueryReader** out) {
            return decoder->GetMetadataQueryReader(out);
        })))
        layout.placement =
            placeFrame(metadataValue(screen.get(), L"/logscrdesc/Width"),
                       metadataValue(screen.get(), L"/logscrdesc/Height"),
                       metadataValue(image.get(), L"/imgdesc/Left"),
                       metadataValue(image.get(), L"/imgdesc/Top"), frameWidth, frameHeight);
    return layout;
}

// Decodes the first frame of what `open` puts into the component's stream: `make(width,
// height)` makes the surface for the canvas before any pixel is decoded (a size the driver
// refuses is refused undecoded), then `fill(surface, layout, compose)` draws it, where
// `compose(canvas)` writes the canvas's straight 32-bit BGRA pixels (rows of `width`, top
// row first). 0 (nothing made, nothing kept) on any refusal.
template <class Open, class Make, class Fill>
QHANDLE loadFirstFrame(Open open, Make make, Fill fill) {
    if (!contextOpen()) return 0;
    Apartment apartment; // outlives every interface below

    ComRef<IWICImagingFactory> factory;
    HRESULT hr = take(factory, [](IWICImagingFactory** out) {
        return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(out));
    });
    if (FAILED(hr)) {
        record(hr);
        return 0;
    }
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(take(stream, [&](IWICStream** out) { return factory.get()->CreateStream(out); })) ||
        FAILED(open(stream.get())) ||
        FAILED(take(decoder,
                    [&](IWICBitmapDecoder** out) {
                        return factory.get()->CreateDecoderFromStream(
                            stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, out);
                    })) ||
        FAILED(take(frame,
                    [&](IWICBitmapFrameDecode** out) { return decoder.get()->GetFrame(0, out); })))
        return 0;
    UINT frameWidth = 0, frameHeight = 0;
    if (FAILED(frame.get()->GetSize(&frameWidth, &frameHeight)) || frameWidth > LONG_MAX ||
        frameHeight > LONG_MAX)
        return 0;
    const FrameLayout layout = layoutOf(decoder.get(), frame.get(), static_cast<long>(frameWidth),
                                        static_cast<long>(frameHeight));
    const FramePlacement& place = layout.placement;

    NewSurface surface(make(place.width, place.height));
    if (!surface) return 0;
    if (FAILED(take(converter,
                    [&](IWICFormatConverter** out) {
                        return factory.get()->CreateFormatConverter(out);
                    })) ||
        FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)))
        return 0;
    auto compose = [&](std::uint32_t* canvas) {
        return composeCanvas(place, canvas, [&](std::uint32_t* to, long stride) {
            WICRect block = {0, 0, static_cast<INT>(place.copyWidth),
                             static_cast<INT>(place.copyHeight)};
            UINT rowBytes = static_cast<UINT>(stride) * 4;
            UINT bytes = rowBytes * static_cast<UINT>(place.copyHeight - 1) +
                         static_cast<UINT>(place.copyWidth) * 4;
            return SUCCEEDED(
                converter.get()->CopyPixels(&block, rowBytes, bytes, reinterpret_cast<BYTE*>(to)));
        });
    };
    if (!fill(surface.get(), layout, compose)) return 0;
    return surface.release();
}

// The keyed surface of an image: drawn through GDI from a DIB, keyed on its transparency.
template <class Compose>
bool drawKeyed(QHANDLE surface, const FrameLayout& layout, Compose compose) {
    const long width = layout.placement.width, height = layout.placement.height;
    std::uint32_t* pixels = nullptr;
    GdiObject<HBITMAP> dib = makeDib(width, height, &pixels);
    if (!dib || !compose(pixels)) return false;
    std::size_t count = std::size_t(width) * std::size_t(height);
    KeyedImage keyed = prepareKeyedPixels(pixels, count, layout.declaresTransparency);
    if (!ddBitmapBlt(surface, 0, 0, width, height, dib.get(), 0, 0)) return false;
    long key = keyed.transparent
                   ? keyTransparentPixels(surface, pixels, width, height, keyed.keyPixel)
                   : -1; // the top-left pixel, as for bitmaps
    if (keyed.transparent && key < 0) return false;
    return ddSetColorKey(surface, key) != 0;
}

// An alpha surface: 32 bits of blue, green, red and straight alpha, in system memory, where
// the blends read and write it.
QHANDLE createAlphaSurface(long width, long height) {
    if (!surfaceSizeAllowed(width, height)) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    describeAlphaFormat(desc.ddpfPixelFormat);
    Surface* surface = nullptr;
    if (createSurface3(desc, &surface) != DD_OK) return 0;
    return asHandle(surface);
}

// The canvas, as the decoder gives it, into the locked alpha surface row by row at its pitch.
template <class Compose>
bool fillAlpha(QHANDLE surface, const FrameLayout& layout, Compose compose) {
    const std::size_t width = static_cast<std::size_t>(layout.placement.width);
    std::vector<std::uint32_t> canvas(width * static_cast<std::size_t>(layout.placement.height));
    if (!compose(canvas.data())) return false;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    SurfaceLock lock(asSurface(surface), desc, DDLOCK_WAIT | DDLOCK_WRITEONLY);
    if (!lock || desc.lPitch < static_cast<LONG>(width * 4)) return false;
    for (std::size_t y = 0; y < desc.dwHeight; ++y)
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * static_cast<std::size_t>(desc.lPitch),
                    &canvas[y * width], width * 4);
    return true;
}

// A path widened in the file functions' code page, so that it names the file
// ddCreateSurfaceFromFile would; false for a null or empty path.
bool widenPath(const char* path, std::wstring& wide) {
    if (!path) return false;
    UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    int length = MultiByteToWideChar(codePage, 0, path, -1, nullptr, 0);
    if (length <= 1) return false;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, path, -1, &wide[0], length);
    return true;
}

auto fromFile(const std::wstring& path) {
    return [&path](IWICStream* stream) {
        return stream->InitializeFromFilename(path.c_str(), GENERIC_READ);
    };
}

auto fromMemory(const void* data, long byteCount) {
    return [=](IWICStream* stream) {
        return stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                            static_cast<DWORD>(byteCount));
    };
}

template <class Open> QHANDLE keyedSurface(Open open) {
    return loadFirstFrame(open, ddCreateSurface, [](QHANDLE s, const FrameLayout& l, auto compose) {
        return drawKeyed(s, l, compose);
    });
}

template <class Open> QHANDLE alphaSurface(Open open) {
    return loadFirstFrame(
        open, createAlphaSurface,
        [](QHANDLE s, const FrameLayout& l, auto compose) { return fillAlpha(s, l, compose); });
}

} // namespace

QHANDLE QUILLON_API ddCreateSurfaceFromImage(const char* path) {
    std::wstring wide;
    return widenPath(path, wide) ? keyedSurface(fromFile(wide)) : 0;
}

QHANDLE QUILLON_API ddCreateSurfaceFromImageData(const void* data, long byteCount) {
    if (!data || byteCount <= 0) return 0;
    return keyedSurface(fromMemory(data, byteCount));
}

QHANDLE QUILLON_API ddCreateAlphaSurfaceFromImage(const char* path) {
    std::wstring wide;
    return widenPath(path, wide) ? alphaSurface(fromFile(wide)) : 0;
}

QHANDLE QUILLON_API ddCreateAlphaSurfaceFromImageData(const void* data, long byteCount) {
    if (!data || byteCount <= 0) return 0;
    return alphaSurface(fromMemory(data, byteCount));
}
