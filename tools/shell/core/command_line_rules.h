// The programs' command lines, apart from the platform: switches and operands with the usage
// errors both programs give, the usage, the services a run takes, the file arguments with
// their folder part and wildcards, and the result lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "letter_case.h"
#include "outcome.h"

namespace shell {

// How a switch takes its text: the next argument, whatever it is.
enum class SwitchText {
    kNone,     // a switch on its own
    kAny,      // any text, the empty one included
    kNotEmpty, // an empty text is as missing as none
};

// A switch: "/" and its name, matched whatever the case of its ASCII letters.
struct SwitchRule {
    std::wstring name; // without the "/"
    SwitchText text = SwitchText::kNone;
    bool operation = false; // chooses the run's operation: only one such switch may be given
};

// A switch as the arguments give it.
struct GivenSwitch {
    std::wstring name;  // the rule's
    std::wstring typed; // the argument as given
    std::wstring text;
    bool operation = false; // the rule's
};

struct CommandLine {
    bool help = false; // "/?" was given
    // The line that says what is wrong: the first problem in argument order (an unknown
    // switch, a switch without its text, a second operation switch), else the first that
    // the program's own checks `fail` with. Empty when the arguments can run.
    std::wstring usageError;
    std::vector<GivenSwitch> switches;  // in order
    std::vector<std::wstring> operands; // every other argument

    bool has(const std::wstring& name) const;
    // The text of the switch's last occurrence; null when it was not given.
    const std::wstring* text(const std::wstring& name) const;
    // The last operation switch given; null when there is none.
    const GivenSwitch* operation() const;
    // Keeps `line` unless an earlier problem is kept.
    void fail(const std::wstring& line);
    // "/?" or a usage error: nothing runs but the usage.
    bool stopsAtUsage() const { return help || !usageError.empty(); }
};

// Reads the arguments after the program's name.
CommandLine parseCommandLine(const std::vector<std::wstring>& args,
                             const std::vector<SwitchRule>& switches);

// Writes the usage, a line each, after the usage error's line unless "/?" was given; returns
// the exit status: kExitDone for "/?", else kExitUsage.
int writeUsage(const CommandLine& line, const std::vector<std::wstring>& usage,
               const std::function<void(const std::wstring& line)>& write);

// What a program's command-line run takes from the platform, so that it runs natively in the
// tests with the services passed in. `Job` is the signature of the program's one job, the
// one its window's button runs.
template <class Job> struct CommandLineServices {
    std::function<Job> run;
    std::function<void(const std::wstring& line)> write; // one result line
};

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
