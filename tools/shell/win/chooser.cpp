// Drive1 / Dir1 / File1 / File2 and their change events.
#include "shell/shell.h"

#include "chooser_rules.h"
#include "common/owned.h"

#include <commctrl.h>

#include <set>

namespace shell {

namespace {

LRESULT CALLBACK dirListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter opens the selected folder instead of going to the window.
        if (lParam) {
            auto* m = reinterpret_cast<MSG*>(lParam);
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(kIdDir1, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, dirListProc, 1);
        break;
    case WM_CHAR:
        if (wParam == L'\r') return 0;
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

std::wstring programDrive() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    if (p.size() >= 2 && p[1] == L':') return std::wstring{wchar_t(towlower(p[0])), L':'};
    return L"c:";
}

bool isReadableFolder(const std::wstring& folder) {
    DWORD attr = GetFileAttributesW(folder.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
    WIN32_FIND_DATAW fd;
    common::FindHandle search(
        FindFirstFileW(joinPath(folder, L"*", FolderEnd::kBackslashOrSlash).c_str(), &fd));
    return search || GetLastError() == ERROR_FILE_NOT_FOUND; // an empty root has no entry
}

int listIndex(HWND list) {
    if (!list) return -1;
    LRESULT i = SendMessageW(list, LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : int(i);
}

// The text of a list box's row, or with CB_GETLBTEXTLEN / CB_GETLBTEXT a combo box's.
std::wstring listText(HWND list, int index, UINT lengthMessage = LB_GETTEXTLEN,
                      UINT textMessage = LB_GETTEXT) {
    if (!list || index < 0) return L"";
    LRESULT len = SendMessageW(list, lengthMessage, index, 0);
    if (len < 0) return L""; // LB_ERR and CB_ERR
    std::wstring s(size_t(len) + 1, L'\0');
    SendMessageW(list, textMessage, index, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(size_t(len));
    return s;
}

} // namespace

HWND FileChooser::createDrive1(HWND parent, const Twips& rect) {
    // The drop-down part opens below the field; the field's own height follows the font.
    Twips r = rect;
    r.height = rect.height + 2400;
    drive1 = createControl(parent, kIdDrive1, L"COMBOBOX", L"",
                           WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, r);
    return drive1;
}

HWND FileChooser::createDir1(HWND parent, const Twips& rect) {
    dir1 = createControl(parent, kIdDir1, L"LISTBOX", L"",
                         WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                         WS_EX_CLIENTEDGE, rect);
    SetWindowSubclass(dir1, dirListProc, 1, 0);
    return dir1;
}

HWND FileChooser::createFileList(HWND parent, int id, const Twips& rect) {
    return createControl(parent, id, L"LISTBOX", L"",
                         WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
                         WS_EX_CLIENTEDGE, rect);
}

HWND FileChooser::createFile1(HWND parent, const Twips& rect, const std::wstring& pattern) {
    pattern1_ = pattern;
    file1 = createFileList(parent, kIdFile1, rect);
    return file1;
}

HWND FileChooser::createFile2(HWND parent, const Twips& rect, const std::wstring& pattern) {
    pattern2_ = pattern;
    file2 = createFileList(parent, kIdFile2, rect);
    return file2;
}

void FileChooser::start() {
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring current = cwd;
    std::wstring drive = current.size() >= 2 && current[1] == L':'
                             ? std::wstring{wchar_t(towlower(current[0])), L':'}
                             : programDrive();
    fillDrives(drive);
    drivePath_ = drive;
    if (!setDirPath(current)) setDirPath(drive + L"\\");
}

void FileChooser::fillDrives(const std::wstring& current) {
    if (!drive1) return;
    SendMessageW(drive1, CB_RESETCONTENT, 0, 0);
    DWORD mask = GetLogicalDrives();
    int select = -1;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        std::wstring name{wchar_t(L'a' + i), L':'};
        LRESULT at = SendMessageW(drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (name == current) select = int(at);
    }
    SendMessageW(drive1, CB_SETCURSEL, select, 0);
}

bool FileChooser::onCommand(WPARAM wParam, LPARAM) {
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == kIdDrive1 && drive1) {
        if (code == CBN_SELCHANGE) Drive1_Change();
        return true;
    }
    if (id == kIdDir1 && dir1) {
        if (code == LBN_DBLCLK) openDirEntry(listIndex(dir1));
        return true;
    }
    if (id == kIdFile1 && file1) {
        if (code == LBN_SELCHANGE && onFile1Click) onFile1Click();
        return true;
    }
    return id == kIdFile2 && file2;
}

void FileChooser::Drive1_Change() {
    if (!drive1) return;
    LRESULT row = SendMessageW(drive1, CB_GETCURSEL, 0, 0);
    std::wstring chosen =
        row == CB_ERR ? L"" : listText(drive1, int(row), CB_GETLBTEXTLEN, CB_GETLBTEXT);
    if (chosen.empty()) return;
    // The drive's own current folder, as the platform remembers it.
    wchar_t full[MAX_PATH] = L"";
    DWORD n = GetFullPathNameW(chosen.c_str(), MAX_PATH, full, nullptr);
    std::wstring folder = (n > 0 && n < MAX_PATH) ? std::wstring(full) : chosen + L"\\";
    if (setDirPath(folder)) {
        drivePath_ = chosen;
        return;
    }
    // Not readable: back to the program's own drive, silently. Guard against a program
    // drive that cannot be read either.
    if (changingDrive_) return;
    changingDrive_ = true;
    std::wstring own = programDrive();
    LRESULT at =
        SendMessageW(drive1, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(own.c_str()));
    SendMessageW(drive1, CB_SETCURSEL, at == CB_ERR ? 0 : at, 0);
    Drive1_Change();
    changingDrive_ = false;
}

bool FileChooser::setDirPath(const std::wstring& path) {
    std::wstring folder = trimFolder(path);
    if (folder.size() == 2 && folder[1] == L':') folder += L"\\";
    if (!isReadableFolder(folder)) return false;
    dirPath_ = folder;
    fillDir();
    Dir1_Change();
    return true;
}

void FileChooser::fillDir() {
    std::vector<std::wstring> subfolders;
    WIN32_FIND_DATAW fd;
    common::FindHandle search(
        FindFirstFileW(joinPath(dirPath_, L"*", FolderEnd::kBackslashOrSlash).c_str(), &fd));
    if (search) {
        do {
            std::wstring name = fd.cFileName;
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            if (name == L"." || name == L"..") continue;
            subfolders.push_back(name);
        } while (FindNextFileW(search.get(), &fd));
    }
    std::vector<DirRow> rows = dirTreeRows(dirPath_, subfolders);
    dirEntries_.clear();
    if (!dir1) return;
    SendMessageW(dir1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(dir1, LB_RESETCONTENT, 0, 0);
    for (const auto& row : rows) {
        std::wstring text(size_t(row.depth) * 2, L' ');
        text += row.label;
        SendMessageW(dir1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        dirEntries_.push_back(row.path);
    }
    SendMessageW(dir1, LB_SETCURSEL, currentRow(dirPath_), 0);
    SendMessageW(dir1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(dir1, nullptr, TRUE);
}

void FileChooser::openDirEntry(int index) {
    if (index < 0 || size_t(index) >= dirEntries_.size()) return;
    std::wstring target = dirEntries_[size_t(index)];
    if (!setDirPath(target)) {
        // A folder that vanished or cannot be read: stay where we are.
        SendMessageW(dir1, LB_SETCURSEL, currentRow(dirPath_), 0);
    }
}

void FileChooser::Dir1_Change() {
    filePath_ = dirPath_;
    if (file1) fillFiles(file1, pattern1_);
    if (file2) fillFiles(file2, pattern2_);
}

void FileChooser::fillFiles(HWND list, const std::wstring& pattern) {
    std::set<std::wstring> names;
    for (const auto& part : splitPatterns(pattern)) {
        WIN32_FIND_DATAW fd;
        common::FindHandle search(
            FindFirstFileW(joinPath(filePath_, part, FolderEnd::kBackslashOrSlash).c_str(), &fd));
        if (!search) continue;
        do {
            if (fd.dwFileAttributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                continue;
            names.insert(fd.cFileName);
        } while (FindNextFileW(search.get(), &fd));
    }
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& name : names)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

bool FileChooser::setFile1Pattern(const std::wstring& pattern) {
    if (!isValidPattern(pattern)) return false;
    pattern1_ = pattern;
    if (file1) fillFiles(file1, pattern1_);
    return true;
}

void FileChooser::setFile2Active(bool active) {
    file2Active_ = active;
    if (!file2) return;
    EnableWindow(file2, active);
    InvalidateRect(file2, nullptr, TRUE);
}

HBRUSH FileChooser::onCtlColorListBox(HWND list, HDC dc) const {
    if (!list || list != file2) return nullptr;
    int colour = file2Active_ ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(colour));
    SetTextColor(dc, GetSysColor(file2Active_ ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return GetSysColorBrush(colour);
}

std::wstring FileChooser::drive() const {
    return drivePath_;
}
std::wstring FileChooser::dirPath() const {
    return dirPath_;
}
std::wstring FileChooser::filePath() const {
    return filePath_;
}
int FileChooser::file1ListIndex() const {
    return listIndex(file1);
}
int FileChooser::file2ListIndex() const {
    return listIndex(file2);
}
std::wstring FileChooser::file1Name() const {
    return listText(file1, listIndex(file1));
}
std::wstring FileChooser::file2Name() const {
    return listText(file2, listIndex(file2));
}

} // namespace shell
