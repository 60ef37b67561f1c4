// The message loop: the open-form count, a main form's default procedure, Tab navigation
// and the access keys of labels.
#include "shell/shell.h"

#include "internal.h"
#include "letter_case.h"

namespace shell {

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

struct KeySearch {
    wchar_t key;
    HWND label;
};

BOOL CALLBACK findLabel(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<KeySearch*>(lParam);
    if (!isShellLabel(child) || !IsWindowVisible(child)) return TRUE;
    wchar_t key = accessKey(getText(child));
    if (key && upperAscii(key) == search->key) {
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
    KeySearch search = {upperAscii(wchar_t(m.wParam)), nullptr};
    EnumChildWindows(root, findLabel, reinterpret_cast<LPARAM>(&search));
    if (!search.label) return false;
    HWND target = labelTarget(search.label);
    if (!target) target = GetNextDlgTabItem(root, search.label, FALSE);
    if (target) SetFocus(target);
    return true;
}

} // namespace

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
    case WM_SETCURSOR:
        if (busy()) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
            return TRUE;
        }
        break;
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
