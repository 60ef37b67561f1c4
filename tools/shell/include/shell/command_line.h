// A program's command line on Windows: its arguments, the files a wildcard names, and where
// the result lines go when no window is shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "command_line_rules.h"
#include "common/owned.h"

namespace shell {

// The arguments after the program's name, split as CommandLineToArgvW splits them.
std::vector<std::wstring> commandArguments();

// The names (without folder) of the files, not folders, whose long names match a wildcard
// argument in its folder (matchesWildcard), in name order (upper-cased, then as they are);
// none when nothing does. `error` is 0 then, or the system's code when the folder could not
// be searched (missing, access denied, a name too long).
std::vector<std::wstring> matchingFiles(const std::wstring& pattern, DWORD& error);

// The path made whole from the current folder (and a drive's current folder); the path as it
// is when that fails.
std::wstring fullPath(const std::wstring& path);

// The identity of an existing file or folder; false when there is none.
bool fileKey(const std::wstring& path, FileKey& key);

// Where the result lines of a run go, chosen once when it is made, first that applies:
// 1. standard output when it is a valid handle that is no console (a pipe, a file), with
//    WriteFile in the ANSI code page;
// 2. the process's console, with WriteConsoleW (Japanese shows whatever the console's
//    code page);
// 3. the parent's console, after AttachConsole(ATTACH_PARENT_PROCESS), with WriteConsoleW;
// 4. none (a file dropped on the program): the lines are kept and finish() shows them in
//    one message box, when the process's window station is visible; in a service's or a
//    scheduled task's, which nobody sees, they are dropped and the run just ends.
class CommandOutput {
  public:
    explicit CommandOutput(std::wstring title); // the message box's caption
    ~CommandOutput();
    CommandOutput(const CommandOutput&) = delete;
    CommandOutput& operator=(const CommandOutput&) = delete;

    void line(const std::wstring& text);
    // Ends the run's output: with no console, the message box of every line, with the
    // warning icon unless `status` is kExitDone. Returns `status`.
    int finish(int status);

  private:
    enum class Channel { kFile, kConsole, kBox };
    Channel channel_ = Channel::kBox;
    HANDLE handle_ = nullptr;    // where the lines go
    common::UniqueFile console_; // the console output opened for them, if any
    bool finished_ = false;
    std::wstring title_;
    std::vector<std::wstring> kept_;
};

} // namespace shell
