#include "clip.h"

#include <algorithm>
#include <limits>

namespace quillon {

namespace {
// 64-bit working values: the caller's x + width or srcX - x may not fit in 32 bits.
using Wide = std::int64_t;
constexpr Wide kMax = std::numeric_limits<std::int32_t>::max();
} // namespace

bool clipBlit(BlitClip& clip, const ClipLimits& limits) {
    Wide x = clip.x, y = clip.y, w = clip.width, h = clip.height;
    Wide srcX = clip.srcX, srcY = clip.srcY;

    // Steps 1-3: left and top edges of the destination.
    if (x < 0) {
        srcX -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        srcY -= y;
        h += y;
        y = 0;
    }
    if (w <= 0 || h <= 0) return false;

    // Steps 4-6: right and bottom limits of the destination.
    if (limits.destX != 0 && x + w > limits.destX) w = limits.destX - x;
    if (limits.destY != 0 && y + h > limits.destY) h = limits.destY - y;
    if (w <= 0 || h <= 0) return false;

    // Steps 7-9: left and top edges of the source move the destination with them.
    if (srcX < 0) {
        x -= srcX;
        w += srcX;
        srcX = 0;
    }
    if (srcY < 0) {
        y -= srcY;
        h += srcY;
        srcY = 0;
    }
    if (w <= 0 || h <= 0) return false;

    // Steps 10-12: right and bottom limits of the source.
    if (limits.srcX != 0 && srcX + w > limits.srcX) w = limits.srcX - srcX;
    if (limits.srcY != 0 && srcY + h > limits.srcY) h = limits.srcY - srcY;

    // No surface reaches past the 32-bit range, so an axis without a limit ends there.
    w = std::min({w, kMax - x, kMax - srcX});
    h = std::min({h, kMax - y, kMax - srcY});
    if (w <= 0 || h <= 0) return false;

    clip.x = static_cast<std::int32_t>(x);
    clip.y = static_cast<std::int32_t>(y);
    clip.width = static_cast<std::int32_t>(w);
    clip.height = static_cast<std::int32_t>(h);
    clip.srcX = static_cast<std::int32_t>(srcX);
    clip.srcY = static_cast<std::int32_t>(srcY);
    return true;
}

bool clipFill(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height,
              std::int32_t limitX, std::int32_t limitY) {
    // A source at (0, 0) without limits never cuts: the source steps only follow the
    // destination's, so the fill is clipped by the destination steps alone.
    BlitClip clip{x, y, width, height, 0, 0};
    ClipLimits limits{limitX, limitY, 0, 0};
    if (!clipBlit(clip, limits)) return false;
    x = clip.x;
    y = clip.y;
    width = clip.width;
    height = clip.height;
    return true;
}

bool rectInside(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                std::uint32_t surfaceWidth, std::uint32_t surfaceHeight) {
    return x >= 0 && y >= 0 && width > 0 && height > 0 && Wide(x) + width <= Wide(surfaceWidth) &&
           Wide(y) + height <= Wide(surfaceHeight);
}

} // namespace quillon
