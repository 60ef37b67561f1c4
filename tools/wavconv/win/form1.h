// PURNIX's main window Form1: its state, and the program's facts.
#pragma once

#include <windows.h>

#include <string>

#include "shell/shell.h"

namespace wavconv {

inline const shell::ToolInfo kTool = {
    L"Purnix",
    L"Purnix",
    {L"PURNIX.EXE", L"バージョン1.0", L"このプログラムはフリーウェアです。", shell::kCopyright},
    L"ﾊﾞｰｼﾞｮﾝ情報",
    L"Purnix の使い方",
    L"PURNIX.TXT"};

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser; // Drive1, Dir1, File1 (the WAV files)
    HWND text1 = nullptr;       // File1's pattern
    HWND text3 = nullptr;       // the stream name
    HWND command1 = nullptr;
};

extern Form1 g_form1;

// Message boxes over Form1 are the shell's.
using shell::messageBox;

} // namespace wavconv
