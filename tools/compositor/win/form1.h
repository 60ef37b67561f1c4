// TAMSEL's main window Form1: its state, and the program's facts.
#pragma once

#include <windows.h>

#include <string>

#include "shell/shell.h"
#include "stream_plan.h"

namespace compositor {

inline const shell::ToolInfo kTool = {
    L"Tamsel",
    L"Tamsel",
    {L"TAMSEL.EXE", L"バージョン1.0", L"このプログラムはフリーウェアです。", shell::kCopyright},
    L"バージョン情報",
    L"Tamsel の使い方",
    L"TAMSEL.TXT"};

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser; // Drive1, Dir1, File1 (video), File2 (audio)
    HWND command1 = nullptr;
    HWND option1[4] = {};
    AudioOperation operation = AudioOperation::kAdd;
    bool composing = false; // Command1_Click is running
};

extern Form1 g_form1;

// Message boxes over Form1 are the shell's.
using shell::messageBox;

} // namespace compositor
