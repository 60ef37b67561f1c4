#include "shell/replace_file.h"

#include "common/owned.h"
#include "path_rules.h"
#include "shell/command_line.h"

namespace shell {

namespace {

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A new empty file with a unique plain ASCII name in the folder; empty on failure.
std::wstring uniqueFile(const std::wstring& folder, const wchar_t* prefix, DWORD& error) {
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), prefix, 0, name)) return name;
    error = GetLastError();
    return {};
}

// Temporary files of runs that ended without removing theirs: no live run holds the guard
// named after them. A file another process still writes cannot be deleted either.
void sweepOrphans(const std::wstring& folder) {
    const std::wstring dir = folder.empty() ? L".\\" : folder;
    WIN32_FIND_DATAW found;
    common::FindHandle find(FindFirstFileW((dir + L"QLN*.tmp").c_str(), &found));
    if (!find) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !isTemporaryName(found.cFileName))
            continue;
        const std::wstring path = dir + found.cFileName;
        common::UniqueHandle guard(
            OpenMutexW(SYNCHRONIZE, FALSE, temporaryGuardName(fullPath(path)).c_str()));
        if (!guard) DeleteFileW(path.c_str());
    } while (FindNextFileW(find.get(), &found));
}

DWORD flush(const std::wstring& path) {
    common::UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return GetLastError();
    return FlushFileBuffers(f.get()) ? 0 : GetLastError();
}

} // namespace

const FileMoves& platformMoves() {
    static const FileMoves moves{ReplaceFileW};
    return moves;
}

FileReplacement::FileReplacement(std::wstring target, const FileMoves& moves)
    : target_(std::move(target)), moves_(moves) {
    folder_ = target_.substr(0, target_.find_last_of(L"\\/") + 1);
}

FileReplacement::~FileReplacement() {
    if (!temp_.empty() && !keepTemp_) DeleteFileW(temp_.c_str());
}

DWORD FileReplacement::begin() {
    sweepOrphans(folder_);
    DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        targetRefused_ = true;
        // A read-only file is a lock the user set (a project under source control): Windows'
        // replace may go through it and drop it, Wine's fails only after all the work.
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
            return ERROR_ACCESS_DENIED;
        // Held by another program without delete sharing: say so before anything is written.
        common::UniqueFile probe(CreateFileW(
            target_.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) return GetLastError();
        targetRefused_ = false;
    }
    DWORD error = 0;
    temp_ = uniqueFile(folder_, L"QLN", error);
    if (!temp_.empty())
        guard_.reset(CreateMutexW(nullptr, FALSE, temporaryGuardName(fullPath(temp_)).c_str()));
    return error;
}

DWORD FileReplacement::commit() {
    DWORD error = flush(temp_);
    if (error) return error;
    error = place();
    if (!error) temp_.clear(); // it is the target now
    return error;
}

DWORD FileReplacement::place() {
    if (!exists(target_))
        return MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH) ? 0
                                                                                   : GetLastError();
    // With a backup name every documented failure leaves both texts under names known here.
    DWORD error = 0;
    std::wstring backup = uniqueFile(folder_, L"QLB", error);
    if (backup.empty()) return error;
    DeleteFileW(backup.c_str()); // the name is ours; the replace makes the file
    // Replacing keeps the target's attributes.
    if (moves_.replace(target_.c_str(), temp_.c_str(), backup.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        // The backup carries the old file's attributes: a read-only one is not deleted
        // until they are cleared. The save itself succeeded; nothing more is said.
        if (!DeleteFileW(backup.c_str())) {
            SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(backup.c_str());
        }
        return 0;
    }
    error = GetLastError();
    if (isFile(target_)) {
        // Both kept their names (the replaced file could not be removed, or the new one
        // could not be moved): the old content is in place.
        DeleteFileW(backup.c_str());
        return error;
    }
    // The old content survives only under the backup name: give it back its own.
    if (MoveFileExW(backup.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) return error;
    keepTemp_ = true;
    // The new file stays under a name that no later sweep of temporary files takes.
    DWORD unused = 0;
    std::wstring kept = uniqueFile(folder_, L"QLS", unused);
    if (!kept.empty()) {
        if (MoveFileExW(temp_.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING))
            temp_ = kept;
        else
            DeleteFileW(kept.c_str());
    }
    keptBoth_ = std::wstring(L"ファイルを置き換えられませんでした。\r") +
                L"元のファイルは次の名前で残っています。\r" + backup + L"\r" +
                L"新しいファイルは次の名前で保存されています。\r" + temp_;
    return error;
}

} // namespace shell
