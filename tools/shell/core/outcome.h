// What came of the one job each program does (TAMSEL's composition, PURNIX's conversion,
// KESTROM's save): the window shows its message, the command line turns it into a line and an
// exit status.
#pragma once

#include <string>

namespace shell {

// What a command-line run returns.
enum ExitStatus : int {
    kExitDone = 0,   // every file was done
    kExitFailed = 1, // some file failed; the others were still done
    kExitUsage = 2,  // the command line itself is wrong: nothing was done
};

enum class Result {
    kDone,
    kFailed,    // a check refused the files or the name, or the work itself failed
    kCancelled, // the user cancelled a dialog of the job: nothing written
};

struct Outcome {
    Result result = Result::kFailed;
    std::wstring text; // the message the window shows; empty when it shows none
    unsigned icon = 0; // the message box's icon flag (MB_ICONEXCLAMATION), 0 for none

    // A job that is not done leaves the command line's run failed.
    int exitStatus() const { return result == Result::kDone ? kExitDone : kExitFailed; }
};

} // namespace shell
