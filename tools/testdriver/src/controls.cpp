// Controls: found by id, class or text, read, and driven the way a user would (list
// boxes, buttons, menus, text boxes, keys).

#include "driver_internal.h"

#include <algorithm>
#include <string>

#include "sync_hook.h"

namespace td {

// ---- controls ----------------------------------------------------------------------------------

HWND control(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

HWND controlByClass(HWND parent, const std::wstring& cls, int index) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiW(classOf(c).c_str(), cls.c_str()) == 0 && index-- == 0) return c;
    return nullptr;
}

HWND controlByText(HWND parent, const std::wstring& text) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (td::text(c) == text) return c;
    return nullptr;
}

std::wstring text(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len)) return L"";
    std::wstring s(size_t(len) + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(&s[0]), SMTO_NORMAL,
                        5000, &got);
    s.resize(size_t(got));
    return s;
}

std::wstring classOf(HWND hwnd) {
    wchar_t cls[256] = L"";
    GetClassNameW(hwnd, cls, 256);
    return cls;
}

bool enabled(HWND hwnd) {
    return IsWindowEnabled(hwnd) != 0;
}

RECT rectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT clientRect(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return r;
}

namespace {

// The hook that tells when a program has taken a posted marker out of its queue, loaded once
// into this test program; null parts where it cannot be had.
struct SyncHook {
    HMODULE module = nullptr;
    HOOKPROC proc = nullptr;
    UINT marker = 0;
    common::UniqueHandle event;
};

SyncHook& theSyncHook() {
    static SyncHook hook = [] {
        SyncHook h;
        h.module = LoadLibraryW(join(exeFolder(), td_hook::kDll).c_str());
        if (h.module)
            h.proc = reinterpret_cast<HOOKPROC>(
                reinterpret_cast<void*>(GetProcAddress(h.module, td_hook::kProc)));
        h.marker = RegisterWindowMessageW(td_hook::kMarker);
        std::wstring name = td_hook::kEventPrefix + std::to_wstring(GetCurrentProcessId());
        h.event.reset(CreateEventW(nullptr, FALSE, FALSE, name.c_str()));
        return h;
    }();
    return hook;
}

} // namespace

void sync(HWND hwnd) {
    // Posted messages are taken in order, so once the marker posted now is out of the queue,
    // whatever was posted before it has been handled (or waits in a modal loop, a message box
    // say, which is where the program then is). Each further marker lets through what those
    // messages posted in turn (a key's WM_CHAR).
    SyncHook& hook = theSyncHook();
    const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
    HHOOK set = thread && hook.proc && hook.marker && hook.event
                    ? SetWindowsHookExW(WH_GETMESSAGE, hook.proc, hook.module, thread)
                    : nullptr;
    if (set) {
        for (int i = 0; i < 4; ++i) {
            ResetEvent(hook.event.get());
            if (!PostMessageW(hwnd, hook.marker, 0, LPARAM(GetCurrentProcessId())) ||
                WaitForSingleObject(hook.event.get(), patience(10000)) != WAIT_OBJECT_0)
                break;
        }
        UnhookWindowsHookEx(set);
        return;
    }
    // Without the hook: a sent WM_NULL is answered at the thread's next look into its queue,
    // ahead of posted messages. A round trip lets one posted message through only when the
    // next one is not already waiting at that look, hence the pause between them.
    for (int i = 0; i < 16; ++i) {
        DWORD_PTR unused;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, patience(10000), &unused)) break;
        Sleep(2);
    }
}

// ---- list boxes and drop-down lists -----------------------------------------------------------

LRESULT ask(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, 5000, &result);
    return LRESULT(result);
}

namespace {

bool isCombo(HWND list) {
    return lstrcmpiW(classOf(list).c_str(), L"ComboBox") == 0;
}

void notify(HWND control, WORD code) {
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

} // namespace

std::vector<std::wstring> listItems(HWND list) {
    bool combo = isCombo(list);
    std::vector<std::wstring> items;
    int count = int(ask(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT len = ask(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        if (len < 0) len = 0;
        std::wstring s(size_t(len) + 1, L'\0');
        ask(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
        s.resize(size_t(len));
        items.push_back(s);
    }
    return items;
}

int listIndex(HWND list) {
    LRESULT i = ask(list, isCombo(list) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return i < 0 ? -1 : int(i);
}

int findListItem(HWND list, const std::wstring& text) {
    auto items = listItems(list);
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : int(it - items.begin());
}

void selectListItem(HWND list, int index) {
    if (isCombo(list)) {
        ask(list, CB_SETCURSEL, WPARAM(index), 0);
        notify(list, CBN_SELCHANGE);
    } else {
        ask(list, LB_SETCURSEL, WPARAM(index), 0);
        notify(list, LBN_SELCHANGE);
    }
}

bool selectListItem(HWND list, const std::wstring& text) {
    int i = findListItem(list, text);
    if (i < 0) return false;
    selectListItem(list, i);
    return true;
}

void doubleClickListItem(HWND list, int index) {
    ask(list, LB_SETCURSEL, WPARAM(index), 0);
    notify(list, LBN_SELCHANGE);
    notify(list, LBN_DBLCLK);
}

bool doubleClickListItem(HWND list, const std::wstring& text) {
    int i = findListItem(list, text);
    if (i < 0) return false;
    doubleClickListItem(list, i);
    return true;
}

bool openFolderRow(HWND dir1, const std::wstring& name) {
    auto rows = listItems(dir1);
    int current = listIndex(dir1);
    // Subfolders first (rows below the current one), then the rows above.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < int(rows.size()); ++i) {
            if ((pass == 0) != (i > current)) continue;
            std::wstring text = rows[size_t(i)];
            text.erase(0, text.find_first_not_of(L' '));
            if (text == name) {
                doubleClickListItem(dir1, i);
                return true;
            }
        }
    }
    return false;
}

// ---- buttons, menus, text boxes ----------------------------------------------------------------

bool click(HWND button) {
    if (!IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

void chooseMenu(HWND window, int commandId) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void setText(HWND edit, const std::wstring& text) {
    DWORD_PTR unused;
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        5000, &unused);
}

void typeChars(HWND edit, const std::wstring& text) {
    for (wchar_t c : text)
        PostMessageW(edit, WM_CHAR, c, 1);
}

void pressKey(HWND hwnd, UINT vk) {
    PostMessageW(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageW(hwnd, WM_KEYUP, vk, LPARAM(0xC0000001u));
}

void altKey(HWND hwnd, wchar_t letter) {
    PostMessageW(hwnd, WM_SYSCHAR, letter, LPARAM(1u | (1u << 29)));
}

void close(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

HWND focus(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

} // namespace td
