// The program under test: started directly or through a Unix command line, its windows
// found by caption, closed when the test is done.

#include "driver_internal.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

namespace td {

DWORD patience(DWORD ms) {
    static const DWORD scale = [] {
        wchar_t text[16] = L"";
        DWORD n = GetEnvironmentVariableW(L"QUILLON_WAIT_SCALE", text, 16);
        long value = n > 0 && n < 16 ? wcstol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : 1u;
    }();
    return ms * scale;
}

namespace {

std::vector<DWORD> processesNamed(const std::wstring& exeName) {
    std::vector<DWORD> pids;
    common::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return pids;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snapshot.get(), &pe); ok;
         ok = Process32NextW(snapshot.get(), &pe))
        if (lstrcmpiW(pe.szExeFile, exeName.c_str()) == 0) pids.push_back(pe.th32ProcessID);
    return pids;
}

} // namespace

App::App(const std::wstring& exe, const std::wstring& folder, const std::vector<std::wstring>& env,
         const std::string& unixSetup, const std::wstring& args, DWORD creationFlags) {
    std::wstring path =
        exe.find_first_of(L"\\/") == std::wstring::npos ? join(exeFolder(), exe) : exe;
    std::wstring line = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (env.empty() && unixSetup.empty()) {
        if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
            WaitForInputIdle(pi_.hProcess, patience(10000));
        return;
    }
    std::wstring exeName = path.substr(path.find_last_of(L"\\/") + 1);
    std::vector<DWORD> before = processesNamed(exeName);
    std::string assignments;
    for (const auto& v : env)
        assignments += "'" + narrow(v) + "' ";
    std::string command = "cd '" + unixPath(folder.empty() ? exeFolder() : folder) + "' && " +
                          (unixSetup.empty() ? "" : unixSetup + " && ") + "exec env " +
                          assignments + "wine '" + unixPath(path) + "'" +
                          (args.empty() ? "" : " " + narrow(args));
    // The script removes itself as it starts.
    startUnixScript(
        [&](const std::string& script) { return "rm -f '" + script + "'\n" + command + "\n"; });
    DWORD pid = 0;
    waitFor(
        [&] {
            for (DWORD p : processesNamed(exeName))
                if (std::find(before.begin(), before.end(), p) == before.end()) pid = p;
            return pid != 0;
        },
        15000);
    if (!pid) return;
    pi_.dwProcessId = pid;
    pi_.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (pi_.hProcess) WaitForInputIdle(pi_.hProcess, patience(10000));
}

App::~App() {
    if (!pi_.hProcess) return;
    if (running()) {
        for (HWND w : topWindows())
            PostMessageW(w, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi_.hProcess, 3000) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 3000);
        }
    }
    if (pi_.hThread) CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool App::running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::waitExit(DWORD timeoutMs, DWORD* code) {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, patience(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    if (code) GetExitCodeProcess(pi_.hProcess, code);
    return true;
}

namespace {

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindows(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

} // namespace

std::vector<HWND> App::topWindows() const {
    WindowSearch search = {pi_.dwProcessId, {}};
    EnumWindows(collectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND App::findWindowByCaption(const std::wstring& caption, const wchar_t* cls) const {
    for (HWND w : topWindows()) {
        if (text(w) != caption) continue;
        if (cls && classOf(w) != cls) continue;
        return w;
    }
    return nullptr;
}

HWND App::waitWindow(const std::wstring& caption, DWORD timeoutMs, const wchar_t* cls) const {
    HWND found = nullptr;
    waitFor([&] { return (found = findWindowByCaption(caption, cls)) != nullptr; }, timeoutMs);
    // The caption is there from the window's creation on: let its creation and whatever the
    // program queued meanwhile finish, or a late list refresh can drop a test's first click.
    if (found) sync(found);
    return found;
}

HWND App::waitMessageBox(DWORD timeoutMs, HWND except) const {
    HWND found = nullptr;
    waitFor(
        [&] {
            for (HWND w : topWindows())
                if (w != except && classOf(w) == L"#32770") return (found = w) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

bool App::noMessageBox(DWORD waitMs) const {
    Sleep(patience(waitMs));
    for (HWND w : topWindows())
        if (classOf(w) == L"#32770") return false;
    return true;
}

} // namespace td
