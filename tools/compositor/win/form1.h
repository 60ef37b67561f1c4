// Tamsel's main window Form1 and what its handlers share.
#pragma once

#include <windows.h>

#include <string>

#include "shell/shell.h"
#include "stream_plan.h"

namespace compositor {

extern const wchar_t kAppTitle[];

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser; // Drive1, Dir1, File1 (video), File2 (audio)
    HWND command1 = nullptr;
    HWND option1[4] = {};
    compositor::AudioOperation operation = compositor::AudioOperation::Add;
    bool busy = false;      // hourglass while the save runs
    bool composing = false; // Command1_Click is running
};

extern Form1 g_form1;

// Message box with the application title; `icon` is MB_ICONEXCLAMATION, MB_ICONINFORMATION or 0.
void messageBox(const std::wstring& text, UINT icon);

// Command1_Click: the compression run.
void Command1_Click();

} // namespace compositor
