// Translucent blits: an alpha surface drawn with each pixel's alpha, or any surface of the
// destination's format faded at one opacity. Unlike the other blits these write the
// surfaces' memory themselves (library/core/blend.h), so every rectangle is held inside
// the surfaces' real sizes here before anything is locked.
#include "internal.h"

#include <cstdint>

#include "blend.h"
#include "clip.h"

using namespace quillon;

namespace {

constexpr DWORD kAlphaFormatFlags = DDPF_RGB | DDPF_ALPHAPIXELS;

// Chosen once: processors of the first 32-bit callers' era lack SSE2; x64 always has it.
BlendPath blendPath() {
#ifdef _WIN64
    return BlendPath::kSse2;
#else
    static const BlendPath path = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)
                                      ? BlendPath::kSse2
                                      : BlendPath::kPlain;
    return path;
#endif
}

bool sameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           (a.dwFlags & DDPF_ALPHAPIXELS) == (b.dwFlags & DDPF_ALPHAPIXELS);
}

// What one call draws: the checked rectangle, the pixels' layouts and the source's key.
struct AlphaJob {
    Surface* dest;
    Surface* src;
    BlitClip clip;
    bool alphaSource;
    BlendBlock block;
};

bool describeSurface(Surface* s, DDSURFACEDESC& desc) {
    desc = {};
    desc.dwSize = sizeof desc;
    return record(s->GetSurfaceDesc(&desc)) == DD_OK;
}

// Locks both surfaces (the destination first), blends, and unlocks. Returns the first
// refused lock's answer, which the caller records and retries once on a lost surface.
HRESULT lockAndBlend(AlphaJob& job) {
    DDSURFACEDESC d = {}, s = {};
    d.dwSize = s.dwSize = sizeof d;
    HRESULT hr = job.dest->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    if (hr != DD_OK) return hr;
    hr = job.src->Lock(nullptr, &s, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
    if (hr != DD_OK) {
        job.dest->Unlock(nullptr);
        return hr;
    }
    const BlitClip& c = job.clip;
    // The rectangle was checked against the described sizes; the locks must agree.
    const bool inside = std::int64_t(c.x) + c.width <= std::int64_t(d.dwWidth) &&
                        std::int64_t(c.y) + c.height <= std::int64_t(d.dwHeight) &&
                        std::int64_t(c.srcX) + c.width <= std::int64_t(s.dwWidth) &&
                        std::int64_t(c.srcY) + c.height <= std::int64_t(s.dwHeight);
    if (inside) {
        BlendBlock b = job.block;
        const int destBytes = bytesPerPixel(b.layout);
        const int srcBytes = job.alphaSource ? 4 : destBytes;
        b.dstPitch = d.lPitch;
        b.srcPitch = s.lPitch;
        b.dst = static_cast<std::uint8_t*>(d.lpSurface) + std::ptrdiff_t(c.y) * d.lPitch +
                std::ptrdiff_t(c.x) * destBytes;
        b.src = static_cast<const std::uint8_t*>(s.lpSurface) + std::ptrdiff_t(c.srcY) * s.lPitch +
                std::ptrdiff_t(c.srcX) * srcBytes;
        b.width = c.width;
        b.height = c.height;
        job.alphaSource ? blendAlphaSource(b, blendPath()) : blendFade(b, blendPath());
    }
    job.src->Unlock(nullptr);
    job.dest->Unlock(nullptr);
    return inside ? DD_OK : DDERR_INVALIDRECT;
}

// The refusals both exports share, then the rectangle (`place` checks or clips it against
// the two surfaces' sizes: false refuses, an empty clip succeeds with nothing drawn), then
// the blend.
template <class Place>
long alphaBlt(QHANDLE dest, QHANDLE src, BlitClip clip, long opacity, Place place) {
    AlphaJob job = {};
    job.dest = surfaceOrBack(dest);
    job.src = asSurface(src);
    if (!job.dest || !job.src || job.dest == job.src) return 0;
    // A lock of the primary ignores the clipper: in a window it would draw over other windows.
    if (job.dest == g_ctx.primary && !g_ctx.fullScreen) return 0;
    DDSURFACEDESC d, s;
    if (!describeSurface(job.dest, d) || !describeSurface(job.src, s)) return 0;
    const DDPIXELFORMAT& df = d.ddpfPixelFormat;
    if (isAlphaFormat(df) ||
        !layoutOf(df.dwRGBBitCount, df.dwRBitMask, df.dwGBitMask, df.dwBBitMask, job.block.layout))
        return 0;
    job.alphaSource = isAlphaFormat(s.ddpfPixelFormat);
    if (!job.alphaSource && !sameFormat(df, s.ddpfPixelFormat)) return 0;

    bool drawn = false;
    if (!place(clip, d, s, drawn)) return 0;
    job.block.opacity = clampOpacity(opacity);
    if (!drawn || job.block.opacity == 0) return 1;
    job.clip = clip;
    DDCOLORKEY key = {};
    if (!job.alphaSource && job.src->GetColorKey(DDCKEY_SRCBLT, &key) == DD_OK) {
        job.block.keyed = true;
        job.block.key = key.dwColorSpaceLowValue;
        job.block.keyMask = df.dwRBitMask | df.dwGBitMask | df.dwBBitMask;
    }
    return succeeded(callRestoringOnce(job.dest, job.src, [&] { return lockAndBlend(job); }));
}

// A limit of 0, or one past the surface, is the surface's own size; a negative one keeps
// its meaning for the clip (nothing is left).
std::int32_t bounded(long limit, DWORD size) {
    return limit == 0 || limit > std::int64_t(size) ? static_cast<std::int32_t>(size)
                                                    : static_cast<std::int32_t>(limit);
}

} // namespace

namespace quillon {

void describeAlphaFormat(DDPIXELFORMAT& format) {
    format = {};
    format.dwSize = sizeof format;
    format.dwFlags = kAlphaFormatFlags;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0xFF0000;
    format.dwGBitMask = 0xFF00;
    format.dwBBitMask = 0xFF;
    format.dwRGBAlphaBitMask = 0xFF000000;
}

bool isAlphaFormat(const DDPIXELFORMAT& format) {
    DDPIXELFORMAT alpha;
    describeAlphaFormat(alpha);
    return (format.dwFlags & kAlphaFormatFlags) == kAlphaFormatFlags && sameFormat(format, alpha) &&
           format.dwRGBAlphaBitMask == alpha.dwRGBAlphaBitMask;
}

} // namespace quillon

long QUILLON_API ddAlphaBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                            long srcX, long srcY, long opacity) {
    BlitClip clip{x, y, width, height, srcX, srcY};
    return alphaBlt(
        dest, src, clip, opacity,
        [](const BlitClip& c, const DDSURFACEDESC& d, const DDSURFACEDESC& s, bool& drawn) {
            drawn = rectInside(c.x, c.y, c.width, c.height, d.dwWidth, d.dwHeight) &&
                    rectInside(c.srcX, c.srcY, c.width, c.height, s.dwWidth, s.dwHeight);
            return drawn;
        });
}

long QUILLON_API ddSafeAlphaBlt(QHANDLE dest, long x, long y, long width, long height,
                                long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                                long srcLimitX, long srcLimitY, long opacity) {
    BlitClip clip{x, y, width, height, srcX, srcY};
    return alphaBlt(dest, src, clip, opacity,
                    [&](BlitClip& c, const DDSURFACEDESC& d, const DDSURFACEDESC& s, bool& drawn) {
                        drawn = clipBlit(
                            c, {bounded(destLimitX, d.dwWidth), bounded(destLimitY, d.dwHeight),
                                bounded(srcLimitX, s.dwWidth), bounded(srcLimitY, s.dwHeight)});
                        return true;
                    });
}
