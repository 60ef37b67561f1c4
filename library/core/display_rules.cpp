#include "display_rules.h"

namespace quillon {

bool isFullScreen(std::int32_t flags) {
    return (flags & 3) != 0;
}

std::int32_t cooperativeLevel(std::int32_t flags) {
    if (!isFullScreen(flags)) return kLevelNormal;
    std::int32_t level = kLevelExclusive | kLevelNoWindowChanges | kLevelFullScreen;
    if (flags & 2) level |= kLevelAllowModeX;
    if (flags & 4) level |= kLevelAllowReboot;
    return level;
}

std::int16_t bitDepthFor(std::int32_t bits) {
    auto low = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits & 0xFFFF));
    return (low == 16 || low == 24 || low == 32) ? low : std::int16_t{8};
}

namespace {

std::int32_t clampToInt32(std::int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

} // namespace

Size windowSizeForClient(std::int32_t width, std::int32_t height, std::int32_t outerWidth,
                         std::int32_t outerHeight, std::int32_t clientWidth,
                         std::int32_t clientHeight) {
    // A client size near the 32-bit limit comes before the size check that refuses it: the
    // sum must not wrap to a small or negative window.
    return {clampToInt32(std::int64_t(width) + outerWidth - clientWidth),
            clampToInt32(std::int64_t(height) + outerHeight - clientHeight)};
}

bool surfaceSizeAllowed(std::int32_t width, std::int32_t height) {
    return width >= 1 && height >= 1 &&
           static_cast<std::int64_t>(width) * height <= kMaxSurfacePixels;
}

ModeListContext makeModeList(std::int32_t* entries, std::int32_t maxModes) {
    std::int32_t capacity = 0;
    // Beyond this the caller's array could not exist in a 32-bit address space anyway.
    if (maxModes > 0) capacity = maxModes > 0x15555555 ? 0x3FFFFFFF : maxModes * 3;
    return {capacity, 0, entries};
}

bool appendMode(ModeListContext& list, std::int32_t width, std::int32_t height,
                std::int32_t bitsPerPixel) {
    if (list.capacity - list.count < 3) return false;
    list.entries[list.count] = width;
    list.entries[list.count + 1] = height;
    list.entries[list.count + 2] = bitsPerPixel;
    list.count += 3;
    return list.count < list.capacity;
}

} // namespace quillon
