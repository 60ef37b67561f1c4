// Twips layout scaled by the screen's DPI, the shared font and control creation.
#include "shell/shell.h"

#include "internal.h"

#include <commctrl.h>

#include <algorithm>

namespace shell {

namespace {

int ScreenDpi(int index) {
    static int dpi[2] = {0, 0};
    int slot = index == LOGPIXELSX ? 0 : 1;
    if (!dpi[slot]) {
        HDC dc = GetDC(nullptr);
        dpi[slot] = GetDeviceCaps(dc, index);
        ReleaseDC(nullptr, dc);
        if (dpi[slot] <= 0) dpi[slot] = 96;
    }
    return dpi[slot];
}

HFONT MakeGothic(int tenthsOfPoint) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(tenthsOfPoint, ScreenDpi(LOGPIXELSY), 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcscpy_s(lf.lfFaceName, L"ＭＳ Ｐゴシック");
    return CreateFontIndirectW(&lf);
}

const wchar_t kTargetProp[] = L"QuillonShellLabelTarget";
const wchar_t kMemoProp[] = L"QuillonShellMemo";
const wchar_t kLabelProp[] = L"QuillonShellLabel";

// Text boxes move the focus on Tab like the other controls instead of taking the key.
LRESULT CALLBACK MemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(hwnd, msg, wParam, lParam);
        code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        if (lParam) {
            auto* m = reinterpret_cast<MSG*>(lParam);
            if (m->message == WM_KEYDOWN && m->wParam != VK_TAB && m->wParam != VK_ESCAPE &&
                m->wParam != VK_RETURN)
                code |= DLGC_WANTMESSAGE;
        }
        return code | DLGC_WANTARROWS | DLGC_WANTCHARS;
    }
    if (msg == WM_NCDESTROY) {
        // What CreateReadOnlyMemo set goes with the window.
        RemovePropW(hwnd, kMemoProp);
        RemoveWindowSubclass(hwnd, MemoProc, 1);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// Only here to take back what CreateLabel and SetLabelTarget set.
LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kLabelProp);
        RemovePropW(hwnd, kTargetProp);
        RemoveWindowSubclass(hwnd, LabelProc, 1);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace

int TwipsToPixelsX(int twips) {
    return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440);
}

RECT ToPixels(const Twips& t) {
    RECT r;
    r.left = TwipsToPixelsX(t.left);
    r.top = TwipsToPixelsY(t.top);
    r.right = r.left + TwipsToPixelsX(t.width);
    r.bottom = r.top + TwipsToPixelsY(t.height);
    return r;
}

HFONT ControlFont() {
    static HFONT font = MakeGothic(90);
    return font;
}

HFONT HelpFont() {
    static HFONT font = MakeGothic(97); // 9.75 pt, rounded to the nearest pixel height
    return font;
}

HWND CreateForm(const wchar_t* className, const wchar_t* caption, int clientWidthTwips,
                int clientHeightTwips, HINSTANCE instance) {
    HMENU bar = CreateMenu();
    HMENU option = CreatePopupMenu();
    AppendMenuW(option, MF_STRING, kIdMenuAbout, L"&About...");
    AppendMenuW(option, MF_STRING, kIdMenuHelp, L"&Help...");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(option), L"&Option");
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r = {0, 0, TwipsToPixelsX(clientWidthTwips), TwipsToPixelsY(clientHeightTwips)};
    AdjustWindowRectEx(&r, style, TRUE, WS_EX_CONTROLPARENT);
    return CreateWindowExW(WS_EX_CONTROLPARENT, className, caption, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, bar,
                           instance, nullptr);
}

HWND CreateControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, const Twips& rect) {
    RECT r = ToPixels(rect);
    HWND h = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (h) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
    return h;
}

HWND CreateLabel(HWND parent, int id, const wchar_t* caption, const Twips& rect) {
    HWND h = CreateControl(parent, id, L"STATIC", caption, SS_LEFT | SS_LEFTNOWORDWRAP, 0, rect);
    // The Japanese Gothic face runs wider than the rectangles were drawn for: a label grows
    // to its text (never shrinks), keeping its place.
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, ControlFont());
    RECT need = {0, 0, 0, 0};
    DrawTextW(dc, caption, -1, &need, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    RECT r = ToPixels(rect);
    int w = std::max<int>(r.right - r.left, need.right + 1);
    int ht = std::max<int>(r.bottom - r.top, need.bottom);
    SetWindowPos(h, nullptr, 0, 0, w, ht, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetPropW(h, kLabelProp, reinterpret_cast<HANDLE>(1));
    SetWindowSubclass(h, LabelProc, 1, 0);
    return h;
}

void SetLabelTarget(HWND label, HWND target) {
    SetPropW(label, kTargetProp, target);
}

HWND LabelTarget(HWND label) {
    return static_cast<HWND>(GetPropW(label, kTargetProp));
}

bool IsShellLabel(HWND hwnd) {
    return GetPropW(hwnd, kLabelProp) != nullptr;
}

HWND CreateButton(HWND parent, int id, const wchar_t* caption, const Twips& rect, bool enabled) {
    HWND h = CreateControl(parent, id, L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, 0, rect);
    EnableWindow(h, enabled);
    return h;
}

HWND CreateTextBox(HWND parent, int id, const wchar_t* text, const Twips& rect) {
    return CreateControl(parent, id, L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                         rect);
}

HWND CreateReadOnlyMemo(HWND parent, int id, const Twips& rect) {
    HWND h = CreateControl(parent, id, L"EDIT", L"",
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
                               ES_NOHIDESEL,
                           WS_EX_CLIENTEDGE, rect);
    SendMessageW(h, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SetPropW(h, kMemoProp, h);
    SetWindowSubclass(h, MemoProc, 1, 0);
    return h;
}

HWND CreateFrame(HWND parent, int id, const wchar_t* caption, const Twips& rect) {
    return CreateControl(parent, id, L"BUTTON", caption, BS_GROUPBOX, 0, rect);
}

HWND CreateOptionButton(HWND parent, int id, const wchar_t* caption, const Twips& frameRect,
                        const Twips& rectInFrame, bool firstOfGroup) {
    // Siblings of the frame (not its children) so their clicks reach the window.
    Twips r = {frameRect.left + rectInFrame.left, frameRect.top + rectInFrame.top,
               rectInFrame.width, rectInFrame.height};
    return CreateControl(parent, id, L"BUTTON", caption,
                         WS_TABSTOP | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP : 0), 0, r);
}

HBRUSH MemoBackground(HWND control, HDC dc) {
    if (!GetPropW(control, kMemoProp)) return nullptr;
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

std::wstring GetText(HWND control) {
    int len = GetWindowTextLengthW(control);
    std::wstring s(size_t(len) + 1, L'\0');
    int got = GetWindowTextW(control, &s[0], len + 1);
    s.resize(size_t(got > 0 ? got : 0));
    return s;
}

void SetText(HWND control, const std::wstring& text) {
    SetWindowTextW(control, text.c_str());
}

void AppendText(HWND edit, const std::wstring& text) {
    int len = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, len, len);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace shell
