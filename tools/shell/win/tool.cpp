// Per-tool strings, the "&Option" menu, message boxes and the message loop.
#include "shell/shell.h"

#include "internal.h"

#include <cwchar>

namespace shell {

#define QUILLON_COPYRIGHT L"Copyright (C) 2026 the Quillon toolkit developers"

const ToolInfo kKestrom = {L"Kestrom",
                           {L"KESTROM.EXE", L"バージョン1.0", QUILLON_COPYRIGHT},
                           L"Kestrom",
                           L"KESTROMの使い方",
                           L"KESTROM.TXT"};

const ToolInfo kTamsel = {
    L"Tamsel",
    {L"TAMSEL.EXE", L"バージョン1.0", L"このプログラムはフリーウェアです。", QUILLON_COPYRIGHT},
    L"バージョン情報",
    L"Tamsel の使い方",
    L"TAMSEL.TXT"};

const ToolInfo kPurnix = {
    L"Purnix",
    {L"PURNIX.EXE", L"バージョン1.0", L"このプログラムはフリーウェアです。", QUILLON_COPYRIGHT},
    L"ﾊﾞｰｼﾞｮﾝ情報",
    L"Purnix の使い方",
    L"PURNIX.TXT"};

void MenuAbout_Click(HWND form, const ToolInfo& tool) {
    std::wstring text;
    for (size_t i = 0; i < tool.aboutLines.size(); ++i) {
        if (i) text += L'\r';
        text += tool.aboutLines[i];
    }
    showMessage(form, text, MB_OK | MB_ICONINFORMATION, tool, tool.aboutCaption);
}

void MenuHelp_Click(HWND form, const ToolInfo& tool) {
    showHelpDialog(form, tool.helpCaption, tool.helpFile);
}

bool handleMenuCommand(HWND form, int id, const ToolInfo& tool) {
    if (id == kIdMenuAbout) {
        MenuAbout_Click(form, tool);
        return true;
    }
    if (id == kIdMenuHelp) {
        MenuHelp_Click(form, tool);
        return true;
    }
    return false;
}

namespace {

BOOL CALLBACK firstIconName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* out = reinterpret_cast<std::wstring*>(param);
    *out = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name)) : name;
    return FALSE;
}

} // namespace

HICON programIcon() {
    static HICON icon = [] {
        HMODULE self = GetModuleHandleW(nullptr);
        std::wstring first;
        EnumResourceNamesW(self, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), firstIconName,
                           reinterpret_cast<LONG_PTR>(&first));
        HICON loaded = first.empty() ? nullptr : LoadIconW(self, first.c_str());
        return loaded ? loaded : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }();
    return icon;
}

std::wstring systemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        // Codes of other facilities (AVIFile's, say) have no system text: show the number
        // the way their documentation writes it.
        wchar_t number[32];
        std::swprintf(number, 32, code > 0xFFFF ? L"0x%08lX" : L"%lu",
                      static_cast<unsigned long>(code));
        text = std::wstring(L"Error ") + number;
    }
    return text;
}

int showMessage(HWND owner, const std::wstring& text, UINT flags, const ToolInfo& tool,
                const wchar_t* caption) {
    return MessageBoxW(owner, text.c_str(), caption ? caption : tool.title, flags);
}

namespace {

int g_openForms = 0;

wchar_t accessKey(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

wchar_t fold(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
}

struct KeySearch {
    wchar_t key;
    HWND label;
};

BOOL CALLBACK findLabel(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<KeySearch*>(lParam);
    if (!isShellLabel(child) || !IsWindowVisible(child)) return TRUE;
    wchar_t key = accessKey(getText(child));
    if (key && fold(key) == search->key) {
        search->label = child;
        return FALSE;
    }
    return TRUE;
}

// Alt + a label's access key: the focus goes to the label's control.
bool handleLabelKey(const MSG& m) {
    if (m.message != WM_SYSCHAR) return false;
    HWND root = GetAncestor(m.hwnd, GA_ROOT);
    if (!root) return false;
    KeySearch search = {fold(wchar_t(m.wParam)), nullptr};
    EnumChildWindows(root, findLabel, reinterpret_cast<LPARAM>(&search));
    if (!search.label) return false;
    HWND target = labelTarget(search.label);
    if (!target) target = GetNextDlgTabItem(root, search.label, FALSE);
    if (target) SetFocus(target);
    return true;
}

} // namespace

void initProcess() {
    UINT inherited = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(inherited | SEM_FAILCRITICALERRORS);
}

int runMainForm(HINSTANCE instance, const wchar_t* className, WNDPROC proc, const wchar_t* caption,
                int clientWidthTwips, int clientHeightTwips, int show) {
    initProcess();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = programIcon();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND form = createForm(className, caption, clientWidthTwips, clientHeightTwips, instance);
    if (!form) return 1;
    formOpened();
    ShowWindow(form, show);
    UpdateWindow(form);
    return runMessageLoop();
}

void formOpened() {
    ++g_openForms;
}

void formClosed() {
    if (--g_openForms <= 0) PostQuitMessage(0);
}

LRESULT defFormProc(HWND form, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        closeHelpWindow();
        DestroyWindow(form);
        return 0;
    case WM_DESTROY:
        formClosed();
        return 0;
    }
    return DefWindowProcW(form, msg, wParam, lParam);
}

int runMessageLoop() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (handleLabelKey(m)) continue;
        HWND root = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
        if (root && (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
            IsDialogMessageW(root, &m))
            continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return int(m.wParam);
}

} // namespace shell
