#include "output_checks.h"

#include <windows.h>

#include "shell/shell.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

const wchar_t kCannotDelete[] = L"既存のファイルを削除できないため、保存しませんでした。\r";

bool identity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

} // namespace

bool same_file(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!identity(a, ia) || !identity(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool remove_existing_output(const std::wstring& path, std::wstring& message) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true; // nothing to delete
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        message = path + L"\r" + kCannotDelete + shell::SystemErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    if (DeleteFileW(path.c_str())) return true;
    message = path + L"\r" + kCannotDelete + shell::SystemErrorText(GetLastError());
    return false;
}
