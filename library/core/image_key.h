// How a decoded image becomes a colour-keyed surface: which pixels are transparent, the
// colour that stands for them before GDI draws the image, and a key value that no opaque
// pixel has once the display's format has mapped the colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon {

// Alpha below this leaves the pixel out; at or above, the pixel is drawn opaque as it is
// (blits do not blend).
constexpr std::uint32_t kOpaqueAlpha = 128;

// Pixels here are 32-bit words as a 32-bit DIB holds them: blue in the low byte, then
// green, red, and alpha (straight, not premultiplied) in the high byte.
constexpr std::uint32_t kMagentaPixel = 0x00FF00FF;

struct KeyedImage {
    bool transparent = false;               // some pixel is not fully opaque
    std::uint32_t keyPixel = kMagentaPixel; // what the transparent pixels now hold
};

// Readies decoded pixels for GDI: the fourth byte of every pixel becomes 0, as GDI writes
// it. An image with a pixel of alpha below 255 counts as transparent, and so does one that
// `declaresTransparency` (a GIF's transparent colour, used or not); then every pixel of
// alpha below kOpaqueAlpha becomes the key pixel: magenta, or, when an opaque pixel is
// magenta, the lowest RGB value (red + 256 x green + 65536 x blue) no opaque pixel has
// (when all 2^24 colours are opaque somewhere: black with a fourth byte of 1). Afterwards a
// pixel is transparent exactly when it equals the key pixel.
KeyedImage prepareKeyedPixels(std::uint32_t* pixels, std::size_t count,
                              bool declaresTransparency = false);

// The lowest value no marked value equals, among 0 to limit - 1. Looks only at the first
// marks + 1 values (the pigeonhole guarantees a free one there unless the limit is
// smaller), so its memory is bounded by the number of marks, not by the limit.
class FreeValueFinder {
  public:
    FreeValueFinder(std::uint64_t limit, std::size_t marks);
    void mark(std::uint64_t value);
    // False when every value below the limit is marked.
    bool lowest(std::uint64_t& value) const;

  private:
    std::vector<bool> used_;
};

} // namespace quillon
