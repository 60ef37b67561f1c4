// The one contract of both AVI programs' corrections of the file the platform wrote: they
// return an empty text when the file is complete, else why not, in the Japanese the
// warnings show. A test build of each program puts a failing one in their place.
#pragma once

#include <string>

#include "avi_fixup.h"
#include "shell/win_file.h"

namespace avi {

// The reason for a fix-up whose English explanation has no Japanese text of its own.
inline constexpr wchar_t kCannotFixUp[] = L"AVIファイルを修正できません。";
// A written stream that does not hold every byte it was given.
inline constexpr wchar_t kNotAllWritten[] = L"AVIファイルにすべてのデータが書き込まれていません。";

// Why the fix-up `fix` of `file` failed: the system's text when the file reported an error,
// else the fix-up's English reason in Japanese.
std::wstring fixUpFailure(const FixupResult& fix, const shell::Win32File& file);

} // namespace avi
