// Runs demo.exe as a user would and reads back the screenshot it saves.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> bgr; // rows top to bottom
    COLORREF at(int x, int y) const {
        const unsigned char* p = &bgr[(static_cast<size_t>(y) * width + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
};

bool readBmp(const std::wstring& path, Image& img) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    bool ok = fread(&fh, sizeof fh, 1, f) == 1 && fread(&ih, sizeof ih, 1, f) == 1 &&
              fh.bfType == 0x4D42 && ih.biBitCount == 24 && ih.biHeight > 0;
    if (ok) {
        img.width = ih.biWidth;
        img.height = ih.biHeight;
        size_t stride = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t{3};
        std::vector<unsigned char> row(stride);
        img.bgr.resize(static_cast<size_t>(img.width) * img.height * 3);
        fseek(f, static_cast<long>(fh.bfOffBits), SEEK_SET);
        for (int y = img.height - 1; ok && y >= 0; --y) {
            ok = fread(row.data(), 1, stride, f) == stride;
            std::copy(row.begin(), row.begin() + img.width * 3,
                      img.bgr.begin() + static_cast<size_t>(y) * img.width * 3);
        }
    }
    fclose(f);
    return ok;
}

DWORD runDemo(const std::wstring& args) {
    std::wstring command = L"\"" + programFolder() + L"demo.exe\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return 0xFFFFFFFF;
    DWORD rc = 0xFFFFFFFE;
    if (WaitForSingleObject(pi.hProcess, 90000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &rc);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return rc;
}

} // namespace

TEST(Demo, DrawsTheSceneWithKeyedSpritesAndSavesIt) {
    std::wstring shot = programFolder() + L"demo_test_shot.bmp";
    DeleteFileW(shot.c_str());
    ASSERT_EQ(runDemo(L"\"" + shot + L"\""), 0u);
    Image img;
    ASSERT_TRUE(readBmp(shot, img));
    ASSERT_EQ(img.width, 640);
    ASSERT_EQ(img.height, 480);

    int magenta = 0, skyTop = 0, ground = 0, groundArea = 0, sprite = 0, ball = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            COLORREF c = img.at(x, y);
            if (c == RGB(255, 0, 255)) ++magenta;
            if (y < 10 && c == RGB(0, 0, 128)) ++skyTop;
            if (y >= 320 && y < 440) {
                ++groundArea;
                if (c == RGB(0, 100, 0)) ++ground;
            }
            if (c == RGB(255, 0, 0) || c == RGB(255, 255, 0) || c == RGB(0, 255, 0) ||
                c == RGB(0, 255, 255))
                ++sprite;
            if (c == RGB(255, 128, 0)) ++ball; // the PNG sprite
        }
    // The glow's opaque middle, then its soft edge: a ramp of many colours out to the sky.
    EXPECT_EQ(img.at(572, 62), RGB(255, 240, 160));
    std::set<COLORREF> ramp;
    for (int x = 572 + 9; x < 604; ++x)
        ramp.insert(img.at(x, 62));
    EXPECT_GE(ramp.size(), 12u) << "a hard edge: the glow was not blended";
    // The caption panel darkens the ground under it (160 of 255 black over 0, 100, 0).
    int panel = 0;
    for (int x = 0; x < img.width; ++x)
        for (int y = 446; y < 450; ++y)
            panel += img.at(x, y) == RGB(0, 37, 0);
    EXPECT_GT(panel, img.width * 4 * 8 / 10);
    // The sprites' key colour never reaches the screen; the sprites themselves do.
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(sprite, 12 * 200);
    EXPECT_GT(ball, 200);
    EXPECT_GT(skyTop, 640 * 10 * 8 / 10);
    EXPECT_GT(ground, groundArea * 8 / 10);
    DeleteFileW(shot.c_str());
}

TEST(Demo, AScreenshotThatCannotBeWrittenIsAFailure) {
    EXPECT_EQ(runDemo(L"\"Z:\\no\\such\\folder\\shot.bmp\""), 1u);
}
