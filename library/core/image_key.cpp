#include "image_key.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFF;
constexpr std::uint32_t kNoColorPixel = 0x01000000;

std::uint32_t alphaOf(std::uint32_t pixel) {
    return pixel >> 24;
}

// 0x00RRGGBB (a DIB pixel) from red + 256 x green + 65536 x blue (an RGB() value), and back.
std::uint32_t swapRedBlue(std::uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

} // namespace

FreeValueFinder::FreeValueFinder(std::uint64_t limit, std::size_t marks)
    : used_(static_cast<std::size_t>(std::min<std::uint64_t>(limit, std::uint64_t(marks) + 1))) {}

void FreeValueFinder::mark(std::uint64_t value) {
    if (value < used_.size()) used_[static_cast<std::size_t>(value)] = true;
}

bool FreeValueFinder::lowest(std::uint64_t& value) const {
    auto free = std::find(used_.begin(), used_.end(), false);
    if (free == used_.end()) return false;
    value = static_cast<std::uint64_t>(free - used_.begin());
    return true;
}

KeyedImage prepareKeyedPixels(std::uint32_t* pixels, std::size_t count, bool declaresTransparency) {
    KeyedImage image;
    image.transparent = declaresTransparency;
    std::size_t opaque = 0;
    bool magentaUsed = false;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t alpha = alphaOf(pixels[i]);
        image.transparent |= alpha != 0xFF;
        if (alpha < kOpaqueAlpha) continue;
        ++opaque;
        magentaUsed |= (pixels[i] & kColorBits) == kMagentaPixel;
    }
    if (!image.transparent) {
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] &= kColorBits;
        return image;
    }
    if (magentaUsed) {
        FreeValueFinder colors(kColorBits + 1u, opaque);
        for (std::size_t i = 0; i < count; ++i)
            if (alphaOf(pixels[i]) >= kOpaqueAlpha)
                colors.mark(swapRedBlue(pixels[i] & kColorBits));
        std::uint64_t rgb = 0;
        // Every colour opaque somewhere: a fourth byte no opaque pixel has still tells the
        // transparent pixels apart; the surface's key is chosen after drawing anyway.
        image.keyPixel =
            colors.lowest(rgb) ? swapRedBlue(static_cast<std::uint32_t>(rgb)) : kNoColorPixel;
    }
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = alphaOf(pixels[i]) < kOpaqueAlpha ? image.keyPixel : pixels[i] & kColorBits;
    return image;
}

} // namespace quillon
