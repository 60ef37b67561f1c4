// Message boxes, the system's error texts and the busy cursor.
#include "shell/shell.h"

#include "internal.h"

#include "common/owned.h"

#include <cwchar>

namespace shell {

std::wstring systemErrorText(DWORD code) {
    common::LocalMemory<wchar_t> buffer;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<LPWSTR>(buffer.put()), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer.get(), n) : std::wstring();
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

int showMessage(HWND owner, const std::wstring& text, UINT flags, const wchar_t* caption) {
    return MessageBoxW(owner, text.c_str(), caption ? caption : tool().title, flags);
}

void messageBox(const std::wstring& text, UINT icon) {
    showMessage(mainForm(), text, MB_OK | icon);
}

namespace {

int g_busy = 0;

} // namespace

BusyCursor::BusyCursor() {
    ++g_busy;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

BusyCursor::~BusyCursor() {
    --g_busy;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

bool busy() {
    return g_busy > 0;
}

} // namespace shell
