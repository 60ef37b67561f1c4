// Pixel read-back for the blit and colour tests: a surface handle is the driver's own
// interface address, so the tests lock it themselves and compare exact pixels.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "Quillon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>

namespace library_test {

using Surface = IDirectDrawSurface3;

inline Surface* surfaceOf(QHANDLE handle) {
    return reinterpret_cast<Surface*>(handle);
}

// Runs `use` with the surface locked (whole surface, waiting); false if the lock failed.
inline bool withLock(QHANDLE handle, const std::function<void(const DDSURFACEDESC&)>& use) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    if (surfaceOf(handle)->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    use(desc);
    surfaceOf(handle)->Unlock(nullptr);
    return true;
}

inline std::uint8_t* rowOf(const DDSURFACEDESC& d, int y) {
    return static_cast<std::uint8_t*>(d.lpSurface) + static_cast<LONG_PTR>(y) * d.lPitch;
}

inline int bytesPerPixel(const DDSURFACEDESC& d) {
    return static_cast<int>((d.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
}

inline std::uint32_t readAt(const DDSURFACEDESC& d, int x, int y) {
    std::uint32_t v = 0;
    int n = bytesPerPixel(d);
    std::memcpy(&v, rowOf(d, y) + x * n, n);
    return v;
}

inline void writeAt(const DDSURFACEDESC& d, int x, int y, std::uint32_t v) {
    int n = bytesPerPixel(d);
    std::memcpy(rowOf(d, y) + x * n, &v, n);
}

// One pixel's raw value.
inline std::uint32_t pixel(QHANDLE handle, int x, int y) {
    std::uint32_t v = 0xDEADBEEF;
    EXPECT_TRUE(withLock(handle, [&](const DDSURFACEDESC& d) { v = readAt(d, x, y); }));
    return v;
}

// Writes every pixel of the surface from `paint(x, y)`.
inline void paint(QHANDLE handle, const std::function<std::uint32_t(int, int)>& paint) {
    ASSERT_TRUE(withLock(handle, [&](const DDSURFACEDESC& d) {
        for (int y = 0; y < static_cast<int>(d.dwHeight); ++y)
            for (int x = 0; x < static_cast<int>(d.dwWidth); ++x)
                writeAt(d, x, y, paint(x, y));
    }));
}

// Compares every pixel with `want(x, y)`; reports how many differ and the first few.
inline ::testing::AssertionResult pixelsAre(QHANDLE handle,
                                            const std::function<std::uint32_t(int, int)>& want) {
    int wrong = 0;
    std::ostringstream first;
    bool locked = withLock(handle, [&](const DDSURFACEDESC& d) {
        for (int y = 0; y < static_cast<int>(d.dwHeight); ++y)
            for (int x = 0; x < static_cast<int>(d.dwWidth); ++x) {
                std::uint32_t got = readAt(d, x, y), expected = want(x, y);
                if (got == expected) continue;
                if (wrong++ < 5)
                    first << " (" << x << "," << y << "): got 0x" << std::hex << got << " want 0x"
                          << expected << std::dec << ";";
            }
    });
    if (!locked) return ::testing::AssertionFailure() << "the surface could not be locked";
    if (wrong) return ::testing::AssertionFailure() << wrong << " pixels differ:" << first.str();
    return ::testing::AssertionSuccess();
}

// IID of IDirectDrawSurface3, spelled out so the tests need no GUID library.
inline const GUID& surface3Iid() {
    static const GUID iid = {
        0xDA044E00, 0x69B2, 0x11D0, {0xA1, 0xD5, 0x00, 0xAA, 0x00, 0xB8, 0xDF, 0xBB}};
    return iid;
}

// An off-screen surface with an explicit RGB pixel format, made through the library's own
// driver object (ddGetDD), as a C caller could; 0 if the driver refuses the format.
inline QHANDLE createSurfaceWithFormat(QHANDLE driverHandle, int width, int height, int bits) {
    auto* driver = reinterpret_cast<IDirectDraw2*>(driverHandle);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    pf.dwSize = sizeof(pf);
    pf.dwRGBBitCount = bits;
    if (bits == 8) {
        pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    } else {
        pf.dwFlags = DDPF_RGB;
        if (bits == 16) {
            pf.dwRBitMask = 0xF800;
            pf.dwGBitMask = 0x07E0;
            pf.dwBBitMask = 0x001F;
        } else {
            pf.dwRBitMask = 0xFF0000;
            pf.dwGBitMask = 0x00FF00;
            pf.dwBBitMask = 0x0000FF;
        }
    }
    IDirectDrawSurface* plain = nullptr;
    if (driver->CreateSurface(&desc, &plain, nullptr) != DD_OK) return 0;
    Surface* s3 = nullptr;
    HRESULT hr = plain->QueryInterface(surface3Iid(), reinterpret_cast<void**>(&s3));
    plain->Release();
    return hr == S_OK ? reinterpret_cast<QHANDLE>(s3) : 0;
}

} // namespace library_test
