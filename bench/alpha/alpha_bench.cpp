// Figure 4, under Wine: soft-edged sprites drawn into a 640x480 back surface through
// ddSafeAlphaBlt, against the same sprites drawn with GDI's AlphaBlend on the surface's
// device context held for the whole frame. 9 pairs of runs taken in turn; each pair gives
// the speed ratio (AlphaBlend's time / ours), judged on the median. Then 1000 sprites of
// 32x32 with where the time of a call goes, and a 16-bit full-screen back surface.
// Run it under Wine beside Quillon.dll: wine alpha_bench.exe
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "Quillon.h"
#include "bench_window.h"
#include "ab.h"
#include "blend.h"
#include "png_encode.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Exports {
    decltype(&::ddInit) init;
    decltype(&::ddQuit) quit;
    decltype(&::ddSetBitDepth) setBitDepth;
    decltype(&::ddGetBackSurface) back;
    decltype(&::ddReleaseSurface) release;
    decltype(&::ddClear) clear;
    decltype(&::ddGetDC) getDC;
    decltype(&::ddReleaseDC) releaseDC;
    decltype(&::ddCreateAlphaSurfaceFromImageData) alphaFromData;
    decltype(&::ddSafeAlphaBlt) safeAlphaBlt;
};

HWND makeWindow() {
    return ab::MakeBenchWindow(L"QuillonAlphaBench", L"alpha bench", kWidth, kHeight);
}

// A soft-edged disc (opaque inside, an alpha ramp over its outer sixth, clear outside), as
// straight BGRA pixels.
std::vector<std::uint32_t> softDisc(int n) {
    std::vector<std::uint32_t> px;
    const double r = n / 2.0, ramp = n / 6.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double cover = std::clamp((r - std::hypot(x + 0.5 - r, y + 0.5 - r)) / ramp, 0.0, 1.0);
            std::uint32_t a = static_cast<std::uint32_t>(std::lround(cover * 255));
            px.push_back(a << 24 | std::uint32_t(x * 255 / n) << 16 |
                         std::uint32_t(y * 255 / n) << 8 | 160u);
        }
    return px;
}

// One sprite both ways: an alpha surface for ddSafeAlphaBlt, and a premultiplied DIB in a
// memory DC for AlphaBlend.
struct Sprite {
    int size = 0;
    std::vector<std::uint32_t> pixels;
    QHANDLE surface = 0;
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    HGDIOBJ old = nullptr;
    std::vector<POINT> at;

    bool make(const Exports& q, int n, int count) {
        size = n;
        pixels = softDisc(n);
        std::vector<BYTE> png = library_test::encodePng(n, n, pixels, true);
        surface = png.empty() ? 0 : q.alphaFromData(png.data(), static_cast<long>(png.size()));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = n;
        info.bmiHeader.biHeight = -n;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        if (!surface || !dib || !dc) return false;
        auto* out = static_cast<std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::uint32_t v = pixels[i], a = v >> 24;
            auto pm = [a](std::uint32_t c) { return quillon::divide255(c * a); };
            out[i] = a << 24 | pm(v >> 16 & 255) << 16 | pm(v >> 8 & 255) << 8 | pm(v & 255);
        }
        old = SelectObject(dc, dib);
        std::uint32_t seed = 12345;
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            LONG x = static_cast<LONG>((seed >> 8) % std::uint32_t(kWidth - n + 1));
            seed = seed * 1103515245u + 12345u;
            LONG y = static_cast<LONG>((seed >> 8) % std::uint32_t(kHeight - n + 1));
            at.push_back({x, y});
        }
        return true;
    }
    void free(const Exports& q) {
        if (old) SelectObject(dc, old);
        if (dc) DeleteDC(dc);
        if (dib) DeleteObject(dib);
        if (surface) q.release(surface);
    }
};

struct Frames {
    std::function<void()> ours, gdi;
};

Frames framesOf(const Exports& q, const Sprite& s, long& failures) {
    const int n = s.size;
    Frames f;
    f.ours = [&q, &s, &failures, n] {
        q.clear(0, 0);
        for (const POINT& p : s.at)
            failures +=
                1 - q.safeAlphaBlt(0, p.x, p.y, n, n, kWidth, kHeight, s.surface, 0, 0, n, n, 255);
    };
    f.gdi = [&q, &s, &failures, n] {
        q.clear(0, 0);
        HDC dc = reinterpret_cast<HDC>(q.getDC(0));
        if (!dc) {
            ++failures;
            return;
        }
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        for (const POINT& p : s.at)
            failures += !AlphaBlend(dc, p.x, p.y, n, n, s.dc, 0, 0, n, n, blend);
        q.releaseDC(0, reinterpret_cast<QHANDLE>(dc));
    };
    return f;
}

double timeFrames(const std::function<void()>& frame, int count) {
    double start = ab::Seconds();
    for (int i = 0; i < count; ++i)
        frame();
    return (ab::Seconds() - start) / count;
}

// Pairs of runs taken in turn (the order swapping each pair): AlphaBlend's frame time over
// ours, so above 1 means faster.
ab::Series speedRatios(const Frames& f, double& oursFrame) {
    const int frames = std::max(3, static_cast<int>(0.3 / std::max(timeFrames(f.ours, 2), 1e-6)));
    ab::Series ratios, ours;
    for (int pair = 0; pair < ab::Pairs(); ++pair) {
        double a = 0, b = 0;
        if (pair % 2) {
            b = timeFrames(f.gdi, frames);
            a = timeFrames(f.ours, frames);
        } else {
            a = timeFrames(f.ours, frames);
            b = timeFrames(f.gdi, frames);
        }
        ratios.Add(b / a);
        ours.Add(a);
    }
    oursFrame = ours.Median();
    return ratios;
}

// Where the time of 1000 small sprites goes: the two Lock/Unlock pairs and two descriptions
// a call makes, and the blend loop on plain memory, against the whole frame.
void whereTheTimeGoes(const Exports& q, const Sprite& s, double frame) {
    auto* back = reinterpret_cast<IDirectDrawSurface3*>(q.back());
    auto* sprite = reinterpret_cast<IDirectDrawSurface3*>(s.surface);
    const int calls = static_cast<int>(s.at.size());
    auto perCall = [calls](const std::function<void()>& work) {
        std::vector<double> runs;
        for (int r = 0; r < 9; ++r) {
            double start = ab::Seconds();
            work();
            runs.push_back((ab::Seconds() - start) / calls * 1e6);
        }
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    };
    const double locks = perCall([&] {
        for (int i = 0; i < calls; ++i) {
            DDSURFACEDESC d = {}, e = {};
            d.dwSize = e.dwSize = sizeof d;
            back->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
            sprite->Lock(nullptr, &e, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
            sprite->Unlock(nullptr);
            back->Unlock(nullptr);
        }
    });
    const double describe = perCall([&] {
        for (int i = 0; i < calls; ++i) {
            DDSURFACEDESC d = {};
            d.dwSize = sizeof d;
            back->GetSurfaceDesc(&d);
            sprite->GetSurfaceDesc(&d);
        }
    });
    std::vector<std::uint32_t> screen(std::size_t(kWidth) * kHeight, 0xFF203040u);
    const double blend = perCall([&] {
        quillon::BlendBlock b;
        b.src = reinterpret_cast<const std::uint8_t*>(s.pixels.data());
        b.srcPitch = s.size * 4;
        b.dstPitch = kWidth * 4;
        b.width = b.height = s.size;
        for (const POINT& p : s.at) {
            b.dst = reinterpret_cast<std::uint8_t*>(&screen[std::size_t(p.y) * kWidth + p.x]);
            quillon::blendAlphaSource(b, quillon::BlendPath::kSse2);
        }
    });
    const double clear = perCall([&] { q.clear(0, 0); }); // the frame's one clear, shared
    const double call = frame * 1e6 / calls;
    std::printf("  per sprite: %.2f us in all: two Lock/Unlock pairs %.2f, two surface "
                "descriptions %.2f, the blend loop %.2f, its share of the clear %.2f, the rest "
                "%.2f\n",
                call, locks, describe, blend, clear, call - locks - describe - blend - clear);
}

} // namespace

int main() {
    HMODULE dll = LoadLibraryW(L"Quillon.dll");
    Exports q = {};
    if (!dll || !ab::BindExport(dll, q.init, "ddInit") || !ab::BindExport(dll, q.quit, "ddQuit") ||
        !ab::BindExport(dll, q.setBitDepth, "ddSetBitDepth") ||
        !ab::BindExport(dll, q.back, "ddGetBackSurface") ||
        !ab::BindExport(dll, q.release, "ddReleaseSurface") ||
        !ab::BindExport(dll, q.clear, "ddClear") || !ab::BindExport(dll, q.getDC, "ddGetDC") ||
        !ab::BindExport(dll, q.releaseDC, "ddReleaseDC") ||
        !ab::BindExport(dll, q.alphaFromData, "ddCreateAlphaSurfaceFromImageData") ||
        !ab::BindExport(dll, q.safeAlphaBlt, "ddSafeAlphaBlt")) {
        std::fprintf(stderr, "Quillon.dll or one of its exports is missing\n");
        return 1;
    }
    HWND window = makeWindow();
    std::printf("Figure 4 (under Wine): soft-edged sprites into a 640x480 back surface, "
                "ddSafeAlphaBlt against GDI's AlphaBlend on the surface's device context\n");
    struct Case {
        const char* title;
        int bits, size, count;
        double goal;
    };
    const Case cases[] = {
        {"100 sprites of 128x128, 32-bit window", 32, 128, 100, 2.0},
        {"1000 sprites of 32x32, 32-bit window", 32, 32, 1000, 0},
        {"100 sprites of 128x128, 16-bit full screen", 16, 128, 100, 0},
    };
    int status = 0;
    for (const Case& c : cases) {
        std::printf(" %s\n", c.title);
        q.setBitDepth(c.bits);
        if (!q.init(window, kWidth, kHeight, c.bits == 16 ? 1 : 0)) {
            std::printf("  not measured: ddInit failed\n");
            status = 1;
            continue;
        }
        Sprite s;
        long failures = 0;
        if (s.make(q, c.size, c.count)) {
            Frames f = framesOf(q, s, failures);
            double oursFrame = 0;
            ab::Series ratios = speedRatios(f, oursFrame);
            std::printf("  ddSafeAlphaBlt: %.1f frames/s\n", 1 / oursFrame);
            ab::PrintRatio("speed / AlphaBlend", ratios, c.goal, true);
            if (c.count == 1000) whereTheTimeGoes(q, s, oursFrame);
        } else {
            std::printf("  not measured: the sprite could not be made\n");
            status = 1;
        }
        if (failures) {
            std::printf("  %ld calls failed\n", failures);
            status = 1;
        }
        s.free(q);
        q.quit();
    }
    DestroyWindow(window);
    return status;
}
