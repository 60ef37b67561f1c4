// Pure rules of the file chooser: patterns and the folder tree rows.
#pragma once

#include <string>
#include <vector>

#include "path_rules.h"

namespace shell {

// "*.avi; *.wav" -> {"*.avi", "*.wav"}: split at ";", spaces around a part trimmed, empty
// parts dropped. A pattern with no part at all lists every file.
std::vector<std::wstring> splitPatterns(const std::wstring& pattern);

// False for characters no file name pattern may hold (a folder separator, a drive colon,
// quotes, redirections, control characters).
bool isValidPattern(const std::wstring& pattern);

// One row of the folder tree: the root, every folder down to the current one, then the
// current folder's subfolders one level deeper.
struct DirRow {
    std::wstring path;  // full path the row opens
    std::wstring label; // what the row shows (the root as given, else the folder's name)
    int depth;
};
// `path` is absolute ("C:\a\b" or "C:\"); `subfolders` are names, shown sorted without
// regard to case. The current folder's row index is currentRow(path).
std::vector<DirRow> dirTreeRows(const std::wstring& path, std::vector<std::wstring> subfolders);
int currentRow(const std::wstring& path);

// "C:\a\b\" -> "C:\a\b"; a root keeps its separator ("C:\").
std::wstring trimFolder(const std::wstring& path);

} // namespace shell
