// Figure 5, native: the library core's blend loop against pixman's OVER compositing
// (premultiplied a8r8g8b8 onto x8r8g8b8) and SDL2's blended software blit, on the same
// 640x480 buffer with the same soft-edged sprites at the same places. Frames of each run
// in turn, 9 pairs; each pair gives the speed ratio (their time / ours), judged on the
// median. pixman and SDL2 are this benchmark's alone: ./run bench installs them.
#include <SDL.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "blend.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kFewestPairs = 9;

using Clock = std::chrono::steady_clock;

int pairs() {
    const char* v = std::getenv("QUILLON_BENCH_PAIRS");
    int n = v ? std::atoi(v) : kFewestPairs;
    return n > 0 ? n : kFewestPairs;
}

// A soft-edged disc: opaque inside, a ramp of alpha over its outer sixth, clear outside;
// colours change across it. Straight alpha (ours, SDL2) and premultiplied (pixman).
struct Sprite {
    int size;
    std::vector<std::uint32_t> straight, premultiplied;
    explicit Sprite(int n) : size(n) {
        const double r = n / 2.0, ramp = n / 6.0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                double dist = std::hypot(x + 0.5 - r, y + 0.5 - r);
                double cover = std::clamp((r - dist) / ramp, 0.0, 1.0);
                std::uint32_t a = static_cast<std::uint32_t>(std::lround(cover * 255));
                std::uint32_t red = std::uint32_t(x * 255 / n), green = std::uint32_t(y * 255 / n),
                              blue = 160;
                straight.push_back(a << 24 | red << 16 | green << 8 | blue);
                auto pm = [a](std::uint32_t c) { return quillon::divide255(c * a); };
                premultiplied.push_back(a << 24 | pm(red) << 16 | pm(green) << 8 | pm(blue));
            }
    }
};

struct Workload {
    const char* name;
    Sprite sprite;
    std::vector<std::pair<int, int>> at;
    Workload(const char* n, int size, int count) : name(n), sprite(size) {
        std::uint32_t seed = 12345;
        auto next = [&seed](int range) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 8) % std::uint32_t(range));
        };
        for (int i = 0; i < count; ++i)
            at.emplace_back(next(kWidth - size + 1), next(kHeight - size + 1));
    }
};

struct Series {
    std::vector<double> v;
    double median() const {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
};

void printRatio(const char* name, const Series& r, double goal) {
    std::printf("  %-34s median %.2f (min %.2f, max %.2f; %zu pairs)", name, r.median(),
                *std::min_element(r.v.begin(), r.v.end()),
                *std::max_element(r.v.begin(), r.v.end()), r.v.size());
    std::printf("  goal >= %.2f: %s", goal, r.median() >= goal ? "met" : "NOT met");
    if (r.v.size() < std::size_t(kFewestPairs))
        std::printf(" (fewer than %d pairs: not a judgement)", kFewestPairs);
    std::printf("\n");
}

// Seconds for `frames` frames of `draw`, the buffer cleared before each as a game would.
double timeFrames(std::vector<std::uint32_t>& screen, int frames,
                  const std::function<void()>& draw) {
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        std::fill(screen.begin(), screen.end(), 0xFF203040u);
        draw();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main() {
    std::vector<std::uint32_t> screen(std::size_t(kWidth) * kHeight);
    pixman_image_t* target =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, screen.data(), kWidth * 4);
    SDL_Surface* sdlTarget = SDL_CreateRGBSurfaceWithFormatFrom(screen.data(), kWidth, kHeight, 32,
                                                                kWidth * 4, SDL_PIXELFORMAT_RGB888);
    if (!target || !sdlTarget) {
        std::fprintf(stderr, "the target buffer could not be wrapped\n");
        return 1;
    }
    std::printf("Figure 5 (native): soft-edged sprites onto a 640x480 x8r8g8b8 buffer; speed of "
                "the core's blend loop (SSE2 path%s) against pixman %s OVER and SDL2 %d.%d.%d's "
                "blended blit\n",
                quillon::sse2Built() ? "" : " not built: plain", pixman_version_string(),
                SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    for (Workload w : {Workload("100 sprites of 128x128", 128, 100),
                       Workload("1000 sprites of 32x32", 32, 1000)}) {
        const int n = w.sprite.size;
        pixman_image_t* pmSprite =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, n, n, w.sprite.premultiplied.data(), n * 4);
        SDL_Surface* sdlSprite = SDL_CreateRGBSurfaceWithFormatFrom(
            w.sprite.straight.data(), n, n, 32, n * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!pmSprite || !sdlSprite || SDL_SetSurfaceBlendMode(sdlSprite, SDL_BLENDMODE_BLEND)) {
            std::fprintf(stderr, "the sprites could not be wrapped\n");
            return 1;
        }
        auto ours = [&] {
            quillon::BlendBlock b;
            b.src = reinterpret_cast<const std::uint8_t*>(w.sprite.straight.data());
            b.srcPitch = n * 4;
            b.dstPitch = kWidth * 4;
            b.width = b.height = n;
            for (auto [x, y] : w.at) {
                b.dst = reinterpret_cast<std::uint8_t*>(&screen[std::size_t(y) * kWidth + x]);
                quillon::blendAlphaSource(b, quillon::BlendPath::kSse2);
            }
        };
        auto pixman = [&] {
            for (auto [x, y] : w.at)
                pixman_image_composite32(PIXMAN_OP_OVER, pmSprite, nullptr, target, 0, 0, 0, 0, x,
                                         y, n, n);
        };
        auto sdl = [&] {
            for (auto [x, y] : w.at) {
                SDL_Rect r = {x, y, n, n};
                SDL_BlitSurface(sdlSprite, nullptr, sdlTarget, &r);
            }
        };
        // How far the three frames are apart, channel by channel (their rounding differs).
        std::vector<std::uint32_t> frames[3];
        const std::function<void()> draws[3] = {ours, pixman, sdl};
        for (int i = 0; i < 3; ++i) {
            timeFrames(screen, 1, draws[i]);
            frames[i] = screen;
        }
        int worst[2] = {0, 0};
        for (std::size_t p = 0; p < screen.size(); ++p)
            for (int other = 1; other < 3; ++other)
                for (int shift = 0; shift < 24; shift += 8)
                    worst[other - 1] =
                        std::max(worst[other - 1], std::abs(int(frames[0][p] >> shift & 255) -
                                                            int(frames[other][p] >> shift & 255)));
        // About a fifth of a second a run.
        const double once = timeFrames(screen, 3, ours) / 3;
        const int frameCount = std::max(3, static_cast<int>(0.2 / std::max(once, 1e-6)));
        Series vsPixman, vsSdl;
        for (int pair = 0; pair < pairs(); ++pair) {
            double tOurs = timeFrames(screen, frameCount, ours);
            double tPixman = timeFrames(screen, frameCount, pixman);
            double tSdl = timeFrames(screen, frameCount, sdl);
            vsPixman.v.push_back(tPixman / tOurs);
            vsSdl.v.push_back(tSdl / tOurs);
        }
        std::printf(" %s a frame (%d frames a run; largest channel difference from ours: "
                    "pixman %d, SDL2 %d)\n",
                    w.name, frameCount, worst[0], worst[1]);
        printRatio("core / pixman OVER (speed)", vsPixman, 1.0);
        printRatio("core / SDL2 blended blit (speed)", vsSdl, 1.0);
        pixman_image_unref(pmSprite);
        SDL_FreeSurface(sdlSprite);
    }
    pixman_image_unref(target);
    SDL_FreeSurface(sdlTarget);
    return 0;
}
