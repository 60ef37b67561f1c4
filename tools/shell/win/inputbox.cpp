// The modal input box: an in-memory dialog template, so it is a #32770 dialog like a
// message box and test tools find it the same way.
#include "shell/shell.h"

#include <vector>

namespace shell {

namespace {

enum : WORD { kIdPrompt = 0xFFFF, kIdEdit = 1000 };

struct InputState {
    const std::wstring* initial;
    std::wstring* text;
};

// Appends a WORD-aligned chunk to the template.
void align(std::vector<WORD>& t, size_t bytes) {
    while ((t.size() * 2) % bytes)
        t.push_back(0);
}

void pushString(std::vector<WORD>& t, const std::wstring& s) {
    for (wchar_t c : s)
        t.push_back(WORD(c));
    t.push_back(0);
}

void pushItem(std::vector<WORD>& t, DWORD style, DWORD exStyle, short x, short y, short cx,
              short cy, WORD id, WORD classAtom, const std::wstring& text) {
    align(t, 4);
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.dwExtendedStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    const WORD* raw = reinterpret_cast<const WORD*>(&item);
    t.insert(t.end(), raw, raw + sizeof(item) / 2);
    t.push_back(0xFFFF);
    t.push_back(classAtom);
    pushString(t, text);
    t.push_back(0); // no creation data
}

INT_PTR CALLBACK inputProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        state = reinterpret_cast<InputState*>(lParam);
        SetDlgItemTextW(dlg, kIdEdit, state->initial->c_str());
        SendDlgItemMessageW(dlg, kIdEdit, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dlg, kIdEdit));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            *state->text = getText(GetDlgItem(dlg, kIdEdit));
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool inputBox(HWND owner, const std::wstring& prompt, const std::wstring& caption,
              const std::wstring& initial, std::wstring& text) {
    std::vector<WORD> t;
    DLGTEMPLATE dlg = {};
    dlg.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dlg.cdit = 4;
    dlg.cx = 240;
    dlg.cy = 90;
    const WORD* raw = reinterpret_cast<const WORD*>(&dlg);
    t.insert(t.end(), raw, raw + sizeof(dlg) / 2);
    t.push_back(0); // no menu
    t.push_back(0); // standard class
    pushString(t, caption);
    t.push_back(9); // point size
    pushString(t, L"ＭＳ Ｐゴシック");
    pushItem(t, SS_LEFT, 0, 7, 7, 170, 50, kIdPrompt, 0x0082, prompt);
    pushItem(t, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 186, 7, 48, 14, IDOK, 0x0080, L"OK");
    pushItem(t, BS_PUSHBUTTON | WS_TABSTOP, 0, 186, 25, 48, 14, IDCANCEL, 0x0080, L"キャンセル");
    pushItem(t, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 0, 7, 68, 226, 14, kIdEdit, 0x0081, L"");
    text.clear();
    InputState state = {&initial, &text};
    INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                        reinterpret_cast<const DLGTEMPLATE*>(t.data()), owner,
                                        inputProc, reinterpret_cast<LPARAM>(&state));
    if (r != IDOK) text.clear();
    return r == IDOK;
}

} // namespace shell
