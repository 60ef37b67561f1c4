// The programs' command lines: arguments, wildcard expansion and the output of result lines.
#include "shell/command_line.h"

#include "shell/shell.h"

#include "common/owned.h"

#include <shellapi.h>

#include <algorithm>

namespace shell {

std::vector<std::wstring> commandArguments() {
    int count = 0;
    common::LocalMemory<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::wstring> args;
    if (!argv) return args;
    for (int i = 1; i < count; ++i)
        args.emplace_back(argv.get()[i]);
    return args;
}

namespace {

wchar_t upperSystem(wchar_t c) {
    CharUpperBuffW(&c, 1);
    return c;
}

} // namespace

std::vector<std::wstring> matchingFiles(const std::wstring& pattern, DWORD& error) {
    std::vector<std::wstring> names;
    const std::wstring wildcard = splitFileArgument(pattern).name;
    WIN32_FIND_DATAW found;
    common::FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
        error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) error = 0;
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            matchesWildcard(wildcard, found.cFileName, upperSystem))
            names.emplace_back(found.cFileName);
    } while (FindNextFileW(search.get(), &found));
    error = GetLastError();
    if (error == ERROR_NO_MORE_FILES) error = 0;
    if (error) names.clear();
    // Name order as a folder listing gives it: letters compared in upper case, then as they are.
    std::vector<std::pair<std::wstring, std::wstring>> keyed;
    for (std::wstring& name : names) {
        std::wstring upper = name;
        if (!upper.empty()) CharUpperBuffW(&upper[0], DWORD(upper.size()));
        keyed.emplace_back(std::move(upper), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& k : keyed)
        names.push_back(std::move(k.second));
    return names;
}

std::wstring fullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

namespace {

bool isConsole(HANDLE h) {
    DWORD mode;
    return h && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

common::UniqueFile openConsoleOutput() {
    common::UniqueFile console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (!isConsole(console.get())) console.reset();
    return console;
}

// False for a service's or a scheduled task's window station, which no user sees: a box
// there could never be closed, and the run would never end. Unknown counts as unseen.
bool windowStationVisible() {
    USEROBJECTFLAGS flags = {};
    HWINSTA station = GetProcessWindowStation();
    return station &&
           GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE);
}

} // namespace

CommandOutput::CommandOutput(std::wstring title) : title_(std::move(title)) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (isConsole(out)) {
        channel_ = Channel::kConsole;
        handle_ = out;
    } else if (out && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
        channel_ = Channel::kFile;
        handle_ = out;
    } else if ((console_ = openConsoleOutput()) ||
               (AttachConsole(ATTACH_PARENT_PROCESS) && (console_ = openConsoleOutput()))) {
        channel_ = Channel::kConsole;
        handle_ = console_.get();
    }
}

CommandOutput::~CommandOutput() {
    if (!finished_) finish(kExitDone);
}

void CommandOutput::line(const std::wstring& text) {
    const std::wstring whole = text + L"\r\n";
    DWORD written = 0;
    switch (channel_) {
    case Channel::kFile: {
        // Characters the code page lacks become its nearest or default character.
        std::string bytes;
        toAnsi(whole, bytes, AnsiMode::kBestFit);
        WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        break;
    }
    case Channel::kConsole:
        WriteConsoleW(handle_, whole.data(), DWORD(whole.size()), &written, nullptr);
        break;
    case Channel::kBox:
        kept_.push_back(text);
        break;
    }
}

int CommandOutput::finish(int status) {
    if (finished_) return status;
    finished_ = true;
    if (channel_ != Channel::kBox || kept_.empty() || !windowStationVisible()) return status;
    std::wstring text;
    for (size_t i = 0; i < kept_.size(); ++i)
        text += (i ? L"\r" : L"") + kept_[i];
    // No window of ours is in front: the box comes forward itself.
    MessageBoxW(nullptr, text.c_str(), title_.c_str(),
                MB_OK | MB_SETFOREGROUND | (status == kExitDone ? 0 : MB_ICONEXCLAMATION));
    return status;
}

} // namespace shell
