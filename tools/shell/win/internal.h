// Shared between the shell's own sources.
#pragma once

#include <windows.h>

namespace shell {

// The control a label's access key focuses (null: the next one in tab order).
HWND labelTarget(HWND label);
// True for windows created by createLabel.
bool isShellLabel(HWND hwnd);
// Counts a top-level window open; formClosed ends the loop with the last.
void formOpened();
// The form runMainForm created; null before.
HWND mainForm();
// True while a BusyCursor lives.
bool busy();
// Registers the class of one of the program's top-level windows: `proc`, the arrow cursor,
// the button-face background and the program's icon.
void registerFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc);
// Colours a read-only edit control white like a text box; the brush to return from
// WM_CTLCOLORSTATIC.
HBRUSH textBoxBackground(HDC dc);

} // namespace shell
