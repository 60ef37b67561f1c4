// What the translucent-blit tests share: a PNG with known alpha made at test time through
// the platform's imaging component, explicit-format destinations, and the blending rule in
// real numbers to check read-back pixels against.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "pixel_access.h"
#include "png_encode.h"
#include "quillon_dll.h"

namespace library_test {

// Straight BGRA pixels, rows top down.
struct Image {
    UINT width = 0, height = 0;
    std::vector<std::uint32_t> bgra;
    std::uint32_t at(int x, int y) const { return bgra[std::size_t(y) * width + std::size_t(x)]; }
};

// 256 x 3: row 0 has alpha x (0, 1, 127, 128, 254, 255 and every value between), row 1
// alpha 255 - x, row 2 the six edge values over and over; colours differ everywhere.
inline Image alphaImage() {
    Image im;
    im.width = 256;
    im.height = 3;
    const std::uint32_t edges[] = {0, 1, 127, 128, 254, 255};
    for (UINT y = 0; y < im.height; ++y)
        for (UINT x = 0; x < im.width; ++x) {
            std::uint32_t a = y == 0 ? x : y == 1 ? 255 - x : edges[x % 6];
            std::uint32_t r = (x * 7 + y * 50) & 255, g = (255 - x + y * 90) & 255,
                          b = (x * 13 + 40) & 255;
            im.bgra.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    return im;
}

// The image as a PNG file's bytes: 32-bit with alpha, or 24-bit without (`alpha` false).
inline std::vector<BYTE> encodePng(const Image& im, bool alpha) {
    std::vector<BYTE> out = encodePng(im.width, im.height, im.bgra, alpha);
    EXPECT_FALSE(out.empty()) << "the PNG could not be made";
    return out;
}

// Off-screen destinations of every kind the blits draw on: 32-bit, 24-bit, 16-bit 5-6-5
// and 5-5-5, and 8-bit (refused), through the library's own driver object.
enum class Depth { kRgb32, kRgb24, kRgb565, kRgb555, kIndexed8 };

inline QHANDLE createDestination(int width, int height, Depth depth) {
    auto* driver = reinterpret_cast<IDirectDraw2*>(dll().ddGetDD());
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    struct Format {
        DWORD bits, red, green, blue, flags;
    };
    static const Format formats[] = {{32, 0xFF0000, 0xFF00, 0xFF, 0},
                                     {24, 0xFF0000, 0xFF00, 0xFF, 0},
                                     {16, 0xF800, 0x07E0, 0x001F, 0},
                                     {16, 0x7C00, 0x03E0, 0x001F, 0},
                                     {8, 0, 0, 0, DDPF_PALETTEINDEXED8}};
    const Format& f = formats[static_cast<int>(depth)];
    DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB | f.flags;
    pf.dwRGBBitCount = f.bits;
    pf.dwRBitMask = f.red;
    pf.dwGBitMask = f.green;
    pf.dwBBitMask = f.blue;
    IDirectDrawSurface* plain = nullptr;
    if (!driver || driver->CreateSurface(&desc, &plain, nullptr) != DD_OK) return 0;
    Surface* s3 = nullptr;
    HRESULT hr = plain->QueryInterface(surface3Iid(), reinterpret_cast<void**>(&s3));
    plain->Release();
    return hr == S_OK ? reinterpret_cast<QHANDLE>(s3) : 0;
}

// A pixel value's red, green and blue in 8-bit terms, and its steps in a 16-bit format.
struct Rgb {
    int r, g, b;
};

inline Rgb colourOf(std::uint32_t v, const DDPIXELFORMAT& pf) {
    auto channel = [v](DWORD mask) {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!(mask >> shift & 1))
            ++shift;
        while (mask >> (shift + bits) & 1)
            ++bits;
        int step = static_cast<int>((v & mask) >> shift);
        // Widened as a format of fewer bits is read: top bits repeated below.
        int wide = step << (8 - bits);
        return bits >= 8 ? step : wide | wide >> bits;
    };
    return {channel(pf.dwRBitMask), channel(pf.dwGBitMask), channel(pf.dwBBitMask)};
}

// Whether `got` is `src` over `dst` at alpha a (0..255, real): within 1 in 8-bit terms, or
// within one step of the rule's value in the format's own channel sizes.
inline ::testing::AssertionResult followsRule(Rgb src, std::uint32_t dst, double a,
                                              std::uint32_t got, const DDPIXELFORMAT& pf) {
    Rgb d = colourOf(dst, pf);
    const int want[3] = {int(std::lround((src.r * a + d.r * (255 - a)) / 255)),
                         int(std::lround((src.g * a + d.g * (255 - a)) / 255)),
                         int(std::lround((src.b * a + d.b * (255 - a)) / 255))};
    const DWORD masks[3] = {pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
    for (int c = 0; c < 3; ++c) {
        int shift = 0, bits = 0;
        while (!(masks[c] >> shift & 1))
            ++shift;
        while (masks[c] >> (shift + bits) & 1)
            ++bits;
        const int max = (1 << bits) - 1;
        const int gotStep = static_cast<int>((got & masks[c]) >> shift);
        const int wantStep = int(std::lround(want[c] * max / 255.0));
        if (std::abs(gotStep - wantStep) > 1)
            return ::testing::AssertionFailure()
                   << "channel " << c << ": got 0x" << std::hex << got << " from dst 0x" << dst
                   << std::dec << " at alpha " << a << ", want about " << want[c];
    }
    return ::testing::AssertionSuccess();
}

inline DDPIXELFORMAT formatOf(QHANDLE surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(surfaceOf(surface)->GetSurfaceDesc(&desc), DD_OK);
    return desc.ddpfPixelFormat;
}

// Destination pixel values of every colour, different on every row and column.
inline std::uint32_t destPattern(int x, int y) {
    return (static_cast<std::uint32_t>(x) * 2654435761u + static_cast<std::uint32_t>(y) * 40503u) >>
           3;
}

// The pixel values a surface holds now, to tell later what changed.
inline std::vector<std::uint32_t> snapshot(QHANDLE surface) {
    std::vector<std::uint32_t> all;
    EXPECT_TRUE(withLock(surface, [&](const DDSURFACEDESC& d) {
        for (int y = 0; y < static_cast<int>(d.dwHeight); ++y)
            for (int x = 0; x < static_cast<int>(d.dwWidth); ++x)
                all.push_back(readAt(d, x, y));
    }));
    return all;
}

} // namespace library_test
