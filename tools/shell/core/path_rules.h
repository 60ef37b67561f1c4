// Where a program's files land: joining a folder and a name, and the output path of a
// typed answer. Shared by the three programs and the chooser.
#pragma once

#include <string>

namespace shell {

// Which trailing character already ends a folder. The chooser's folders may end in "/"
// (a drive's root as the system can give it); PURNIX's and TAMSEL's output paths add a "\"
// unless the folder ends in "\", as their naming rule says.
enum class FolderEnd { kBackslashOrSlash, kBackslashOnly };

// Folder + "\" unless it already ends in a separator (as `end` counts them) + name.
std::wstring joinPath(const std::wstring& folder, const std::wstring& name, FolderEnd end);

// A typed answer without any backslash lands in the folder ("\" counts as its end);
// anything else is used as typed.
std::wstring outputPath(const std::wstring& folder, const std::wstring& answer);

// A name the programs give their temporary files: "QLN", one to four hexadecimal digits,
// ".tmp" (letter case ignored), as the system's temporary names with that prefix are made.
bool isTemporaryName(const std::wstring& name);

// The name of the kernel object a run holds while its temporary file at `fullPath` is in
// use: the same for every spelling of the path in another letter case.
std::wstring temporaryGuardName(const std::wstring& fullPath);

} // namespace shell
