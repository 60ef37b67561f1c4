// Drives TAMSEL.EXE from outside, the way a user would: window messages only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// Folder of the running test program, ending in "\".
std::wstring bin_folder();
// "Z:\a\b" -> "/a/b".
std::string unix_path(const std::wstring& windows_path);
std::wstring utf16(const std::string& s);
std::string utf8(const std::wstring& s);

// Runs a shell command line through /bin/sh and returns what it printed (stdout+stderr).
std::string sh(const std::string& command);
std::string read_file(const std::wstring& path);
bool exists(const std::wstring& path);
void screenshot(const std::string& name);

std::vector<HWND> dialogs_of(DWORD pid); // visible #32770 windows

class App {
  public:
    // Starts `exe` (a name in the bin folder) in `folder`; waits for Form1.
    App(const std::wstring& exe, const std::wstring& folder);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND form1() const { return form1_; }
    HWND control(int id) const { return GetDlgItem(form1_, id); }
    DWORD pid() const { return pi_.dwProcessId; }

    void select(int list_id, const std::wstring& name); // empty name: no selection
    void click(int id);
    std::wstring caption(HWND hwnd) const;
    // Waits for a new dialog of the program (other than `except`); nullptr on timeout.
    HWND wait_dialog(DWORD ms = 10000, HWND except = nullptr);
    // Text of a message box, or empty when `box` is not one.
    static std::wstring message_text(HWND box);
    void press(HWND dialog, int id);
    // Waits until the window is gone and the main window answers again.
    void wait_closed(HWND dialog);
    // Answers the input box with `text`, or cancels it when `cancel`.
    void answer_input(const std::wstring& text, bool cancel = false);
    // Closes the program; true when it ended by itself.
    bool close();

  private:
    PROCESS_INFORMATION pi_{};
    HWND form1_ = nullptr;
};

} // namespace driver
