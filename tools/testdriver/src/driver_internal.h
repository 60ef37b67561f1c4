// What the driver's files share beyond driver.h.
#pragma once

#include "testdriver/driver.h"

namespace td {

// A message sent with a 5-second limit; its answer, or 0 when none came.
LRESULT Ask(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace td
