// In-place corrections of what a writer may get wrong about video: the main header's
// frame period and the key-frame flags of uncompressed frames. Pure, over riff::ByteStore.
#pragma once

#include "avi_fixup.h"

namespace avi {

constexpr uint32_t kAvihMicroSecPerFrame = 0;
constexpr uint32_t kBitmapCompression = 16; // biCompression inside a video strf
constexpr uint32_t kIndexKeyFrame = 0x10;   // AVIIF_KEYFRAME in an idx1 entry

// Microseconds per frame of a stream running at rate/scale frames per second, rounded;
// 0 when the rate is 0.
uint32_t microSecondsPerFrame(uint32_t scale, uint32_t rate);

// Sets the main header's microseconds per frame from the first video stream's rate (left
// alone when it is already within 1 of it), and marks every idx1 entry of an uncompressed
// (BI_RGB) video stream as a key frame: each such frame stands on its own.
FixupResult fixVideoHeaders(riff::ByteStore& store);

} // namespace avi
