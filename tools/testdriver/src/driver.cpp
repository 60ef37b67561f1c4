#include "testdriver/driver.h"

#include <tlhelp32.h>
#include <winioctl.h>

#include <cstring>

#include <algorithm>

namespace td {

// ---- files and folders ---------------------------------------------------------------------

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/"));
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L"\\" + name;
}

std::wstring MakeTempFolder(const std::wstring& prefix) {
    static int counter = 0;
    // Under Z: (the Unix root) so Unix checkers see the same files by a plain path.
    for (;;) {
        std::wstring folder = L"Z:\\tmp\\" + prefix + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return L"";
    }
}

void RemoveTree(const std::wstring& folder) {
    if (folder.size() < 8) return; // never a drive or a short system path
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Join(folder, L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = Join(folder, name);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    bool ok = bytes.empty() || (WriteFile(f, bytes.data(), DWORD(bytes.size()), &done, nullptr) &&
                                done == bytes.size());
    CloseHandle(f);
    return ok;
}

bool ReadBytes(const std::wstring& path, std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(f, &size) != 0;
    if (ok) {
        bytes.assign(size_t(size.QuadPart), '\0');
        DWORD got = 0;
        ok = bytes.empty() ||
             (ReadFile(f, &bytes[0], DWORD(bytes.size()), &got, nullptr) && got == bytes.size());
    }
    CloseHandle(f);
    return ok;
}

bool CopyBeside(const std::wstring& name, const std::wstring& folder) {
    return CopyFileW(Join(ExeFolder(), name).c_str(), Join(folder, name).c_str(), FALSE) != 0;
}

std::string Narrow(const std::wstring& s, UINT codePage) {
    if (s.empty()) return "";
    int n = WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& s, UINT codePage) {
    if (s.empty()) return L"";
    int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), &out[0], n);
    return out;
}

std::string UnixPath(const std::wstring& windowsPath) {
    std::wstring p = windowsPath;
    if (p.size() >= 2 && (p[0] == L'Z' || p[0] == L'z') && p[1] == L':') p = p.substr(2);
    std::replace(p.begin(), p.end(), L'\\', L'/');
    return Narrow(p);
}

int RunUnix(const std::string& command, std::string* output, DWORD timeoutMs) {
    // The exit code of a Unix process does not come back through Wine: the script records
    // it in a file that we wait for.
    static int counter = 0;
    std::string base =
        "/tmp/td-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    std::wstring wbase = L"Z:" + Widen(base);
    std::replace(wbase.begin(), wbase.end(), L'/', L'\\');
    std::string script = "( " + command + " ) > " + base + ".out 2>&1\necho $? > " + base +
                         ".rc.tmp\nmv " + base + ".rc.tmp " + base + ".rc\n";
    if (!WriteBytes(wbase + L".sh", script)) return -1;
    std::string line = "/bin/sh " + base + ".sh";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string rc;
    bool done = WaitFor([&] { return ReadBytes(wbase + L".rc", rc) && !rc.empty(); }, timeoutMs);
    if (output) {
        output->clear();
        ReadBytes(wbase + L".out", *output);
    }
    DeleteFileW((wbase + L".sh").c_str());
    DeleteFileW((wbase + L".out").c_str());
    DeleteFileW((wbase + L".rc").c_str());
    return done ? atoi(rc.c_str()) : -1;
}

namespace {

// Wine's mount manager request that defines or (with no mount point) removes a drive.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
const DWORD kDefineUnixDrive =
    CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool DefineUnixDrive(wchar_t letter, const std::string* unixPath) {
    HANDLE mgr =
        CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE) return false;
    std::string buffer(sizeof(UnixDriveRequest), '\0');
    UnixDriveRequest request = {};
    request.type = DRIVE_FIXED;
    request.letter = wchar_t(towlower(letter));
    if (unixPath) {
        request.mountPointOffset = USHORT(buffer.size());
        buffer += *unixPath;
        buffer += '\0';
    }
    request.size = ULONG(buffer.size());
    memcpy(&buffer[0], &request, sizeof(request));
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(mgr, kDefineUnixDrive, &buffer[0], DWORD(buffer.size()), nullptr, 0,
                              &returned, nullptr);
    CloseHandle(mgr);
    return ok != 0;
}

} // namespace

bool MapWineDrive(wchar_t letter, const std::string& unixPath) {
    return DefineUnixDrive(letter, &unixPath);
}

bool UnmapWineDrive(wchar_t letter) {
    return DefineUnixDrive(letter, nullptr);
}

// ---- the program under test ------------------------------------------------------------------

namespace {

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        if (lstrcmpiW(pe.szExeFile, exeName.c_str()) == 0) pids.push_back(pe.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

// Starts a Unix command line in the background (not waited for).
void StartUnix(const std::string& command) {
    static int counter = 0;
    std::string script = "/tmp/td-start-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++counter) + ".sh";
    std::wstring wscript = L"Z:" + Widen(script);
    std::replace(wscript.begin(), wscript.end(), L'/', L'\\');
    WriteBytes(wscript, "rm -f '" + script + "'\n" + command + "\n");
    std::string line = "/bin/sh " + script;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

} // namespace

App::App(const std::wstring& exe, const std::wstring& folder, const std::vector<std::wstring>& env,
         const std::string& unixSetup) {
    std::wstring path =
        exe.find_first_of(L"\\/") == std::wstring::npos ? Join(ExeFolder(), exe) : exe;
    std::wstring line = L"\"" + path + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (env.empty() && unixSetup.empty()) {
        if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
            WaitForInputIdle(pi_.hProcess, 10000);
        return;
    }
    std::wstring exeName = path.substr(path.find_last_of(L"\\/") + 1);
    std::vector<DWORD> before = ProcessesNamed(exeName);
    std::string assignments;
    for (const auto& v : env)
        assignments += "'" + Narrow(v) + "' ";
    std::string command = "cd '" + UnixPath(folder.empty() ? ExeFolder() : folder) + "' && " +
                          (unixSetup.empty() ? "" : unixSetup + " && ") + "exec env " +
                          assignments + "wine '" + UnixPath(path) + "'";
    StartUnix(command);
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
    if (pi_.hProcess) WaitForInputIdle(pi_.hProcess, 10000);
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
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0)
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

HWND App::WaitMessageBox(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopWindows())
                if (ClassOf(w) == L"#32770") return (found = w) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

bool App::NoMessageBox(DWORD waitMs) const {
    Sleep(waitMs);
    for (HWND w : TopWindows())
        if (ClassOf(w) == L"#32770") return false;
    return true;
}

// ---- controls ----------------------------------------------------------------------------------

HWND Control(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

HWND ControlByClass(HWND parent, const std::wstring& cls, int index) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiW(ClassOf(c).c_str(), cls.c_str()) == 0 && index-- == 0) return c;
    return nullptr;
}

HWND ControlByText(HWND parent, const std::wstring& text) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (Text(c) == text) return c;
    return nullptr;
}

std::wstring Text(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len)) return L"";
    std::wstring s(size_t(len) + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(&s[0]), SMTO_NORMAL,
                        5000, &got);
    s.resize(size_t(got));
    return s;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t cls[256] = L"";
    GetClassNameW(hwnd, cls, 256);
    return cls;
}

bool Enabled(HWND hwnd) {
    return IsWindowEnabled(hwnd) != 0;
}

RECT RectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT ClientRect(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return r;
}

void Sync(HWND hwnd) {
    // A sent message is answered at the program's next look into its queue, before the
    // posted messages waiting there; each further round trip lets one more posted message
    // through. Enough round trips for the few messages an action posts.
    for (int i = 0; i < 16; ++i) {
        DWORD_PTR unused;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &unused)) break;
    }
}

// ---- list boxes and drop-down lists -----------------------------------------------------------

namespace {

bool IsCombo(HWND list) {
    return lstrcmpiW(ClassOf(list).c_str(), L"ComboBox") == 0;
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, 5000, &result);
    return LRESULT(result);
}

void Notify(HWND control, WORD code) {
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

} // namespace

std::vector<std::wstring> ListItems(HWND list) {
    bool combo = IsCombo(list);
    std::vector<std::wstring> items;
    int count = int(Ask(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT len = Ask(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        if (len < 0) len = 0;
        std::wstring s(size_t(len) + 1, L'\0');
        Ask(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
        s.resize(size_t(len));
        items.push_back(s);
    }
    return items;
}

int ListIndex(HWND list) {
    LRESULT i = Ask(list, IsCombo(list) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return i < 0 ? -1 : int(i);
}

int FindListItem(HWND list, const std::wstring& text) {
    auto items = ListItems(list);
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : int(it - items.begin());
}

void SelectListItem(HWND list, int index) {
    if (IsCombo(list)) {
        Ask(list, CB_SETCURSEL, WPARAM(index), 0);
        Notify(list, CBN_SELCHANGE);
    } else {
        Ask(list, LB_SETCURSEL, WPARAM(index), 0);
        Notify(list, LBN_SELCHANGE);
    }
}

bool SelectListItem(HWND list, const std::wstring& text) {
    int i = FindListItem(list, text);
    if (i < 0) return false;
    SelectListItem(list, i);
    return true;
}

void DoubleClickListItem(HWND list, int index) {
    Ask(list, LB_SETCURSEL, WPARAM(index), 0);
    Notify(list, LBN_SELCHANGE);
    Notify(list, LBN_DBLCLK);
}

bool DoubleClickListItem(HWND list, const std::wstring& text) {
    int i = FindListItem(list, text);
    if (i < 0) return false;
    DoubleClickListItem(list, i);
    return true;
}

bool OpenFolderRow(HWND dir1, const std::wstring& name) {
    auto rows = ListItems(dir1);
    int current = ListIndex(dir1);
    // Subfolders first (rows below the current one), then the rows above.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < int(rows.size()); ++i) {
            if ((pass == 0) != (i > current)) continue;
            std::wstring text = rows[size_t(i)];
            text.erase(0, text.find_first_not_of(L' '));
            if (text == name) {
                DoubleClickListItem(dir1, i);
                return true;
            }
        }
    }
    return false;
}

// ---- buttons, menus, text boxes ----------------------------------------------------------------

bool Click(HWND button) {
    if (!IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

void ChooseMenu(HWND window, int commandId) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void SetText(HWND edit, const std::wstring& text) {
    DWORD_PTR unused;
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        5000, &unused);
}

void TypeChars(HWND edit, const std::wstring& text) {
    for (wchar_t c : text)
        PostMessageW(edit, WM_CHAR, c, 1);
}

void PressKey(HWND hwnd, UINT vk) {
    PostMessageW(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageW(hwnd, WM_KEYUP, vk, LPARAM(0xC0000001u));
}

void AltKey(HWND hwnd, wchar_t letter) {
    PostMessageW(hwnd, WM_SYSCHAR, letter, LPARAM(1u | (1u << 29)));
}

void Close(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

HWND Focus(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

// ---- message and input boxes -------------------------------------------------------------------

namespace {

// The screen's pixels of a window's client area (the window must be visible).
std::vector<COLORREF> Capture(HWND hwnd, int w, int h) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(screen, origin.x + x, origin.y + y));
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<COLORREF> Render(HICON icon, int w, int h, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH brush = CreateSolidBrush(background);
    RECT r = {0, 0, w, h};
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    DrawIconEx(mem, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Which standard icon the box shows, by comparing its pixels with each icon drawn here
// (icon handles of another process cannot be compared).
int BoxIcon(HWND box) {
    HWND iconControl = nullptr;
    for (int id : {0x0440, 0x0014}) {
        HWND c = GetDlgItem(box, id);
        if (c && lstrcmpiW(ClassOf(c).c_str(), L"Static") == 0) iconControl = c;
    }
    if (!iconControl || !IsWindowVisible(iconControl)) return 0;
    if (!Ask(iconControl, STM_GETICON, 0, 0)) return 0;
    int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    RECT rc = ClientRect(iconControl);
    w = std::min<int>(w, rc.right);
    h = std::min<int>(h, rc.bottom);
    if (w <= 0 || h <= 0) return 0;
    UpdateWindow(box);
    Sleep(50);
    auto shown = Capture(iconControl, w, h);
    const struct {
        LPCWSTR id;
        int flag;
    } candidates[] = {{IDI_HAND, MB_ICONHAND},
                      {IDI_QUESTION, MB_ICONQUESTION},
                      {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                      {IDI_ASTERISK, MB_ICONASTERISK}};
    int best = 0;
    size_t bestDiff = shown.size();
    for (const auto& c : candidates) {
        auto drawn = Render(LoadIconW(nullptr, c.id), w, h, shown[0]);
        size_t diff = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            diff += shown[i] != drawn[i];
        if (diff < bestDiff) {
            bestDiff = diff;
            best = c.flag;
        }
    }
    return bestDiff * 20 < shown.size() ? best : -1; // -1: an icon, but none we know
}

} // namespace

Box ReadBox(HWND box) {
    Box b;
    b.hwnd = box;
    if (!box) return b;
    b.caption = Text(box);
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text) b.text = Text(text);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiW(ClassOf(c).c_str(), L"Button") == 0 && IsWindowVisible(c))
            b.buttons.push_back(Text(c));
    b.icon = BoxIcon(box);
    return b;
}

bool PressBoxButton(HWND box, int id, DWORD timeoutMs) {
    HWND button = GetDlgItem(box, id);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

HWND BoxEdit(HWND box) {
    return ControlByClass(box, L"Edit");
}

int DarkPixels(HWND hwnd) {
    RECT rc = ClientRect(hwnd);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    int dark = 0;
    const auto* px = static_cast<const BYTE*>(bits);
    for (int i = 0; i < w * h; ++i, px += 4)
        dark += px[0] + px[1] + px[2] < 3 * 96;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return dark;
}

// ---- screenshots --------------------------------------------------------------------------------

std::string Screenshot(const std::string& name) {
    wchar_t folder[MAX_PATH];
    if (!GetEnvironmentVariableW(L"QUILLON_SHOTS", folder, MAX_PATH)) return "";
    Sleep(150); // let the programs finish painting
    std::string unixBase = Narrow(folder) + "/" + name;
    std::wstring bmpPath = L"Z:" + Widen(unixBase) + L".bmp";
    std::replace(bmpPath.begin(), bmpPath.end(), L'/', L'\\');
    HDC screen = GetDC(nullptr);
    int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DWORD stride = ((DWORD(w) * 3 + 3) & ~3u), size = stride * DWORD(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    std::string file(reinterpret_cast<const char*>(&fh), sizeof(fh));
    file.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(bi.bmiHeader));
    file.append(static_cast<const char*>(bits), size);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!WriteBytes(bmpPath, file)) return "";
    std::string png = unixBase + ".png";
    if (RunUnix("convert '" + unixBase + ".bmp' '" + png + "' && rm -f '" + unixBase + ".bmp'") !=
        0)
        return unixBase + ".bmp";
    return png;
}

} // namespace td
