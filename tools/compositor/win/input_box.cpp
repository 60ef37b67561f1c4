// A small modal dialog of our own: prompt, one edit box, OK and Cancel.
#include <vector>

#include "form1.h"
#include "form1_ids.h"

namespace {

struct InputBoxState {
    const std::wstring* prompt;
    std::wstring answer;
};

void align_dword(std::vector<WORD>& t) {
    if (t.size() % 2) t.push_back(0);
}

void add_text(std::vector<WORD>& t, const std::wstring& s) {
    t.insert(t.end(), s.begin(), s.end());
    t.push_back(0);
}

void add_item(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id,
              WORD cls, const std::wstring& text) {
    align_dword(t);
    DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id};
    const WORD* raw = reinterpret_cast<const WORD*>(&item);
    t.insert(t.end(), raw, raw + sizeof(item) / sizeof(WORD));
    t.push_back(0xFFFF);
    t.push_back(cls);
    add_text(t, text);
    t.push_back(0); // no creation data
}

INT_PTR CALLBACK input_box_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        state = reinterpret_cast<InputBoxState*>(lp);
        SetDlgItemTextW(dlg, IDC_INPUT_PROMPT, state->prompt->c_str());
        SetFocus(GetDlgItem(dlg, IDC_INPUT_EDIT)); // the user types at once
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            HWND edit = GetDlgItem(dlg, IDC_INPUT_EDIT);
            int len = GetWindowTextLengthW(edit);
            std::wstring text(len + 1, L'\0');
            GetWindowTextW(edit, &text[0], len + 1);
            text.resize(len);
            state->answer = text;
            EndDialog(dlg, IDOK);
        } else if (LOWORD(wp) == IDCANCEL) {
            state->answer.clear(); // Cancel and an empty answer are the same
            EndDialog(dlg, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

std::wstring input_box(HWND owner, const std::wstring& prompt, const std::wstring& title) {
    std::vector<WORD> t;
    DLGTEMPLATE head{DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     0,
                     4,
                     0,
                     0,
                     240,
                     80};
    const WORD* raw = reinterpret_cast<const WORD*>(&head);
    t.insert(t.end(), raw, raw + sizeof(head) / sizeof(WORD));
    t.push_back(0); // no menu
    t.push_back(0); // standard dialog class
    add_text(t, title);
    t.push_back(9); // point size
    add_text(t, L"MS UI Gothic");
    add_item(t, SS_LEFT, 7, 7, 170, 40, IDC_INPUT_PROMPT, 0x0082, L"");
    add_item(t, BS_DEFPUSHBUTTON | WS_TABSTOP, 184, 7, 50, 14, IDOK, 0x0080, L"OK");
    add_item(t, BS_PUSHBUTTON | WS_TABSTOP, 184, 25, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    add_item(t, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 58, 226, 14, IDC_INPUT_EDIT, 0x0081,
             L"");
    InputBoxState state{&prompt, L""};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                            owner, input_box_proc, reinterpret_cast<LPARAM>(&state));
    return state.answer;
}
