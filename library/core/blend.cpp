#include "blend.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define QUILLON_SSE2 1
// The 32-bit build runs on processors without SSE2 too: only these functions use it.
#define SSE2_FUNCTION __attribute__((target("sse2")))
#if defined(__i386__)
// A 32-bit caller (a VB program) may call with a stack aligned to 4 bytes only; the rows'
// entries align it for the 16-byte values the compiler may keep there.
#define SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define SSE2_ENTRY SSE2_FUNCTION
#endif
#else
#define QUILLON_SSE2 0
#endif

namespace quillon {

bool layoutOf(std::uint32_t bitCount, std::uint32_t redMask, std::uint32_t greenMask,
              std::uint32_t blueMask, PixelLayout& layout) {
    struct Known {
        std::uint32_t bits, red, green, blue;
        PixelLayout layout;
    };
    static const Known known[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, PixelLayout::kRgb32},
        {24, 0xFF0000, 0xFF00, 0xFF, PixelLayout::kRgb24},
        {16, 0xF800, 0x07E0, 0x001F, PixelLayout::kRgb565},
        {16, 0x7C00, 0x03E0, 0x001F, PixelLayout::kRgb555},
    };
    for (const Known& k : known)
        if (k.bits == bitCount && k.red == redMask && k.green == greenMask && k.blue == blueMask) {
            layout = k.layout;
            return true;
        }
    return false;
}

int bytesPerPixel(PixelLayout layout) {
    switch (layout) {
    case PixelLayout::kRgb32:
        return 4;
    case PixelLayout::kRgb24:
        return 3;
    default:
        return 2;
    }
}

std::uint32_t clampOpacity(long opacity) {
    return opacity < 0 ? 0 : opacity > 255 ? 255 : static_cast<std::uint32_t>(opacity);
}

bool sse2Built() {
    return QUILLON_SSE2 != 0;
}

namespace {

std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void store32(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}
std::uint32_t load16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}
void store16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

// An 8-bit red, green and blue, as 16-bit layouts hold them.
struct Rgb {
    std::uint32_t r, g, b;
};
Rgb unpack16(std::uint32_t v, PixelLayout layout) {
    if (layout == PixelLayout::kRgb565)
        return {widen5(v >> 11 & 31), widen6(v >> 5 & 63), widen5(v & 31)};
    return {widen5(v >> 10 & 31), widen5(v >> 5 & 31), widen5(v & 31)};
}
std::uint32_t pack16(Rgb c, PixelLayout layout) {
    if (layout == PixelLayout::kRgb565)
        return narrow5(c.r) << 11 | narrow6(c.g) << 5 | narrow5(c.b);
    return narrow5(c.r) << 10 | narrow5(c.g) << 5 | narrow5(c.b);
}
Rgb blendRgb(Rgb s, Rgb d, std::uint32_t a) {
    return {blendChannel(s.r, d.r, a), blendChannel(s.g, d.g, a), blendChannel(s.b, d.b, a)};
}

// Source pixel `s` (blue, green, red, alpha) at effective alpha `a` over one destination pixel.
void alphaPixel(std::uint32_t s, std::uint32_t a, std::uint8_t* d, PixelLayout layout) {
    if (a == 0) return;
    Rgb src = {s >> 16 & 0xFF, s >> 8 & 0xFF, s & 0xFF};
    switch (layout) {
    case PixelLayout::kRgb32: {
        std::uint32_t dv = load32(d);
        Rgb c = blendRgb(src, {dv >> 16 & 0xFF, dv >> 8 & 0xFF, dv & 0xFF}, a);
        store32(d, (dv & 0xFF000000u) | c.r << 16 | c.g << 8 | c.b);
        break;
    }
    case PixelLayout::kRgb24: {
        Rgb c = blendRgb(src, {d[2], d[1], d[0]}, a);
        d[0] = static_cast<std::uint8_t>(c.b);
        d[1] = static_cast<std::uint8_t>(c.g);
        d[2] = static_cast<std::uint8_t>(c.r);
        break;
    }
    default:
        store16(d, pack16(blendRgb(src, unpack16(load16(d), layout), a), layout));
        break;
    }
}

void alphaRowPlain(const std::uint8_t* s, std::uint8_t* d, std::int32_t from, std::int32_t to,
                   std::uint32_t opacity, PixelLayout layout) {
    const int step = bytesPerPixel(layout);
    for (std::int32_t x = from; x < to; ++x) {
        std::uint32_t v = load32(s + 4 * x);
        alphaPixel(v, effectiveAlpha(v >> 24, opacity), d + step * x, layout);
    }
}

// One faded pixel of `step` bytes; keyed pixels were left out by the caller.
void fadePixel(const std::uint8_t* s, std::uint8_t* d, std::uint32_t a, PixelLayout layout) {
    if (layout == PixelLayout::kRgb565 || layout == PixelLayout::kRgb555) {
        Rgb c = blendRgb(unpack16(load16(s), layout), unpack16(load16(d), layout), a);
        store16(d, pack16(c, layout));
        return;
    }
    for (int i = 0; i < bytesPerPixel(layout); ++i)
        d[i] = static_cast<std::uint8_t>(blendChannel(s[i], d[i], a));
}

std::uint32_t pixelValue(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

bool keyedOut(const BlendBlock& b, const std::uint8_t* s, int bytes) {
    return b.keyed && (pixelValue(s, bytes) & b.keyMask) == (b.key & b.keyMask);
}

void fadeRowPlain(const BlendBlock& b, const std::uint8_t* s, std::uint8_t* d, std::int32_t from,
                  std::int32_t to) {
    const int step = bytesPerPixel(b.layout);
    for (std::int32_t x = from; x < to; ++x) {
        const std::uint8_t* sp = s + step * x;
        if (keyedOut(b, sp, step)) continue;
        if (b.opacity == 255)
            std::memcpy(d + step * x, sp, static_cast<std::size_t>(step));
        else
            fadePixel(sp, d + step * x, b.opacity, b.layout);
    }
}

#if QUILLON_SSE2

// round((s * a + d * (255 - a)) / 255) on eight 16-bit lanes, as divide255 computes it.
SSE2_FUNCTION inline __m128i blendLanes(__m128i s, __m128i d, __m128i a) {
    const __m128i inverse = _mm_xor_si128(a, _mm_set1_epi16(255));
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, inverse));
    sum = _mm_add_epi16(sum, _mm_set1_epi16(128));
    return _mm_mulhi_epu16(sum, _mm_set1_epi16(257));
}

SSE2_FUNCTION inline __m128i blendPixels(__m128i s, __m128i d, __m128i aLo, __m128i aHi) {
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = blendLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), aLo);
    __m128i hi = blendLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), aHi);
    return _mm_packus_epi16(lo, hi);
}

// round((s * a + d * (255 - a)) / 255) on eight 16-bit lanes with one multiply: the sum is
// (s - d) * a + 256 * d - d, which fits 16 bits, so lanes that wrap on the way end exact.
// `d128` holds 256 * d + 128.
SSE2_FUNCTION inline __m128i blendLanesOnce(__m128i s, __m128i d, __m128i d128, __m128i a) {
    const __m128i sum =
        _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), a), _mm_sub_epi16(d128, d));
    return _mm_mulhi_epu16(sum, _mm_set1_epi16(257));
}

// Four pixels at alphas `a` (one a 32-bit lane) over `dv`; the spare byte's alpha is 0, so the
// destination keeps it.
SSE2_FUNCTION inline __m128i alphaPixels32(__m128i sp, __m128i dv, __m128i a) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi8(-128);
    const __m128i a3 =
        _mm_or_si128(_mm_mullo_epi16(a, _mm_set1_epi32(0x0101)), _mm_slli_epi32(a, 16));
    const __m128i lo = blendLanesOnce(_mm_unpacklo_epi8(sp, zero), _mm_unpacklo_epi8(dv, zero),
                                      _mm_unpacklo_epi8(half, dv), _mm_unpacklo_epi8(a3, zero));
    const __m128i hi = blendLanesOnce(_mm_unpackhi_epi8(sp, zero), _mm_unpackhi_epi8(dv, zero),
                                      _mm_unpackhi_epi8(half, dv), _mm_unpackhi_epi8(a3, zero));
    return _mm_packus_epi16(lo, hi);
}

// The opaque pixels of `sp` over `dv`, whose spare bytes stay.
SSE2_FUNCTION inline __m128i opaquePixels32(__m128i sp, __m128i dv) {
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    return _mm_or_si128(_mm_and_si128(sp, colour), _mm_andnot_si128(colour, dv));
}

// Alphas (one a 32-bit lane) under the opacity, as effectiveAlpha computes them.
SSE2_FUNCTION inline __m128i fadedAlpha(__m128i a, __m128i opacityLanes) {
    a = _mm_add_epi16(_mm_mullo_epi16(a, opacityLanes), _mm_set1_epi32(128));
    return _mm_mulhi_epu16(a, _mm_set1_epi32(257));
}

// The 32-bit loop, built once for opacity 255 (the alphas as they are) and once for the rest.
// Eight pixels a step: soft sprites have long runs of clear and of opaque pixels, and one test
// on eight costs fewer mispredicted branches than two on four.
template <bool Faded>
SSE2_FUNCTION inline std::int32_t alphaGroups32(const std::uint8_t* s, std::uint8_t* d,
                                                std::int32_t width, std::uint32_t opacity) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i opacityLanes = _mm_set1_epi32(static_cast<int>(opacity));
    std::int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x + 16));
        __m128i a0 = _mm_srli_epi32(s0, 24), a1 = _mm_srli_epi32(s1, 24);
        if (Faded) a0 = fadedAlpha(a0, opacityLanes), a1 = fadedAlpha(a1, opacityLanes);
        const __m128i alphas = _mm_packs_epi32(a0, a1);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(alphas, zero)) == 0xFFFF) continue;
        __m128i* dp = reinterpret_cast<__m128i*>(d + 4 * x);
        const __m128i d0 = _mm_loadu_si128(dp), d1 = _mm_loadu_si128(dp + 1);
        if (!Faded && _mm_movemask_epi8(_mm_cmpeq_epi16(alphas, _mm_set1_epi16(255))) == 0xFFFF) {
            _mm_storeu_si128(dp, opaquePixels32(s0, d0));
            _mm_storeu_si128(dp + 1, opaquePixels32(s1, d1));
        } else {
            _mm_storeu_si128(dp, alphaPixels32(s0, d0, a0));
            _mm_storeu_si128(dp + 1, alphaPixels32(s1, d1, a1));
        }
    }
    return x;
}

// Eight pixels at a time; the rest as the plain loop draws them. The row `pitch` bytes below
// is fetched ahead while this one is drawn, since even an opaque group reads the destination
// (for the spare bytes). A fetch ahead never faults, below the last row too; its address is
// made as a number, not as a pointer past the block.
SSE2_ENTRY void alphaRow32Sse2(const std::uint8_t* s, std::uint8_t* d, std::int32_t width,
                               std::uint32_t opacity, std::ptrdiff_t pitch) {
    const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(d) + std::uintptr_t(pitch);
    for (std::int32_t at = 0; at < 4 * width; at += 64)
        _mm_prefetch(reinterpret_cast<const char*>(next + std::uintptr_t(at)), _MM_HINT_T0);
    const std::int32_t x = opacity == 255 ? alphaGroups32<false>(s, d, width, opacity)
                                          : alphaGroups32<true>(s, d, width, opacity);
    alphaRowPlain(s, d, x, width, opacity, PixelLayout::kRgb32);
}

// 5- and 6-bit channels widened to 8 bits, and 8-bit ones rounded back, on 16-bit lanes:
// (v * 31 + 128) * 257 >> 16 is (v * 31 + 127) / 255 for every 8-bit v.
SSE2_FUNCTION inline __m128i widenLanes(__m128i v, bool six) {
    return six ? _mm_or_si128(_mm_slli_epi16(v, 2), _mm_srli_epi16(v, 4))
               : _mm_or_si128(_mm_slli_epi16(v, 3), _mm_srli_epi16(v, 2));
}
SSE2_FUNCTION inline __m128i narrowLanes(__m128i v, bool six) {
    const __m128i scaled = _mm_mullo_epi16(v, _mm_set1_epi16(six ? 63 : 31));
    return _mm_mulhi_epu16(_mm_add_epi16(scaled, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// One 8-bit channel of eight 32-bit source pixels (four in each register) on 16-bit lanes.
SSE2_FUNCTION inline __m128i channelLanes(__m128i s0, __m128i s1, int shift) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(s0, shift), byte),
                           _mm_and_si128(_mm_srli_epi32(s1, shift), byte));
}

// Eight pixels at a time onto 5-6-5 or 5-5-5; the rest as the plain loop draws them.
SSE2_ENTRY void alphaRow16Sse2(const std::uint8_t* s, std::uint8_t* d, std::int32_t width,
                               std::uint32_t opacity, PixelLayout layout) {
    const bool six = layout == PixelLayout::kRgb565;
    const int redShift = six ? 11 : 10;
    const __m128i zero = _mm_setzero_si128();
    const __m128i five = _mm_set1_epi16(31), green = _mm_set1_epi16(six ? 63 : 31);
    std::int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x + 16));
        __m128i a = _mm_packs_epi32(_mm_srli_epi32(s0, 24), _mm_srli_epi32(s1, 24));
        if (opacity != 255) {
            a = _mm_mullo_epi16(a, _mm_set1_epi16(static_cast<short>(opacity)));
            a = _mm_mulhi_epu16(_mm_add_epi16(a, _mm_set1_epi16(128)), _mm_set1_epi16(257));
        }
        const __m128i clear = _mm_cmpeq_epi16(a, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
        __m128i* dp = reinterpret_cast<__m128i*>(d + 2 * x);
        const __m128i dv = _mm_loadu_si128(dp);
        const __m128i dr = widenLanes(_mm_and_si128(_mm_srli_epi16(dv, redShift), five), false);
        const __m128i dg = widenLanes(_mm_and_si128(_mm_srli_epi16(dv, 5), green), six);
        const __m128i db = widenLanes(_mm_and_si128(dv, five), false);
        const __m128i r = narrowLanes(blendLanes(channelLanes(s0, s1, 16), dr, a), false);
        const __m128i g = narrowLanes(blendLanes(channelLanes(s0, s1, 8), dg, a), six);
        const __m128i b = narrowLanes(blendLanes(channelLanes(s0, s1, 0), db, a), false);
        const __m128i out =
            _mm_or_si128(_mm_slli_epi16(r, redShift), _mm_or_si128(_mm_slli_epi16(g, 5), b));
        _mm_storeu_si128(dp, _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out)));
    }
    alphaRowPlain(s, d, x, width, opacity, layout);
}

SSE2_ENTRY void fadeRow32Sse2(const BlendBlock& b, const std::uint8_t* s, std::uint8_t* d) {
    const __m128i a = _mm_set1_epi16(static_cast<short>(b.opacity));
    const __m128i keyMask = _mm_set1_epi32(static_cast<int>(b.keyMask));
    const __m128i key = _mm_set1_epi32(static_cast<int>(b.key & b.keyMask));
    std::int32_t x = 0;
    for (; x + 4 <= b.width; x += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        __m128i* dp = reinterpret_cast<__m128i*>(d + 4 * x);
        const __m128i dv = _mm_loadu_si128(dp);
        __m128i out = b.opacity == 255 ? sp : blendPixels(sp, dv, a, a);
        if (b.keyed) {
            const __m128i left = _mm_cmpeq_epi32(_mm_and_si128(sp, keyMask), key);
            out = _mm_or_si128(_mm_and_si128(left, dv), _mm_andnot_si128(left, out));
        }
        _mm_storeu_si128(dp, out);
    }
    fadeRowPlain(b, s, d, x, b.width);
}

#endif

} // namespace

namespace {

// Runs one row function per row: the SSE2 one where it exists for the layout and is asked
// for, the plain one otherwise.
template <class Sse2Row, class PlainRow>
void forEachRow(const BlendBlock& b, BlendPath path, bool sse2Layout, Sse2Row sse2Row,
                PlainRow plainRow) {
    if (b.opacity == 0) return;
    const bool sse2 = QUILLON_SSE2 && path == BlendPath::kSse2 && sse2Layout;
    const std::uint8_t* s = b.src;
    std::uint8_t* d = b.dst;
    for (std::int32_t y = 0; y < b.height; ++y, s += b.srcPitch, d += b.dstPitch)
        sse2 ? sse2Row(s, d) : plainRow(s, d);
}

} // namespace

void blendAlphaSource(const BlendBlock& b, BlendPath path) {
    forEachRow(
        b, path, b.layout != PixelLayout::kRgb24,
        [&](const std::uint8_t* s, std::uint8_t* d) {
#if QUILLON_SSE2
            if (b.layout == PixelLayout::kRgb32)
                alphaRow32Sse2(s, d, b.width, b.opacity, b.dstPitch);
            else
                alphaRow16Sse2(s, d, b.width, b.opacity, b.layout);
#else
            (void)s, (void)d;
#endif
        },
        [&](const std::uint8_t* s, std::uint8_t* d) {
            alphaRowPlain(s, d, 0, b.width, b.opacity, b.layout);
        });
}

void blendFade(const BlendBlock& b, BlendPath path) {
    forEachRow(
        b, path, b.layout == PixelLayout::kRgb32,
        [&](const std::uint8_t* s, std::uint8_t* d) {
#if QUILLON_SSE2
            fadeRow32Sse2(b, s, d);
#else
            (void)s, (void)d;
#endif
        },
        [&](const std::uint8_t* s, std::uint8_t* d) { fadeRowPlain(b, s, d, 0, b.width); });
}

} // namespace quillon
