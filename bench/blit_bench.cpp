// 1000 colour-keyed 32x32 sprites per frame into a 640x480 back surface: through
// ddSafeBltFast, and through the driver's own BltFast on the same surfaces. Prints the
// frames per second of both and their ratio (the wrapper should cost nothing measurable).
// Run it under Wine beside Quillon.dll: wine blit_bench.exe
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Quillon.h"
#include "bench_window.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kSprite = 32, kSprites = 1000;
constexpr int kPairs = 300;

struct Exports {
    decltype(&::ddInit) init;
    decltype(&::ddQuit) quit;
    decltype(&::ddGetBackSurface) back;
    decltype(&::ddCreateSurface) create;
    decltype(&::ddReleaseSurface) release;
    decltype(&::ddSetColorKey) setColorKey;
    decltype(&::ddClear) clear;
    decltype(&::ddSafeBltFast) safeBltFast;
};

HWND makeWindow() {
    return ab::MakeBenchWindow(L"QuillonBlitBench", L"blit bench", kWidth, kHeight);
}

// Sprite with a key-coloured border and diagonal, like a sheet drawn around a key colour.
bool paintSprite(IDirectDrawSurface3* s) {
    DDSURFACEDESC d = {};
    d.dwSize = sizeof(d);
    if (s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    for (int y = 0; y < kSprite; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(static_cast<char*>(d.lpSurface) + y * d.lPitch);
        for (int x = 0; x < kSprite; ++x) {
            bool key = x == 0 || y == 0 || x == kSprite - 1 || y == kSprite - 1 || x == y;
            row[x] = key ? 0x00FF00FF : 0x00800000u | (x * 8) << 8 | y * 8;
        }
    }
    s->Unlock(nullptr);
    return true;
}

double seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq) {
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart);
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    HMODULE dll = LoadLibraryW(L"Quillon.dll");
    Exports q = {};
    if (!dll || !ab::BindExport(dll, q.init, "ddInit") || !ab::BindExport(dll, q.quit, "ddQuit") ||
        !ab::BindExport(dll, q.back, "ddGetBackSurface") ||
        !ab::BindExport(dll, q.create, "ddCreateSurface") ||
        !ab::BindExport(dll, q.release, "ddReleaseSurface") ||
        !ab::BindExport(dll, q.setColorKey, "ddSetColorKey") ||
        !ab::BindExport(dll, q.clear, "ddClear") ||
        !ab::BindExport(dll, q.safeBltFast, "ddSafeBltFast")) {
        std::fprintf(stderr, "Quillon.dll or one of its exports is missing\n");
        return 1;
    }
    HWND window = makeWindow();
    if (!q.init(window, kWidth, kHeight, 0)) {
        std::fprintf(stderr, "ddInit failed\n");
        return 1;
    }
    QHANDLE sprite = q.create(kSprite, kSprite);
    auto* back = reinterpret_cast<IDirectDrawSurface3*>(q.back());
    auto* raw = reinterpret_cast<IDirectDrawSurface3*>(sprite);
    if (!sprite || !paintSprite(raw) || !q.setColorKey(sprite, -1)) {
        std::fprintf(stderr, "the sprite could not be made\n");
        q.quit();
        return 1;
    }

    // The same positions for both, all inside the surface so the raw call accepts them.
    std::vector<POINT> at(kSprites);
    std::uint32_t seed = 12345;
    for (POINT& p : at) {
        seed = seed * 1103515245u + 12345u;
        p.x = static_cast<LONG>((seed >> 8) % (kWidth - kSprite + 1));
        seed = seed * 1103515245u + 12345u;
        p.y = static_cast<LONG>((seed >> 8) % (kHeight - kSprite + 1));
    }

    RECT whole = {0, 0, kSprite, kSprite};
    long failures = 0;
    auto wrapperFrame = [&] {
        q.clear(0, 0);
        for (const POINT& p : at)
            failures += 1 - q.safeBltFast(0, p.x, p.y, kSprite, kSprite, kWidth, kHeight, sprite, 0,
                                          0, kSprite, kSprite, 1);
    };
    auto rawFrame = [&] {
        q.clear(0, 0);
        for (const POINT& p : at)
            failures += back->BltFast(p.x, p.y, raw, &whole,
                                      DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY) != DD_OK;
    };

    // Frames of the two kinds alternate one by one and the median frame time of each kind
    // counts: a busy machine slows both alike, and a preempted frame does not move a median.
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> wrapperTimes, rawTimes;
    wrapperFrame();
    rawFrame();
    for (int pair = 0; pair < kPairs; ++pair) {
        for (int which = 0; which < 2; ++which) {
            const bool wrapper = (pair + which) % 2 == 0;
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            wrapper ? wrapperFrame() : rawFrame();
            QueryPerformanceCounter(&b);
            (wrapper ? wrapperTimes : rawTimes).push_back(seconds(a, b, freq));
        }
    }
    q.release(sprite);
    q.quit();
    DestroyWindow(window);
    if (failures) {
        std::fprintf(stderr, "%ld blits failed\n", failures);
        return 1;
    }
    const double wrapperFps = 1.0 / median(wrapperTimes), rawFps = 1.0 / median(rawTimes);
    std::printf("%d colour-keyed %dx%d sprites per frame into %dx%d\n", kSprites, kSprite, kSprite,
                kWidth, kHeight);
    std::printf("ddSafeBltFast: %.1f frames/s\n", wrapperFps);
    std::printf("raw BltFast:   %.1f frames/s\n", rawFps);
    std::printf("ratio:         %.3f (goal >= 0.95)\n", wrapperFps / rawFps);
    return 0;
}
