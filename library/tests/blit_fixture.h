// A windowed display context with a known picture in the back surface and a 32x32 sprite
// whose every pixel is different, for the blit tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "pixel_access.h"
#include "quillon_dll.h"

namespace library_test {

using Picture = std::function<std::uint32_t(int, int)>;

class BlitTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;
    static constexpr int kSprite = 32;
    static constexpr std::uint32_t kBackground = 0x00102030;
    static constexpr std::uint32_t kKey = 0x00FF00FF;
    static constexpr long kInvalidRect = DDERR_INVALIDRECT & 0xFFFF;

    // Red 0x80, green the column, blue the row: no two sprite pixels alike, none equal to
    // the background or the key.
    static std::uint32_t spritePixel(int x, int y) {
        return 0x00800000u | static_cast<std::uint32_t>(x) << 8 | static_cast<std::uint32_t>(y);
    }

    // The back surface as it must look after the sprite rectangle (srcX, srcY, w, h) has
    // been copied to (x, y) and nothing else.
    static Picture copied(int x, int y, int w, int h, int srcX, int srcY) {
        return [=](int px, int py) {
            if (px < x || px >= x + w || py < y || py >= y + h) return kBackground;
            return spritePixel(px - x + srcX, py - y + srcY);
        };
    }
    static Picture untouched() {
        return [](int, int) { return kBackground; };
    }

    void SetUp() override {
        window = makeWindow(kWidth, kHeight);
        ASSERT_EQ(dll().ddInit(window, kWidth, kHeight, 0), 1);
        back = dll().ddGetBackSurface();
        ASSERT_NE(back, 0);
        sprite = dll().ddCreateSurface(kSprite, kSprite);
        ASSERT_NE(sprite, 0);
        paint(sprite, spritePixel);
        resetBack();
    }

    void TearDown() override {
        if (sprite) dll().ddReleaseSurface(sprite);
        dll().ddQuit();
        DestroyWindow(window);
    }

    void resetBack() {
        paint(back, [](int, int) { return kBackground; });
    }

    const QuillonDll& d = dll();
    HWND window = nullptr;
    QHANDLE back = 0;
    QHANDLE sprite = 0;
};

} // namespace library_test
