// Pure rules of the display context: which cooperative level a set of ddInit flags asks
// for, which bit depths a full-screen mode may use, how big a window must be for a
// client area, and how the mode list fills the caller's array.
#pragma once

#include <cstdint>

namespace quillon {

// Cooperative-level bits as the driver defines them.
constexpr std::int32_t kLevelFullScreen = 0x01;
constexpr std::int32_t kLevelAllowReboot = 0x02;
constexpr std::int32_t kLevelNormal = 0x08;
constexpr std::int32_t kLevelExclusive = 0x10;
constexpr std::int32_t kLevelAllowModeX = 0x40;
constexpr std::int32_t kLevelNoWindowChanges = 0x04;

// Bits 1 and 2 ask for full-screen; bit 4 only matters there.
bool isFullScreen(std::int32_t flags);
std::int32_t cooperativeLevel(std::int32_t flags);

// The caller passes a 16-bit Integer: only the low half counts. 16, 24 and 32 stay,
// everything else becomes 8.
std::int16_t bitDepthFor(std::int32_t bits);

struct Size {
    std::int32_t width;
    std::int32_t height;
};

// Outer window size that gives a client area of width by height, given the window's
// current outer size and client size (the frame stays what it is). A size past the 32-bit
// range is clamped to it.
Size windowSizeForClient(std::int32_t width, std::int32_t height, std::int32_t outerWidth,
                         std::int32_t outerHeight, std::int32_t clientWidth,
                         std::int32_t clientHeight);

// Off-screen surface sizes the library asks the driver for: at least one pixel each way and
// no more than 512 MB at 32 bits per pixel. Wine's driver "creates" larger or negative
// sizes without memory behind them, and the first fill then crashes.
constexpr std::int64_t kMaxSurfacePixels = 0x8000000;
bool surfaceSizeAllowed(std::int32_t width, std::int32_t height);

// What the driver's mode enumeration fills: capacity and count in integers, three per
// mode (width, height, bits per pixel).
struct ModeListContext {
    std::int32_t capacity;
    std::int32_t count;
    std::int32_t* entries;
};

// Room for maxModes modes; a maximum below 1 gives no room at all.
ModeListContext makeModeList(std::int32_t* entries, std::int32_t maxModes);

// Appends one mode if it fits (never writes past capacity); answers whether the
// enumeration should go on.
bool appendMode(ModeListContext& list, std::int32_t width, std::int32_t height,
                std::int32_t bitsPerPixel);

} // namespace quillon
