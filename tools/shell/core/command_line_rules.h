// The programs' command lines, apart from the platform: switches and operands, the file
// arguments with their folder part and wildcards, the result lines and the exit status.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "letter_case.h"

namespace shell {

// What a command-line run returns.
enum ExitStatus : int {
    kExitDone = 0,   // every file was done
    kExitFailed = 1, // some file failed; the others were still done
    kExitUsage = 2,  // the command line itself is wrong: nothing was done
};

// A switch: "/" and its name, matched whatever the case of its ASCII letters. One that
// takes text takes the next argument, whatever it is.
struct SwitchRule {
    std::wstring name;
    bool takesText;
};

struct CommandLine {
    bool help = false;          // "/?" was given
    std::wstring unknownSwitch; // the first argument starting with "/" that names no switch
    std::wstring missingText;   // a switch that takes text but ends the line
    std::vector<std::pair<std::wstring, std::wstring>> switches; // in order: name, text
    std::vector<std::wstring> operands;                          // every other argument

    bool usageError() const { return !unknownSwitch.empty() || !missingText.empty(); }
    bool has(const std::wstring& name) const;
    // The text of the switch's last occurrence; null when it was not given.
    const std::wstring* text(const std::wstring& name) const;
};

// Reads the arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::wstring>& args,
                             const std::vector<SwitchRule>& switches);

// A message on one line: each line break in it (CR, LF or CR LF) becomes "; ".
std::wstring oneLine(const std::wstring& message);
// "subject: text", the text on one line.
std::wstring resultLine(const std::wstring& subject, const std::wstring& text);

// A file argument as the part before its name (a folder and its separator, or a drive
// "C:" alone, which means that drive's current folder; empty for the current folder) and
// the name. The name is what wildcards apply to and what output names are made from.
struct FileArgument {
    std::wstring folder;
    std::wstring name;
};
FileArgument splitFileArgument(const std::wstring& argument);
bool hasWildcard(const std::wstring& name); // "*" or "?"

// Whether a file's long name matches a wildcard pattern: "?" is one character, "*" any run
// of them, other characters are compared after `upper` (ASCII letters unless the platform's
// own upper case is passed). A pattern ending in ".*" also matches what the part before it
// matches alone, so "*.*" takes a name without a dot, as a Windows prompt does. The system's
// search matches 8.3 aliases as well ("*.wav" finds "music.wave" through "MUSIC~1.WAV"): its
// results go through this rule.
bool matchesWildcard(const std::wstring& pattern, const std::wstring& name,
                     wchar_t (*upper)(wchar_t) = upperAscii);

// A file's identity on its volume (serial, index): the same for every spelling of it.
using FileKey = std::pair<uint32_t, uint64_t>;

} // namespace shell
