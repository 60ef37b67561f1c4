// KESTROM's work behind Save: the upgraded project written in place of a file.
#pragma once

#include <windows.h>

#include <string>

namespace updater {

// Writes `bytes` as the whole file at `path` through the shell's replace helper: a
// temporary file beside it takes its place only once complete, so a full disk or a failed
// write leaves an existing file (the chosen project itself, with an empty suffix) untouched.
// 0, or the system's error code; `keptBoth` is the warning when neither file could be
// removed.
DWORD saveProject(const std::wstring& path, const std::string& bytes, std::wstring& keptBoth);

} // namespace updater
