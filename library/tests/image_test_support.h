// What the image loader tests share: ImageMagick's own decode of each test image (the
// checker), surface pixels read back through ddGetSurfaceData2, which pixels a keyed blit
// leaves out, and how many surfaces the driver holds.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "bitmap_test_support.h"

namespace library_test {

// name.rgba beside the image: red, green, blue, alpha per pixel, rows top down.
struct Reference {
    long width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(long x, long y) const { return &rgba[4 * (y * width + x)]; }
    bool transparent(long x, long y) const { return at(x, y)[3] < 128; }
    COLORREF color(long x, long y) const { return RGB(at(x, y)[0], at(x, y)[1], at(x, y)[2]); }
    long transparentCount() const {
        long n = 0;
        for (long y = 0; y < height; ++y)
            for (long x = 0; x < width; ++x)
                n += transparent(x, y);
        return n;
    }
};

inline Reference reference(const std::string& image, long width, long height) {
    Reference r;
    r.width = width;
    r.height = height;
    r.rgba = readData((image + ".rgba").c_str());
    EXPECT_EQ(r.rgba.size(), std::size_t(4 * width * height)) << image << ".rgba";
    r.rgba.resize(std::size_t(4 * width * height));
    return r;
}

// A surface's pixel values as ddGetSurfaceData2 copies them out, row by row.
struct Pixels {
    long width = 0, height = 0, pitch = 0, bytes = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t at(long x, long y) const {
        std::uint32_t v = 0;
        for (long i = 0; i < bytes; ++i)
            v |= std::uint32_t(data[std::size_t(y * pitch + x * bytes + i)]) << (8 * i);
        return v;
    }
};

inline Pixels readBack(QHANDLE surface) {
    const auto& d = dll();
    Pixels p;
    p.width = d.ddGetWidth(surface);
    p.height = d.ddGetHeight(surface);
    p.pitch = d.ddGetPitch(surface);
    p.bytes = d.ddGetSurfaceBitCount() / 8;
    p.data.resize(std::size_t(p.pitch * p.height));
    EXPECT_EQ(d.ddGetSurfaceData2(p.data.data(), p.pitch * p.height, surface, 0), 1);
    return p;
}

// The pixels a keyed blit of the whole surface leaves out: blitted onto two surfaces
// cleared to two different values, a pixel left out keeps both.
inline std::vector<bool> leftOutByKeyedBlit(QHANDLE surface) {
    const auto& d = dll();
    long w = d.ddGetWidth(surface), h = d.ddGetHeight(surface);
    std::vector<bool> out(std::size_t(w * h), true);
    for (COLORREF clear : {RGB(1, 2, 3), RGB(250, 251, 252)}) {
        QHANDLE target = d.ddCreateSurface(w, h);
        EXPECT_NE(target, 0);
        if (!target) return {};
        long value = d.ddColorEx(static_cast<long>(clear), target);
        EXPECT_EQ(d.ddClear(target, value), 1);
        EXPECT_EQ(d.ddBltFast(target, 0, 0, w, h, surface, 0, 0, 1), 1) << d.ddError();
        Pixels p = readBack(target);
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x)
                if (p.at(x, y) != static_cast<std::uint32_t>(value))
                    out[std::size_t(y * w + x)] = false;
        d.ddReleaseSurface(target);
    }
    return out;
}

inline long countOf(const std::vector<bool>& marks) {
    long n = 0;
    for (bool m : marks)
        n += m;
    return n;
}

inline HRESULT WINAPI countSurface(IDirectDrawSurface* s, DDSURFACEDESC*, void* count) {
    ++*static_cast<long*>(count);
    s->Release();
    return DDENUMRET_OK;
}

// Surfaces the driver object holds now (the display context's own included).
inline long surfaceCount() {
    auto* driver = reinterpret_cast<IDirectDraw2*>(dll().ddGetDD());
    if (!driver) return -1;
    long count = 0;
    if (driver->EnumSurfaces(DDENUMSURFACES_DOESEXIST | DDENUMSURFACES_ALL, nullptr, &count,
                             countSurface) != DD_OK)
        return -1;
    return count;
}

} // namespace library_test
