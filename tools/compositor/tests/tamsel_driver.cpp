#include "tamsel_driver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "form1_ids.h"

namespace driver {

std::wstring bin_folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::wstring utf16(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    if (n) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

std::string utf8(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    if (n)
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr,
                            nullptr);
    return out;
}

std::string unix_path(const std::wstring& windows_path) {
    std::string p = utf8(windows_path);
    if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p = p.substr(2);
    for (auto& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string read_file(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string sh(const std::string& command) {
    static int counter = 0;
    std::wstring base = bin_folder() + L"sh_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                        std::to_wstring(++counter);
    std::wstring out = base + L".out", script = base + L".sh", done = base + L".done";
    {
        std::ofstream s(script.c_str(), std::ios::binary);
        s << "{ " << command << "\n} > '" << unix_path(out) << "' 2>&1\ntouch '" << unix_path(done)
          << "'\n";
    }
    std::string line = "/bin/sh " + unix_path(script);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return "cannot start /bin/sh";
    // The exit code of a Unix process does not come back: wait for its marker file.
    for (int i = 0; i < 1200 && !exists(done); ++i)
        Sleep(50);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text = read_file(out);
    DeleteFileW(out.c_str());
    DeleteFileW(script.c_str());
    DeleteFileW(done.c_str());
    return text;
}

void screenshot(const std::string& name) {
    const char* shots = std::getenv("QUILLON_SHOTS");
    if (!shots || !*shots) return;
    sh("xwd -root -display \"$DISPLAY\" | convert xwd:- '" + std::string(shots) + "/" + name +
       ".png'");
}

namespace {

struct Search {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid == s->pid && IsWindowVisible(hwnd) && lstrcmpW(cls, s->cls) == 0)
        s->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> windows_of(DWORD pid, const wchar_t* cls) {
    Search s{pid, cls, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

} // namespace

std::vector<HWND> dialogs_of(DWORD pid) {
    return windows_of(pid, L"#32770");
}

App::App(const std::wstring& exe, const std::wstring& folder) {
    std::wstring line = L"\"" + bin_folder() + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi_))
        return;
    WaitForInputIdle(pi_.hProcess, 10000);
    for (int i = 0; i < 200 && !form1_; ++i) {
        auto found = windows_of(pi_.dwProcessId, L"TamselForm1");
        if (!found.empty())
            form1_ = found[0];
        else
            Sleep(50);
    }
}

App::~App() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

void App::select(int list_id, const std::wstring& name) {
    HWND list = control(list_id);
    LRESULT index = name.empty() ? -1
                                 : SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(form1_, WM_COMMAND, MAKEWPARAM(list_id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void App::click(int id) {
    PostMessageW(control(id), BM_CLICK, 0, 0);
}

std::wstring App::caption(HWND hwnd) const {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

HWND App::wait_dialog(DWORD ms, HWND except) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        for (HWND d : dialogs_of(pi_.dwProcessId))
            if (d != except) return d;
        Sleep(50);
    }
    return nullptr;
}

std::wstring App::message_text(HWND box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

void App::press(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void App::wait_closed(HWND dialog) {
    for (int i = 0; i < 200 && IsWindow(dialog); ++i)
        Sleep(50);
    DWORD_PTR result;
    SendMessageTimeoutW(form1_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    Sleep(200);
    SendMessageTimeoutW(form1_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
}

void App::answer_input(const std::wstring& text, bool cancel) {
    HWND box = wait_dialog();
    if (!box) return;
    SendMessageW(GetDlgItem(box, IDC_INPUT_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    press(box, cancel ? IDCANCEL : IDOK);
    for (int i = 0; i < 200 && IsWindow(box); ++i)
        Sleep(50);
}

bool App::close() {
    PostMessageW(form1_, WM_CLOSE, 0, 0);
    return WaitForSingleObject(pi_.hProcess, 10000) == WAIT_OBJECT_0;
}

} // namespace driver
