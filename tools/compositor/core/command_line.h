// TAMSEL's command line, "TAMSEL.EXE /add|/replace|/keep|/delete VIDEO [AUDIO] /out NAME
// [/options]", apart from the platform: the platform's services are passed in.
#pragma once

#include <string>
#include <vector>

#include "command_line_rules.h"
#include "stream_plan.h"

namespace compositor {

// What the arguments ask for. Switches are matched whatever the case of their letters.
struct CommandRequest {
    shell::CommandLine line; // "/?", the usage error, the switches and files as given
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

// The composition the Compress button runs, on what the arguments ask for; `notice` takes
// what it says before its result (the streams it leaves out).
using CommandLineServices = shell::CommandLineServices<shell::Outcome(
    const CommandRequest& request, const std::function<void(const std::wstring&)>& notice)>;

// Composes what the arguments name, one line for each thing the run says (each naming VIDEO
// as given), and returns the exit status.
int runCommandLine(const std::vector<std::wstring>& args, const CommandLineServices& platform);

// The usage text, a line each.
extern const std::vector<std::wstring> kUsage;

} // namespace compositor
