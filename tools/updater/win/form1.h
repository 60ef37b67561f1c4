// KESTROM's main window Form1: its state, and the program's facts.
#pragma once

#include <windows.h>

#include <string>

#include "shell/shell.h"

namespace updater {

inline const shell::ToolInfo kTool = {L"Kestrom",
                                      L"Kestrom - Project file converter",
                                      {L"KESTROM.EXE", L"バージョン1.0", shell::kCopyright},
                                      L"Kestrom",
                                      L"KESTROMの使い方",
                                      L"KESTROM.TXT"};

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser;            // Drive1, Dir1, File1 (the projects)
    HWND text1 = nullptr, text2 = nullptr; // the project as read, and upgraded
    HWND text3 = nullptr, text4 = nullptr; // the save name, and its suffix
    HWND command1 = nullptr;
    bool upgraded = false; // Text2 holds a converted project (not the notice)
};

extern Form1 g_form1;

// Message boxes over Form1 are the shell's.
using shell::messageBox;

} // namespace updater
