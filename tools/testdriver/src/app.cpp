// The program under test: started directly or through a Unix command line, its windows
// found by caption, closed when the test is done.

#include "driver_internal.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

namespace td {

DWORD Patience(DWORD ms) {
    static const DWORD scale = [] {
        wchar_t text[16] = L"";
        DWORD n = GetEnvironmentVariableW(L"QUILLON_WAIT_SCALE", text, 16);
        long value = n > 0 && n < 16 ? wcstol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : 1u;
    }();
    return ms * scale;
}

namespace {

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
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
        exe.find_first_of(L"\\/") == std::wstring::npos ? Join(ExeFolder(), exe) : exe;
    std::wstring line = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (env.empty() && unixSetup.empty()) {
        if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
            WaitForInputIdle(pi_.hProcess, Patience(10000));
        return;
    }
    std::wstring exeName = path.substr(path.find_last_of(L"\\/") + 1);
    std::vector<DWORD> before = ProcessesNamed(exeName);
    std::string assignments;
    for (const auto& v : env)
        assignments += "'" + Narrow(v) + "' ";
    std::string command = "cd '" + UnixPath(folder.empty() ? ExeFolder() : folder) + "' && " +
                          (unixSetup.empty() ? "" : unixSetup + " && ") + "exec env " +
                          assignments + "wine '" + UnixPath(path) + "'" +
                          (args.empty() ? "" : " " + Narrow(args));
    // The script removes itself as it starts.
    StartUnixScript(
        [&](const std::string& script) { return "rm -f '" + script + "'\n" + command + "\n"; });
    DWORD pid = 0;
    WaitFor(
        [&] {
            for (DWORD p : ProcessesNamed(exeName))
                if (std::find(before.begin(), before.end(), p) == before.end()) pid = p;
            return pid != 0;
        },
        15000);
    if (!pid) return;
    pi_.dwProcessId = pid;
    pi_.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (pi_.hProcess) WaitForInputIdle(pi_.hProcess, Patience(10000));
}

App::~App() {
    if (!pi_.hProcess) return;
    if (Running()) {
        for (HWND w : TopWindows())
            PostMessageW(w, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi_.hProcess, 3000) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 3000);
        }
    }
    if (pi_.hThread) CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool App::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::WaitExit(DWORD timeoutMs, DWORD* code) {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, Patience(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    if (code) GetExitCodeProcess(pi_.hProcess, code);
    return true;
}

namespace {

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

} // namespace

std::vector<HWND> App::TopWindows() const {
    WindowSearch search = {pi_.dwProcessId, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND App::FindWindowByCaption(const std::wstring& caption, const wchar_t* cls) const {
    for (HWND w : TopWindows()) {
        if (Text(w) != caption) continue;
        if (cls && ClassOf(w) != cls) continue;
        return w;
    }
    return nullptr;
}

HWND App::WaitWindow(const std::wstring& caption, DWORD timeoutMs, const wchar_t* cls) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowByCaption(caption, cls)) != nullptr; }, timeoutMs);
    // The caption is there from the window's creation on: let its creation and whatever the
    // program queued meanwhile finish, or a late list refresh can drop a test's first click.
    if (found) Sync(found);
    return found;
}

HWND App::WaitMessageBox(DWORD timeoutMs, HWND except) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopWindows())
                if (w != except && ClassOf(w) == L"#32770") return (found = w) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

bool App::NoMessageBox(DWORD waitMs) const {
    Sleep(Patience(waitMs));
    for (HWND w : TopWindows())
        if (ClassOf(w) == L"#32770") return false;
    return true;
}

} // namespace td
