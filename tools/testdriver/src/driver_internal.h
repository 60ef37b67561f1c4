// What the driver's files share beyond driver.h.
#pragma once

#include "testdriver/driver.h"

#include <functional>

#include "common/owned.h"

namespace td {

// A message sent with a 5-second limit; its answer, or 0 when none came.
LRESULT ask(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Windows path of a Unix path (/tmp/x -> Z:\tmp\x).
std::wstring windowsPath(const std::string& unixPath);

// Writes the script `body(scriptPath)` to a new file under /tmp and starts /bin/sh on it,
// without waiting. The file is created exclusively, so test runs side by side never share
// one. Returns the script's Unix path, or "" when it could not be written or started.
std::string startUnixScript(const std::function<std::string(const std::string&)>& body);

// The screen's pixels in `area` as a device-independent bitmap of `bitCount` bits a pixel,
// rows top-down, or bottom-up as a .bmp file keeps them: its header and its bits.
struct ScreenCapture {
    BITMAPINFOHEADER header = {};
    std::string bits;
};
ScreenCapture captureScreen(const RECT& area, WORD bitCount, bool bottomUp);

} // namespace td
