#include "save.h"

#include "common/owned.h"
#include "shell/replace_file.h"
#include "shell/shell.h"

namespace updater {

namespace {

// 0, or the system's error code; `keptBoth` is the helper's warning.
DWORD writeProject(const std::wstring& path, const std::string& bytes, std::wstring& keptBoth) {
    shell::FileReplacement replacement(path);
    if (DWORD error = replacement.begin()) return error;
    DWORD error = 0;
    {
        common::UniqueFile f(CreateFileW(replacement.temp().c_str(), GENERIC_WRITE, 0, nullptr,
                                         TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return GetLastError();
        DWORD done = 0;
        bool ok = WriteFile(f.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) &&
                  done == bytes.size();
        error = ok ? 0 : (GetLastError() ? GetLastError() : ERROR_DISK_FULL);
    } // closed before the replacement moves it
    if (error) return error;
    error = replacement.commit();
    keptBoth = replacement.keptBoth();
    return error;
}

} // namespace

shell::Outcome saveProject(const std::wstring& path, const std::string& bytes) {
    std::wstring keptBoth;
    if (DWORD error = writeProject(path, bytes, keptBoth))
        return {shell::Result::kFailed, keptBoth.empty() ? shell::systemErrorText(error) : keptBoth,
                MB_ICONEXCLAMATION};
    return {shell::Result::kDone, {}, 0};
}

} // namespace updater
