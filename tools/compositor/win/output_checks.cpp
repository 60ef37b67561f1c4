#include "output_checks.h"

#include <windows.h>

#include "shell/shell.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

const wchar_t kCannotDelete[] = L"既存のファイルを削除できないため、保存しませんでした。\r";

} // namespace

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
