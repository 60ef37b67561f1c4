#include "image_canvas.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace quillon {

namespace {

// How much of a frame `extent` long at `offset` lies on a canvas `size` long.
long clippedExtent(long size, std::uint32_t offset, long extent) {
    if (offset >= static_cast<std::uint64_t>(size)) return 0;
    return std::min(extent, size - static_cast<long>(offset));
}

} // namespace

FramePlacement placeFrame(std::uint32_t screenWidth, std::uint32_t screenHeight, std::uint32_t left,
                          std::uint32_t top, long frameWidth, long frameHeight) {
    FramePlacement p;
    // Screens are 16-bit in a GIF; anything beyond a long is no screen at all.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<long>::max());
    if (screenWidth == 0 || screenHeight == 0 || screenWidth > limit || screenHeight > limit ||
        frameWidth < 0 || frameHeight < 0) {
        p.width = p.copyWidth = std::max(frameWidth, 0L);
        p.height = p.copyHeight = std::max(frameHeight, 0L);
        return p;
    }
    p.width = static_cast<long>(screenWidth);
    p.height = static_cast<long>(screenHeight);
    p.copyWidth = clippedExtent(p.width, left, frameWidth);
    p.copyHeight = clippedExtent(p.height, top, frameHeight);
    if (p.copyWidth > 0 && p.copyHeight > 0) {
        p.left = static_cast<long>(left);
        p.top = static_cast<long>(top);
    } else {
        p.copyWidth = p.copyHeight = 0;
    }
    return p;
}

bool framesWholeCanvas(const FramePlacement& p) {
    return p.left == 0 && p.top == 0 && p.copyWidth == p.width && p.copyHeight == p.height;
}

bool composeCanvas(const FramePlacement& p, std::uint32_t* canvas, const FrameBlockCopy& copy) {
    const std::size_t stride = static_cast<std::size_t>(p.width);
    for (long y = 0; y < p.height; ++y) {
        std::uint32_t* row = canvas + static_cast<std::size_t>(y) * stride;
        if (y < p.top || y >= p.top + p.copyHeight) {
            std::fill(row, row + stride, 0u);
            continue;
        }
        std::fill(row, row + p.left, 0u);
        std::fill(row + p.left + p.copyWidth, row + stride, 0u);
    }
    if (p.copyWidth == 0 || p.copyHeight == 0) return true;
    return copy(canvas + static_cast<std::size_t>(p.top) * stride + p.left, p.width);
}

} // namespace quillon
