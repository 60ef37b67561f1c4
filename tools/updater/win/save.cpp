#include "save.h"

#include "common/owned.h"
#include "shell/replace_file.h"

namespace updater {

DWORD saveProject(const std::wstring& path, const std::string& bytes, std::wstring& keptBoth) {
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

} // namespace updater
