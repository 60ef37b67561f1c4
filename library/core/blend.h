// Translucent drawing: the blend loops of ddAlphaBlt and ddSafeAlphaBlt over locked rows of
// memory, with a plain path and an SSE2 path that give the same pixels. No windows.h: the
// library locks the surfaces, checks the rectangles and picks the path.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// How a destination stores a pixel, low byte first. 32-bit: blue, green, red, spare byte;
// 24-bit: blue, green, red; 16-bit: 5-6-5 or 5-5-5 with blue in the low bits.
enum class PixelLayout { kRgb32, kRgb24, kRgb565, kRgb555 };

// The layout of a pixel format given by its bit count and red, green and blue masks; false
// for every other format (palette indices, other channel orders), which nothing blends.
bool layoutOf(std::uint32_t bitCount, std::uint32_t redMask, std::uint32_t greenMask,
              std::uint32_t blueMask, PixelLayout& layout);
int bytesPerPixel(PixelLayout layout);

// Opacity as callers give it (any long) held to 0..255.
std::uint32_t clampOpacity(long opacity);

// round(value / 255) for 0 <= value <= 65535 - 128, the way both paths compute it.
inline std::uint32_t divide255(std::uint32_t value) {
    return ((value + 128) * 257) >> 16;
}

// The blending rule for one 8-bit channel: round((src * a + dst * (255 - a)) / 255).
inline std::uint32_t blendChannel(std::uint32_t src, std::uint32_t dst, std::uint32_t alpha) {
    return divide255(src * alpha + dst * (255 - alpha));
}

// A pixel's alpha under the call's opacity: round(alpha * opacity / 255).
inline std::uint32_t effectiveAlpha(std::uint32_t alpha, std::uint32_t opacity) {
    return divide255(alpha * opacity);
}

// 16-bit packing: a 5- or 6-bit channel widened to 8 bits (its top bits repeated below), and
// an 8-bit channel rounded to the nearest 5- or 6-bit step.
inline std::uint32_t widen5(std::uint32_t v) {
    return v << 3 | v >> 2;
}
inline std::uint32_t widen6(std::uint32_t v) {
    return v << 2 | v >> 4;
}
inline std::uint32_t narrow5(std::uint32_t v) {
    return (v * 31 + 127) / 255;
}
inline std::uint32_t narrow6(std::uint32_t v) {
    return (v * 63 + 127) / 255;
}

// One blend over a width x height block: rows start `pitch` bytes apart.
struct BlendBlock {
    const std::uint8_t* src = nullptr;
    std::ptrdiff_t srcPitch = 0;
    std::uint8_t* dst = nullptr;
    std::ptrdiff_t dstPitch = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelLayout layout = PixelLayout::kRgb32; // the destination's (and a faded source's)
    std::uint32_t opacity = 255;              // 0..255
    // A faded source's colour key: pixels whose value, masked, equals the key are left out.
    bool keyed = false;
    std::uint32_t key = 0;
    std::uint32_t keyMask = 0;
};

enum class BlendPath { kPlain, kSse2 };

// Whether this build has the SSE2 loops (x86 and x86-64; elsewhere Sse2 runs the plain ones).
bool sse2Built();

// Source pixels of 32 bits: blue, green, red, straight (not premultiplied) alpha. Each is
// drawn with its alpha x opacity / 255; a 32-bit destination keeps its spare byte.
void blendAlphaSource(const BlendBlock& block, BlendPath path);

// Source pixels in the destination's layout, every one drawn at the opacity (a fade); keyed
// pixels are left out. All bytes of a 32-bit pixel are blended, so 255 copies it exactly.
void blendFade(const BlendBlock& block, BlendPath path);

} // namespace quillon
