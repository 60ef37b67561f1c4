// Shared between the shell's own sources.
#pragma once

#include <windows.h>

namespace shell {

// The control a label's access key focuses (null: the next one in tab order).
HWND labelTarget(HWND label);
// True for windows created by CreateLabel.
bool isShellLabel(HWND hwnd);
// Counts a top-level window open; FormClosed ends the loop with the last.
void formOpened();
// True while a BusyCursor lives.
bool busy();

} // namespace shell
