// The checks around Tamsel's inputs and output: the message for an output that cannot be
// replaced and the RIFF check of an input.
#include "output_checks.h"

#include <windows.h>

#include "riff.h"
#include "shell/shell.h"
#include "shell/win_file.h"

namespace compositor {

namespace {

const wchar_t kCannotDelete[] = L"既存のファイルを削除できないため、保存しませんでした。\r";

} // namespace

std::wstring replaceRefused(const std::wstring& path, DWORD error) {
    return path + L"\r" + kCannotDelete + shell::systemErrorText(error);
}

bool aviInputReadable(const std::wstring& path) {
    shell::Win32File store;
    if (!store.Open(path, false)) return false;
    return riff::CheckStructure(store, riff::FourCC("AVI "));
}

} // namespace compositor
