// A file is replaced only by a whole new one: the new content goes into a temporary file in
// the target's folder, is finished there (every fix-up runs on it), and only then takes the
// target's name. Every failure before that leaves an existing target as it was.
#pragma once

#include <windows.h>

#include <string>

#include "common/owned.h"

namespace shell {

// The platform's replace, passed in so that a test can make it fail the ways Windows
// documents (Wine never does).
struct FileMoves {
    BOOL(WINAPI* replace)
    (LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
     LPVOID reserved);
};
const FileMoves& platformMoves();

// One replacement of `target`. The temporary file has a plain ASCII name, so a target whose
// path survives the ANSI conversion exactly gives a temporary path that does too. While the
// replacement lives it holds a named guard for its temporary file; a process that ends
// inside a system library loses the guard, and the next replacement into that folder
// removes the temporary file it left behind.
class FileReplacement {
  public:
    explicit FileReplacement(std::wstring target, const FileMoves& moves = platformMoves());
    ~FileReplacement(); // removes the temporary file unless it was placed or must be kept
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Refuses a target that cannot be replaced (a folder, a read-only file, a file another
    // program holds without letting it be removed), removes the temporary files no live run
    // guards in the target's folder, then creates the empty temporary file. 0 or the
    // system's error code; targetRefused() tells which of the two failed. Called before the
    // work, so that a refusal costs the user no wait.
    DWORD begin();
    bool targetRefused() const { return targetRefused_; }
    const std::wstring& temp() const { return temp_; }

    // Flushes the finished temporary file and puts it in the target's place; an existing
    // target is replaced through a backup in the same folder, removed afterwards. 0 or the
    // system's error code. After a failure the old content is under the target's name and
    // no file of ours is left, unless keptBoth() is not empty: then the old content could
    // not be given back under its name, both files stay, and keptBoth() is the warning that
    // names them.
    DWORD commit();
    const std::wstring& keptBoth() const { return keptBoth_; }

  private:
    DWORD place();
    std::wstring target_, folder_, temp_;
    common::UniqueHandle guard_;
    const FileMoves& moves_;
    bool targetRefused_ = false;
    bool keepTemp_ = false;
    std::wstring keptBoth_;
};

} // namespace shell
