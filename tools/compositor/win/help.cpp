// frmHelp: the modeless plain-text help viewer.
#include <fstream>
#include <iterator>

#include "form1.h"

namespace {

const wchar_t kHelpClass[] = L"TamselHelp";
HWND g_help = nullptr;
HWND g_text1 = nullptr;

// Sizes Text1 to the whole client area unless minimised.
void Form_Resize(HWND hwnd) {
    if (IsIconic(hwnd)) return;
    RECT r;
    GetClientRect(hwnd, &r);
    MoveWindow(g_text1, 0, 0, r.right, r.bottom, TRUE);
}

LRESULT CALLBACK help_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        Form_Resize(hwnd);
        return 0;
    case WM_DESTROY:
        g_help = nullptr;
        g_text1 = nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int text_length() {
    return g_text1 ? GetWindowTextLengthW(g_text1) : 0;
}

void create_viewer() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = help_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHelpClass;
    RegisterClassW(&wc);
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, MulDiv(5685, GetDeviceCaps(dc, LOGPIXELSX), 1440),
           MulDiv(4275, GetDeviceCaps(dc, LOGPIXELSY), 1440)};
    ReleaseDC(nullptr, dc);
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    g_help = CreateWindowExW(0, kHelpClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    g_text1 = CreateWindowExW(0, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0,
                              0, 0, g_help, nullptr, instance, nullptr);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                             L"ＭＳ Ｐゴシック");
    SendMessageW(g_text1, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Form_Resize(g_help);
}

} // namespace

void show_help(HWND owner, const std::wstring& caption, const std::wstring& file_name) {
    if (!g_help) create_viewer();
    SetWindowTextW(g_help, caption.c_str());
    if (text_length() == 0) {
        RECT f, v;
        GetWindowRect(owner, &f);
        GetWindowRect(g_help, &v);
        float left = f.left + ((f.right - f.left) - (v.right - v.left)) / 2.0f;
        float top = f.top + ((f.bottom - f.top) - (v.bottom - v.top)) / 3.0f;
        SetWindowPos(g_help, nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        std::ifstream in(file_name.c_str(), std::ios::binary);
        std::wstring text;
        if (!in) {
            text = L"ヘルプ文書[" + file_name + L"]が見つかりません。";
        } else {
            std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
            int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0);
            text.assign(n, L'\0');
            if (n)
                MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    &text[0], n);
        }
        SetWindowTextW(g_text1, text.c_str());
    }
    ShowWindow(g_help, SW_SHOW);
    SetForegroundWindow(g_help);
}
