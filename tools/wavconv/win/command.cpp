// PURNIX's command line on the platform: the conversion of the Convert button, wildcard
// names found by the system, and the shell's output of result lines.
#include "command.h"

#include "command_line.h"
#include "convert.h"
#include "form1.h"
#include "shell/command_line.h"
#include "shell/shell.h"

namespace wavconv {

int runCommand(const std::vector<std::wstring>& args) {
    shell::initProcess();
    shell::CommandOutput output(kTool.title);
    CommandLineServices platform;
    platform.expand = [](const std::wstring& pattern, std::wstring& failure) {
        DWORD error = 0;
        std::vector<std::wstring> names = shell::matchingFiles(pattern, error);
        if (error) failure = shell::systemErrorText(error);
        return names;
    };
    // The window converts full paths; so does the command line, so the exact-ANSI check
    // sees the whole name AVIFile gets.
    platform.run = [](const std::wstring& wav, const std::wstring& avi,
                      const std::wstring& streamName) {
        return convertWaveToAvi(shell::fullPath(wav), shell::fullPath(avi), streamName);
    };
    platform.identify = shell::fileKey;
    platform.write = [&output](const std::wstring& line) { output.line(line); };
    return output.finish(runCommandLine(args, platform));
}

} // namespace wavconv
