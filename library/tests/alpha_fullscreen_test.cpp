// The translucent blits on a full-screen back surface: 16 bits a pixel (the depth small
// games pick for speed) blends by the rule, a palette mode refuses.
#include <gtest/gtest.h>

#include "alpha_test_support.h"

using namespace library_test;

TEST(AlphaFullScreen, SixteenBitBackSurfaceBlendsAndEightBitRefuses) {
    const QuillonDll& d = dll();
    HWND window = makeWindow(640, 480);
    Image image = alphaImage();
    std::vector<BYTE> png = encodePng(image, true);
    for (long bits : {16L, 8L}) {
        SCOPED_TRACE(bits);
        ASSERT_EQ(d.ddSetBitDepth(bits), 1);
        ASSERT_EQ(d.ddInit(window, 640, 480, 1), 1);
        QHANDLE back = d.ddGetBackSurface();
        QHANDLE alpha =
            d.ddCreateAlphaSurfaceFromImageData(png.data(), static_cast<long>(png.size()));
        ASSERT_NE(alpha, 0);
        DDPIXELFORMAT pf = formatOf(back);
        ASSERT_EQ(pf.dwRGBBitCount, static_cast<DWORD>(bits));
        const std::uint32_t mask = (1u << bits) - 1;
        paint(back, [mask](int x, int y) { return destPattern(x, y) & mask; });
        std::vector<std::uint32_t> before = snapshot(back);
        const long drawn = d.ddSafeAlphaBlt(0, 600, 470, 256, 3, 0, 0, alpha, 0, 0, 0, 0, 180);
        std::vector<std::uint32_t> after = snapshot(back);
        if (bits == 8) {
            EXPECT_EQ(drawn, 0);
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(drawn, 1) << d.ddError();
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x) {
                    const std::size_t i = std::size_t(y * 640 + x);
                    if (x < 600 || y < 470 || y >= 473) {
                        ASSERT_EQ(after[i], before[i]) << x << "," << y;
                        continue;
                    }
                    const std::uint32_t s = image.at(x - 600, y - 470);
                    ASSERT_TRUE(followsRule({int(s >> 16 & 255), int(s >> 8 & 255), int(s & 255)},
                                            before[i], (s >> 24) * 180 / 255.0, after[i], pf))
                        << x << "," << y;
                }
        }
        d.ddReleaseSurface(alpha);
        d.ddQuit();
    }
    DestroyWindow(window);
}
