// The restore-and-retry of the copies and fills: destination restored first, then the
// source, the same call made exactly once more and its answer recorded. The surfaces report
// the loss through a proxy in front of real ones (Wine's Blt never reports it).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pixel_access.h"
#include "quillon_dll.h"
#include "surface_proxy.h"

using library_test::SurfaceProxy;
using Log = std::vector<std::string>;

namespace {

constexpr long kLost = DDERR_SURFACELOST & 0xFFFF; // 450
constexpr std::uint32_t kBackground = 0x00102030;

std::uint32_t spritePixel(int x, int y) {
    return 0x00800000u | static_cast<std::uint32_t>(x) << 8 | static_cast<std::uint32_t>(y);
}

class RetryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = library_test::makeWindow(160, 120);
        ASSERT_EQ(d.ddInit(window, 160, 120, 0), 1);
        realTarget = d.ddCreateSurface(64, 64);
        realSprite = d.ddCreateSurface(32, 32);
        ASSERT_NE(realTarget, 0);
        ASSERT_NE(realSprite, 0);
        library_test::paint(realTarget, [](int, int) { return kBackground; });
        library_test::paint(realSprite, spritePixel);
        dest = new SurfaceProxy(library_test::surfaceOf(realTarget), "dest", log);
        src = new SurfaceProxy(library_test::surfaceOf(realSprite), "src", log);
    }
    void TearDown() override {
        delete dest;
        delete src;
        d.ddReleaseSurface(realTarget);
        d.ddReleaseSurface(realSprite);
        d.ddQuit();
        DestroyWindow(window);
    }

    // The target must hold the whole sprite at (x, y).
    ::testing::AssertionResult spriteAt(int x0, int y0) {
        return library_test::pixelsAre(realTarget, [=](int x, int y) {
            if (x < x0 || x >= x0 + 32 || y < y0 || y >= y0 + 32) return kBackground;
            return spritePixel(x - x0, y - y0);
        });
    }

    const library_test::QuillonDll& d = library_test::dll();
    HWND window = nullptr;
    QHANDLE realTarget = 0, realSprite = 0;
    SurfaceProxy* dest = nullptr;
    SurfaceProxy* src = nullptr;
    Log log;
};

struct Copy {
    const char* name;
    const char* call; // the driver call the export makes
    std::function<long(QHANDLE dest, QHANDLE src)> run;
};

std::vector<Copy> everyCopy(const library_test::QuillonDll& d) {
    static RECT destRect = {8, 8, 40, 40}, srcRect = {0, 0, 32, 32};
    return {
        {"ddBlt", "Blt",
         [&](QHANDLE t, QHANDLE s) { return d.ddBlt(t, &destRect, s, &srcRect, 0); }},
        {"ddBitBlt", "Blt",
         [&](QHANDLE t, QHANDLE s) { return d.ddBitBlt(t, 8, 8, 32, 32, s, 0, 0, 0); }},
        {"ddSafeBitBlt", "Blt",
         [&](QHANDLE t, QHANDLE s) {
             return d.ddSafeBitBlt(t, 8, 8, 32, 32, 64, 64, s, 0, 0, 32, 32, 0);
         }},
        {"ddStretchBlt", "Blt",
         [&](QHANDLE t, QHANDLE s) { return d.ddStretchBlt(t, 8, 8, 32, 32, s, 0, 0, 32, 32, 0); }},
        {"ddBltFX", "Blt",
         [&](QHANDLE t, QHANDLE s) {
             return d.ddBltFX(t, 8, 8, 32, 32, s, 0, 0, 32, 32, 0x00CC0020, 0);
         }},
        {"ddBltFast", "BltFast",
         [&](QHANDLE t, QHANDLE s) { return d.ddBltFast(t, 8, 8, 32, 32, s, 0, 0, 0); }},
        {"ddSafeBltFast", "BltFast",
         [&](QHANDLE t, QHANDLE s) {
             return d.ddSafeBltFast(t, 8, 8, 32, 32, 64, 64, s, 0, 0, 32, 32, 0);
         }},
    };
}

} // namespace

TEST_F(RetryTest, ALostCopyRestoresDestinationThenSourceAndSucceedsOnTheSecondCall) {
    for (const Copy& c : everyCopy(d)) {
        SCOPED_TRACE(c.name);
        log.clear();
        library_test::paint(realTarget, [](int, int) { return kBackground; });
        (std::string(c.call) == "Blt" ? dest->blt : dest->bltFast).push_back(DDERR_SURFACELOST);
        EXPECT_EQ(c.run(dest->handle(), src->handle()), 1);
        EXPECT_EQ(d.ddError(), 0);
        const std::string call = std::string(c.call) + " dest";
        EXPECT_EQ(log, (Log{call, "Restore dest", "Restore src", call}));
        EXPECT_TRUE(spriteAt(8, 8));
    }
}

TEST_F(RetryTest, ACopyLostAgainFailsAfterOneRetry) {
    for (const Copy& c : everyCopy(d)) {
        SCOPED_TRACE(c.name);
        log.clear();
        auto& answers = std::string(c.call) == "Blt" ? dest->blt : dest->bltFast;
        answers = {DDERR_SURFACELOST, DDERR_SURFACELOST, DDERR_SURFACELOST};
        EXPECT_EQ(c.run(dest->handle(), src->handle()), 0);
        EXPECT_EQ(d.ddError(), kLost);
        const std::string call = std::string(c.call) + " dest";
        EXPECT_EQ(log, (Log{call, "Restore dest", "Restore src", call}));
        answers.clear();
    }
}

TEST_F(RetryTest, OtherRefusalsAreNotRetried) {
    dest->blt.push_back(DDERR_GENERIC);
    EXPECT_EQ(d.ddBitBlt(dest->handle(), 8, 8, 32, 32, src->handle(), 0, 0, 0), 0);
    EXPECT_EQ(d.ddError(), DDERR_GENERIC & 0xFFFF);
    EXPECT_EQ(log, (Log{"Blt dest"}));
}

TEST_F(RetryTest, ALostFillRestoresItsOneSurface) {
    const std::vector<std::pair<const char*, std::function<long()>>> fills = {
        {"ddFillBlt", [&] { return d.ddFillBlt(dest->handle(), 0, 0, 64, 64, 0x00AA00); }},
        {"ddSafeFillBlt",
         [&] { return d.ddSafeFillBlt(dest->handle(), -8, -8, 80, 80, 64, 64, 0x00AA00); }},
        {"ddClear", [&] { return d.ddClear(dest->handle(), 0x00AA00); }},
    };
    for (const auto& [name, fill] : fills) {
        SCOPED_TRACE(name);
        log.clear();
        library_test::paint(realTarget, [](int, int) { return kBackground; });
        dest->blt.push_back(DDERR_SURFACELOST);
        EXPECT_EQ(fill(), 1);
        EXPECT_EQ(d.ddError(), 0);
        EXPECT_EQ(log, (Log{"Blt dest", "Restore dest", "Blt dest"}));
        EXPECT_TRUE(library_test::pixelsAre(realTarget, [](int, int) { return 0x00AA00u; }));
    }
}

TEST_F(RetryTest, ALostLockOfATranslucentBlitRestoresBothAndBlendsOnTheSecondTry) {
    // A fade at 255 copies, so the sprite must land whole; either surface may report the loss.
    for (SurfaceProxy* lost : {dest, src}) {
        SCOPED_TRACE(lost == dest ? "dest" : "src");
        log.clear();
        library_test::paint(realTarget, [](int, int) { return kBackground; });
        lost->lock.push_back(DDERR_SURFACELOST);
        EXPECT_EQ(d.ddAlphaBlt(dest->handle(), 8, 8, 32, 32, src->handle(), 0, 0, 255), 1);
        EXPECT_EQ(d.ddError(), 0);
        // The fade asks the source for its key first.
        Log want = {"GetColorKey src", "Lock dest", "Lock src"};
        if (lost == dest) want.pop_back();
        for (const char* call : {"Restore dest", "Restore src", "Lock dest", "Lock src"})
            want.push_back(call);
        EXPECT_EQ(log, want);
        EXPECT_TRUE(spriteAt(8, 8));
    }
    // Lost again: 0, the loss recorded, nothing drawn, no third try.
    log.clear();
    library_test::paint(realTarget, [](int, int) { return kBackground; });
    dest->lock = {DDERR_SURFACELOST, DDERR_SURFACELOST, DDERR_SURFACELOST};
    EXPECT_EQ(d.ddSafeAlphaBlt(dest->handle(), 8, 8, 32, 32, 0, 0, src->handle(), 0, 0, 0, 0, 255),
              0);
    EXPECT_EQ(d.ddError(), kLost);
    EXPECT_EQ(log,
              (Log{"GetColorKey src", "Lock dest", "Restore dest", "Restore src", "Lock dest"}));
    EXPECT_TRUE(library_test::pixelsAre(realTarget, [](int, int) { return kBackground; }));
}
