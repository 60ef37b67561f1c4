#include "form1.h"

#include <vector>

#include "form1_ids.h"

const wchar_t kAppTitle[] = L"Tamsel";
Form1 g_form1;

namespace {

const wchar_t kForm1Class[] = L"TamselForm1";
std::vector<std::wstring> g_dir_entries; // full folder of each Dir1 line

int twips_to_px(HDC dc, int twips, int axis) {
    return MulDiv(twips, GetDeviceCaps(dc, axis), 1440);
}

HWND add_control(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id,
                 int left, int top, int width, int height) {
    HDC dc = GetDC(parent);
    int x = twips_to_px(dc, left, LOGPIXELSX), y = twips_to_px(dc, top, LOGPIXELSY);
    int w = twips_to_px(dc, width, LOGPIXELSX), h = twips_to_px(dc, height, LOGPIXELSY);
    ReleaseDC(parent, dc);
    HWND hwnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return hwnd;
}

std::wstring program_folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

void fill_file_list(HWND list, const std::wstring& folder) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    WIN32_FIND_DATAW found;
    HANDLE find =
        FindFirstFileW((tamsel::folder_with_backslash(folder) + L"*.avi").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// Dir1 shows the folder's ancestors, the folder itself and its subfolders.
void fill_dir_list(const std::wstring& folder) {
    HWND list = g_form1.dir1;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    g_dir_entries.clear();
    std::wstring path = tamsel::folder_with_backslash(folder);
    int depth = 0, current = 0;
    for (size_t pos = path.find(L'\\'); pos != std::wstring::npos;
         pos = path.find(L'\\', pos + 1)) {
        std::wstring ancestor = path.substr(0, pos + 1);
        size_t prev = ancestor.find_last_of(L'\\', ancestor.size() - 2);
        std::wstring name = depth == 0 ? ancestor : ancestor.substr(prev + 1, pos - prev - 1);
        std::wstring line = std::wstring(depth * 2, L' ') + name;
        current = static_cast<int>(
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
        g_dir_entries.push_back(ancestor);
        ++depth;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." &&
                name != L"..") {
                std::wstring line = std::wstring(depth * 2, L' ') + name;
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
                g_dir_entries.push_back(path + name + L"\\");
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    SendMessageW(list, LB_SETCURSEL, current, 0);
}

void Dir1_Change() {
    fill_file_list(g_form1.file1, g_form1.folder);
    fill_file_list(g_form1.file2, g_form1.folder);
}

void set_folder(const std::wstring& folder) {
    std::wstring f = folder;
    // Dir1 keeps a folder without a trailing backslash except at a drive root.
    if (f.size() > 3 && f.back() == L'\\') f.pop_back();
    g_form1.folder = f;
    fill_dir_list(f);
    Dir1_Change();
}

void select_drive_of(const std::wstring& folder) {
    wchar_t letter = static_cast<wchar_t>(towlower(folder.empty() ? L'c' : folder[0]));
    int count = static_cast<int>(SendMessageW(g_form1.drive1, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[8] = {};
        SendMessageW(g_form1.drive1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        if (text[0] == letter) SendMessageW(g_form1.drive1, CB_SETCURSEL, i, 0);
    }
}

void Drive1_Change() {
    int sel = static_cast<int>(SendMessageW(g_form1.drive1, CB_GETCURSEL, 0, 0));
    wchar_t text[8] = {};
    if (sel >= 0) SendMessageW(g_form1.drive1, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    std::wstring drive = std::wstring(1, text[0]) + L":";
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(drive.c_str(), MAX_PATH, full, nullptr);
    DWORD attributes = n ? GetFileAttributesW(full) : INVALID_FILE_ATTRIBUTES;
    if (n == 0 || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A drive that cannot be read: silently back to the program's own drive.
        std::wstring own = program_folder();
        if (towlower(own[0]) == towlower(text[0])) return;
        select_drive_of(own);
        Drive1_Change();
        return;
    }
    set_folder(full);
}

void fill_drives() {
    wchar_t drives[256];
    DWORD n = GetLogicalDriveStringsW(255, drives);
    for (const wchar_t* d = drives; d < drives + n && *d; d += wcslen(d) + 1) {
        std::wstring line{static_cast<wchar_t>(towlower(d[0])), L':'};
        SendMessageW(g_form1.drive1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void Option1_Click(int index) {
    g_form1.operation = static_cast<tamsel::AudioOperation>(index);
    // Add and Replace need the audio list; otherwise it looks and acts inactive,
    // keeping its selection.
    EnableWindow(g_form1.file2, tamsel::needs_audio_file(g_form1.operation));
    InvalidateRect(g_form1.file2, nullptr, TRUE);
}

void MenuAbout_Click() {
    MessageBoxW(g_form1.hwnd,
                L"TAMSEL.EXE\rバージョン1.0\rCopyright (C) 1997 Tamsel developers\r"
                L"このプログラムはフリーウェアです。",
                L"バージョン情報", MB_OK | MB_ICONINFORMATION);
}

LRESULT CALLBACK form1_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDC_COMMAND1 && code == BN_CLICKED) {
            Command1_Click();
        } else if (id >= IDC_OPTION1_3 && id <= IDC_OPTION1_0 && code == BN_CLICKED) {
            Option1_Click(IDC_OPTION1_0 - id);
        } else if (id == IDC_DRIVE1 && code == CBN_SELCHANGE) {
            Drive1_Change();
        } else if (id == IDC_DIR1 && code == LBN_DBLCLK) {
            int sel = static_cast<int>(SendMessageW(g_form1.dir1, LB_GETCURSEL, 0, 0));
            if (sel >= 0 && sel < static_cast<int>(g_dir_entries.size()))
                set_folder(g_dir_entries[sel]);
        } else if (id == IDM_ABOUT) {
            MenuAbout_Click();
        } else if (id == IDM_HELP) {
            show_help(hwnd, L"Tamsel の使い方", L"TAMSEL.TXT");
        }
        return 0;
    }
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == g_form1.file2 &&
            !tamsel::needs_audio_file(g_form1.operation)) {
            SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (g_form1.busy) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

std::wstring selected_file(HWND list) {
    int sel = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (sel < 0) return L"";
    int len = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, sel, 0));
    std::wstring text(len + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(len);
    return text;
}

void message_box(const std::wstring& text, UINT icon) {
    MessageBoxW(g_form1.hwnd, text.c_str(), kAppTitle, MB_OK | icon);
}

HWND create_form1(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = form1_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kForm1Class;
    RegisterClassW(&wc);

    HMENU option = CreatePopupMenu();
    AppendMenuW(option, MF_STRING, IDM_ABOUT, L"&About...");
    AppendMenuW(option, MF_STRING, IDM_HELP, L"&Help...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(option), L"&Option");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, twips_to_px(dc, 6120, LOGPIXELSX), twips_to_px(dc, 5055, LOGPIXELSY)};
    ReleaseDC(nullptr, dc);
    AdjustWindowRect(&r, style, TRUE);
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kForm1Class, kAppTitle, style, CW_USEDEFAULT,
                                CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, bar,
                                instance, nullptr);
    g_form1.hwnd = hwnd;

    // Created in tab order.
    const DWORD list = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    add_control(hwnd, L"STATIC", L"Dri&ve:", 0, IDC_LABEL3, 60, 60, 435, 180);
    g_form1.drive1 = add_control(hwnd, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                 IDC_DRIVE1, 60, 300, 2475, 3000);
    add_control(hwnd, L"STATIC", L"&Directory/Folder:", 0, IDC_LABEL4, 60, 720, 1305, 180);
    g_form1.dir1 = add_control(hwnd, L"LISTBOX", L"", list, IDC_DIR1, 60, 960, 2475, 1560);
    add_control(hwnd, L"STATIC", L"V&ideo AVI file:", 0, IDC_LABEL1, 2700, 60, 1110, 180);
    g_form1.file1 =
        add_control(hwnd, L"LISTBOX", L"", list | LBS_SORT, IDC_FILE1, 2640, 300, 3375, 1890);
    add_control(hwnd, L"STATIC", L"&Audio AVI file:", 0, IDC_LABEL2, 2700, 2280, 1110, 180);
    g_form1.file2 =
        add_control(hwnd, L"LISTBOX", L"", list | LBS_SORT, IDC_FILE2, 2640, 2520, 3375, 1890);
    g_form1.command1 = add_control(hwnd, L"BUTTON", L"&Compress AVI file",
                                   BS_PUSHBUTTON | WS_TABSTOP, IDC_COMMAND1, 2640, 4500, 3375, 435);
    add_control(hwnd, L"BUTTON", L"Audio stream operation", BS_GROUPBOX, IDC_FRAME1, 60, 2640, 2475,
                1755);
    const wchar_t* captions[4] = {L"Add &stream(s)", L"&Replace stream(s)", L"&No operation",
                                  L"De&lete stream(s)"};
    for (int index = 3; index >= 0; --index) {
        DWORD group = index == 3 ? WS_GROUP | WS_TABSTOP : 0;
        g_form1.option1[index] =
            add_control(hwnd, L"BUTTON", captions[index], BS_AUTORADIOBUTTON | group,
                        option1_id(index), 60 + 120, 2640 + 300 * (index + 1), 2000, 255);
    }
    add_control(hwnd, L"STATIC", L"", 0, 0, 0, 0, 0, 0); // ends the option group
    SendMessageW(g_form1.option1[0], BM_SETCHECK, BST_CHECKED, 0);

    fill_drives();
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    select_drive_of(cwd);
    set_folder(cwd);
    return hwnd;
}
