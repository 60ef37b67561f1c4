// Twips layout scaled by the screen's DPI, the shared font and control creation.
#include "shell/shell.h"

#include "internal.h"

#include "common/owned.h"

#include <commctrl.h>

#include <algorithm>

namespace shell {

namespace {

int screenDpi(int index) {
    static int dpi[2] = {0, 0};
    int slot = index == LOGPIXELSX ? 0 : 1;
    if (!dpi[slot]) {
        common::WindowDC screen(nullptr);
        dpi[slot] = GetDeviceCaps(screen.get(), index);
        if (dpi[slot] <= 0) dpi[slot] = 96;
    }
    return dpi[slot];
}

HFONT makeGothic(int tenthsOfPoint) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(tenthsOfPoint, screenDpi(LOGPIXELSY), 720);
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
LRESULT CALLBACK memoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
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
        // What createReadOnlyMemo set goes with the window.
        RemovePropW(hwnd, kMemoProp);
        RemoveWindowSubclass(hwnd, memoProc, 1);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// Only here to take back what createLabel and setLabelTarget set.
LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kLabelProp);
        RemovePropW(hwnd, kTargetProp);
        RemoveWindowSubclass(hwnd, labelProc, 1);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace

int twipsToPixelsX(int twips) {
    return MulDiv(twips, screenDpi(LOGPIXELSX), 1440);
}
int twipsToPixelsY(int twips) {
    return MulDiv(twips, screenDpi(LOGPIXELSY), 1440);
}

RECT toPixels(const Twips& t) {
    RECT r;
    r.left = twipsToPixelsX(t.left);
    r.top = twipsToPixelsY(t.top);
    r.right = r.left + twipsToPixelsX(t.width);
    r.bottom = r.top + twipsToPixelsY(t.height);
    return r;
}

HFONT controlFont() {
    static HFONT font = makeGothic(90);
    return font;
}

HFONT helpFont() {
    static HFONT font = makeGothic(97); // 9.75 pt, rounded to the nearest pixel height
    return font;
}

HWND createForm(const wchar_t* className, const wchar_t* caption, int clientWidthTwips,
                int clientHeightTwips, HINSTANCE instance) {
    HMENU bar = CreateMenu();
    HMENU option = CreatePopupMenu();
    AppendMenuW(option, MF_STRING, kIdMenuAbout, L"&About...");
    AppendMenuW(option, MF_STRING, kIdMenuHelp, L"&Help...");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(option), L"&Option");
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r = {0, 0, twipsToPixelsX(clientWidthTwips), twipsToPixelsY(clientHeightTwips)};
    AdjustWindowRectEx(&r, style, TRUE, WS_EX_CONTROLPARENT);
    return CreateWindowExW(WS_EX_CONTROLPARENT, className, caption, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, bar,
                           instance, nullptr);
}

HWND createControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, const Twips& rect) {
    RECT r = toPixels(rect);
    HWND h = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (h) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont()), FALSE);
    return h;
}

HWND createLabel(HWND parent, int id, const wchar_t* caption, const Twips& rect) {
    HWND h = createControl(parent, id, L"STATIC", caption, SS_LEFT | SS_LEFTNOWORDWRAP, 0, rect);
    // The Japanese Gothic face runs wider than the rectangles were drawn for: a label grows
    // to its text (never shrinks), keeping its place.
    RECT need = {0, 0, 0, 0};
    {
        common::WindowDC dc(h);
        common::Selection font(dc.get(), controlFont());
        DrawTextW(dc.get(), caption, -1, &need, DT_CALCRECT | DT_SINGLELINE);
    }
    RECT r = toPixels(rect);
    int w = std::max<int>(r.right - r.left, need.right + 1);
    int ht = std::max<int>(r.bottom - r.top, need.bottom);
    SetWindowPos(h, nullptr, 0, 0, w, ht, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetPropW(h, kLabelProp, reinterpret_cast<HANDLE>(1));
    SetWindowSubclass(h, labelProc, 1, 0);
    return h;
}

void setLabelTarget(HWND label, HWND target) {
    SetPropW(label, kTargetProp, target);
}

HWND labelTarget(HWND label) {
    return static_cast<HWND>(GetPropW(label, kTargetProp));
}

bool isShellLabel(HWND hwnd) {
    return GetPropW(hwnd, kLabelProp) != nullptr;
}

HWND createButton(HWND parent, int id, const wchar_t* caption, const Twips& rect, bool enabled) {
    HWND h = createControl(parent, id, L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, 0, rect);
    EnableWindow(h, enabled);
    return h;
}

HWND createTextBox(HWND parent, int id, const wchar_t* text, const Twips& rect) {
    return createControl(parent, id, L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                         rect);
}

HWND createReadOnlyMemo(HWND parent, int id, const Twips& rect) {
    HWND h = createControl(parent, id, L"EDIT", L"",
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
                               ES_NOHIDESEL,
                           WS_EX_CLIENTEDGE, rect);
    SendMessageW(h, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SetPropW(h, kMemoProp, h);
    SetWindowSubclass(h, memoProc, 1, 0);
    return h;
}

HWND createFrame(HWND parent, int id, const wchar_t* caption, const Twips& rect) {
    return createControl(parent, id, L"BUTTON", caption, BS_GROUPBOX, 0, rect);
}

HWND createOptionButton(HWND parent, int id, const wchar_t* caption, const Twips& frameRect,
                        const Twips& rectInFrame, bool firstOfGroup) {
    // Siblings of the frame (not its children) so their clicks reach the window.
    Twips r = {frameRect.left + rectInFrame.left, frameRect.top + rectInFrame.top,
               rectInFrame.width, rectInFrame.height};
    return createControl(parent, id, L"BUTTON", caption,
                         WS_TABSTOP | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP : 0), 0, r);
}

HBRUSH memoBackground(HWND control, HDC dc) {
    return GetPropW(control, kMemoProp) ? textBoxBackground(dc) : nullptr;
}

HBRUSH textBoxBackground(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

std::wstring getText(HWND control) {
    int len = GetWindowTextLengthW(control);
    std::wstring s(size_t(len) + 1, L'\0');
    int got = GetWindowTextW(control, &s[0], len + 1);
    s.resize(size_t(got > 0 ? got : 0));
    return s;
}

void setText(HWND control, const std::wstring& text) {
    SetWindowTextW(control, text.c_str());
}

void appendText(HWND edit, const std::wstring& text) {
    int len = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, len, len);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace shell
