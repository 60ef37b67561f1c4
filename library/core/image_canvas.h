// Where an image's first frame lands on the surface made from it. A GIF frame sits at an
// offset on the image's logical screen, and the screen is the image: the surface has the
// screen's size and what the frame does not cover is transparent.
#pragma once

#include <cstdint>
#include <functional>

namespace quillon {

struct FramePlacement {
    long width = 0, height = 0;         // the canvas, that is the image's size
    long left = 0, top = 0;             // where the frame's top-left pixel lands
    long copyWidth = 0, copyHeight = 0; // the frame's top-left block that lands on it
};

// The frame on its logical screen (a GIF's; other formats have none and pass 0 x 0): the
// screen's size, the frame at its offset, the frame clipped to the screen. A screen of 0 in
// either dimension gives the frame alone, at its own size with no offset.
FramePlacement placeFrame(std::uint32_t screenWidth, std::uint32_t screenHeight, std::uint32_t left,
                          std::uint32_t top, long frameWidth, long frameHeight);

// True when every pixel of the canvas comes from the frame.
bool framesWholeCanvas(const FramePlacement& placement);

// Writes the frame's copyWidth x copyHeight block at `to`, rows `stride` pixels apart.
using FrameBlockCopy = std::function<bool(std::uint32_t* to, long stride)>;

// Fills the canvas (width x height 32-bit pixels, rows top down with no gaps): the frame's
// block through `copy`, every other pixel 0, which is transparent black in straight and in
// premultiplied alpha. False when `copy` fails; the canvas is then partly written.
bool composeCanvas(const FramePlacement& placement, std::uint32_t* canvas,
                   const FrameBlockCopy& copy);

} // namespace quillon
