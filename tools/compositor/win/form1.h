// Tamsel's main window Form1 and what its handlers share.
#pragma once

#include <windows.h>

#include <string>

#include "stream_plan.h"

extern const wchar_t kAppTitle[];

struct Form1 {
    HWND hwnd = nullptr;
    HWND drive1 = nullptr, dir1 = nullptr, file1 = nullptr, file2 = nullptr;
    HWND command1 = nullptr;
    HWND option1[4] = {};
    std::wstring folder; // the folder shown by Dir1
    tamsel::AudioOperation operation = tamsel::AudioOperation::Add;
    bool busy = false; // hourglass while the save runs
};

extern Form1 g_form1;

HWND create_form1(HINSTANCE instance);

// The selected entry of a file list, or an empty text when nothing is selected.
std::wstring selected_file(HWND list);

// Message box with the application title; `icon` is MB_ICONEXCLAMATION, MB_ICONINFORMATION or 0.
void message_box(const std::wstring& text, UINT icon);

// Command1_Click: the compression run.
void Command1_Click();

// Modal input box: returns the typed text, empty when cancelled.
std::wstring input_box(HWND owner, const std::wstring& prompt, const std::wstring& title);

void show_help(HWND owner, const std::wstring& caption, const std::wstring& file_name);
