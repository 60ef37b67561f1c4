// frmHelp: the modeless help viewer. Its only state is the text of Text1: empty means
// not loaded.
#include "shell/shell.h"

#include "internal.h"

#include <cmath>

namespace shell {

namespace {

const wchar_t kHelpClass[] = L"QuillonHelpViewer";
const int kIdText1 = 101;

HWND g_help = nullptr;
HWND g_text1 = nullptr;

void Form_Resize(HWND hwnd) {
    if (IsIconic(hwnd) || !g_text1) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    MoveWindow(g_text1, 0, 0, rc.right, rc.bottom, TRUE);
}

void Form_Load(HWND hwnd) {
    g_text1 = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 0, 0,
        0, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdText1)), GetModuleHandleW(nullptr),
        nullptr);
    SendMessageW(g_text1, WM_SETFONT, reinterpret_cast<WPARAM>(helpFont()), FALSE);
    SendMessageW(g_text1, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    Form_Resize(hwnd);
}

void Form_Unload() {
    if (g_text1) SetWindowTextW(g_text1, L"");
}

LRESULT CALLBACK helpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        g_help = hwnd;
        formOpened();
        Form_Load(hwnd);
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) Form_Resize(hwnd);
        return 0;
    case WM_CTLCOLORSTATIC:
        // Read-only, yet white like a text box.
        return reinterpret_cast<LRESULT>(textBoxBackground(reinterpret_cast<HDC>(wParam)));
    case WM_CLOSE:
        Form_Unload();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        g_help = nullptr;
        g_text1 = nullptr;
        formClosed();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void ensureViewer() {
    if (g_help) return;
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registered) {
        registerFormClass(instance, kHelpClass, helpProc);
        registered = true;
    }
    DWORD style = WS_OVERLAPPEDWINDOW;
    RECT r = {0, 0, twipsToPixelsX(5685), twipsToPixelsY(4275)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    CreateWindowExW(0, kHelpClass, L"", style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                    nullptr, instance, nullptr);
}

// Whole file as text in the ANSI code page; lone LF becomes CR LF so an edit control breaks
// the line.
bool readHelpFile(const std::wstring& name, std::wstring& text, DWORD& error) {
    // A help file an editor holds open for writing can still be shown.
    std::string bytes;
    if (!readWholeFile(name, bytes, error, FILE_SHARE_READ | FILE_SHARE_WRITE)) return false;
    std::wstring wide = fromAnsi(bytes);
    text.clear();
    text.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) text += L'\r';
        text += wide[i];
    }
    return true;
}

} // namespace

void showHelpDialog(HWND owner, const std::wstring& caption, const std::wstring& fileName) {
    ensureViewer();
    if (!g_help) return;
    SetWindowTextW(g_help, caption.c_str());
    if (GetWindowTextLengthW(g_text1) == 0) {
        // Centred horizontally over the caller, top a third of the height difference down.
        RECT fr, vr;
        GetWindowRect(owner, &fr);
        GetWindowRect(g_help, &vr);
        float fw = float(fr.right - fr.left), fh = float(fr.bottom - fr.top);
        float vw = float(vr.right - vr.left), vh = float(vr.bottom - vr.top);
        float left = float(fr.left) + (fw - vw) / 2.0f;
        float top = float(fr.top) + (fh - vh) / 3.0f;
        SetWindowPos(g_help, nullptr, int(std::lround(left)), int(std::lround(top)), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        std::wstring text;
        DWORD error = 0;
        if (readHelpFile(fileName, text, error)) {
            SetWindowTextW(g_text1, text.c_str());
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                   error == ERROR_INVALID_NAME) {
            SetWindowTextW(g_text1, (L"ヘルプ文書[" + fileName + L"]が見つかりません。").c_str());
        } else {
            // The file is there but cannot be read: say why rather than show nothing.
            SetWindowTextW(g_text1, (fileName + L"\r\n" + systemErrorText(error)).c_str());
        }
    }
    ShowWindow(g_help, IsIconic(g_help) ? SW_SHOW : SW_SHOWNORMAL);
    SetWindowPos(g_help, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(g_help);
}

void closeHelpWindow() {
    if (g_help) SendMessageW(g_help, WM_CLOSE, 0, 0);
}

} // namespace shell
