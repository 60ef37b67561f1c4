// A WH_GETMESSAGE hook that td::sync sets on the thread of a program under test, so that
// a test learns when the program has taken everything posted before the marker out of its
// queue. Loaded into the program's process by the system; nothing in it is a deliverable.
#include <windows.h>

#include <cwchar>

#include "sync_hook.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK
    tdSyncHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT marker = RegisterWindowMessageW(td_hook::kMarker);
    auto* m = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && m && marker && m->message == marker) {
        wchar_t name[64];
        std::swprintf(name, 64, L"%ls%lu", td_hook::kEventPrefix,
                      static_cast<unsigned long>(m->lParam));
        if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
            SetEvent(event);
            CloseHandle(event);
        }
        m->message = WM_NULL;
        m->wParam = 0;
        m->lParam = 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
