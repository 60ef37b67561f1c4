// PURNIX's command line, "PURNIX.EXE [/name TEXT] FILE...", apart from the platform: the
// platform's services are passed in.
#pragma once

#include "command_line_rules.h"

#include <functional>
#include <string>
#include <vector>

namespace wavconv {

// The conversion the Convert button runs, from the WAV file to the AVI file with that stream
// name: done, or failed with the message the window would show.
struct CommandLineServices
    : shell::CommandLineServices<shell::Outcome(const std::wstring& wav, const std::wstring& avi,
                                                const std::wstring& streamName)> {
    // The names of the files a wildcard argument matches, in name order (names only, without
    // the argument's folder); none when nothing matches. When the folder cannot be searched,
    // `failure` gets the system's reason.
    std::function<std::vector<std::wstring>(const std::wstring& pattern, std::wstring& failure)>
        expand;
    // The identity of an existing file; false when there is none.
    std::function<bool(const std::wstring& path, shell::FileKey& key)> identify;
};

// Converts every FILE of the arguments (after the program's name) in order, one line each,
// and returns the exit status. Wildcard arguments are all expanded before the first
// conversion, so an output is never taken for an input of the same call.
int runCommandLine(const std::vector<std::wstring>& args, const CommandLineServices& platform);

// The usage text, a line each.
extern const std::vector<std::wstring> kUsage;

} // namespace wavconv
