// TAMSEL's command line, "TAMSEL.EXE /add|/replace|/keep|/delete VIDEO [AUDIO] /out NAME
// [/options]", read apart from the platform.
#pragma once

#include <string>
#include <vector>

#include "stream_plan.h"

namespace compositor {

// What the arguments ask for. Switches are matched whatever the case of their letters.
struct CommandRequest {
    bool help = false;       // "/?": print the usage and do nothing else
    std::wstring usageError; // the line that says why the arguments cannot run; empty if they can
    AudioOperation operation = AudioOperation::kAdd;
    std::wstring video;      // as given
    std::wstring audio;      // as given; Add and Replace only
    std::wstring outputName; // the text after /out
    bool options = false;    // /options: the platform's compression dialog
};

// Reads the arguments after the program's name.
CommandRequest readCommandLine(const std::vector<std::wstring>& args);

// The written file as the arguments name it: the completed output name, in VIDEO's folder
// as given unless the name holds "\\".
std::wstring shownOutput(const CommandRequest& request);

// The usage text, a line each.
extern const std::vector<std::wstring> kUsage;

// The line's text when the compression dialog was cancelled.
extern const wchar_t kCancelledText[];

} // namespace compositor
