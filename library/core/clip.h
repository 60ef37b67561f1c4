// Clipping of the Safe blits and fills: pure integer arithmetic, shared by ddSafeBitBlt,
// ddSafeBltFast and ddSafeFillBlt so that the order of the cuts lives in one place.
#pragma once

#include <cstdint>

namespace quillon {

// A same-size copy: destination position and size, and where it is taken from in the source.
struct BlitClip {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t srcX = 0;
    std::int32_t srcY = 0;
};

// Exclusive right and bottom bounds of what may be drawn; 0 means no bound on that axis.
// The left and top bounds are always 0.
struct ClipLimits {
    std::int32_t destX = 0;
    std::int32_t destY = 0;
    std::int32_t srcX = 0;
    std::int32_t srcY = 0;
};

// Cuts `clip` to the destination limits, then to the source limits. Returns false when
// nothing is left (clip is then unspecified). Both rectangles keep the same size and every
// left or top cut moves both by the same amount, so the kept pixels land where they would
// have landed unclipped. Beyond the given limits, nothing is kept that would need a
// coordinate past the 32-bit range: the caller's x + width may overflow, the result's
// right and bottom edges never do.
bool clipBlit(BlitClip& clip, const ClipLimits& limits);

// The destination half of clipBlit for a fill (there is no source to follow a cut).
bool clipFill(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height,
              std::int32_t limitX, std::int32_t limitY);

// Whether a width x height rectangle at (x, y) is non-empty and lies wholly inside a
// surface of surfaceWidth x surfaceHeight (no sum wraps).
bool rectInside(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                std::uint32_t surfaceWidth, std::uint32_t surfaceHeight);

} // namespace quillon
