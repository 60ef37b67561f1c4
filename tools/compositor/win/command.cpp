// TAMSEL's command line on the platform: the run of the Compress button on full paths, its
// options either asked in the platform's dialog or left empty, and the shell's output of
// result lines.
#include "command.h"

#include "command_line.h"
#include "compose.h"
#include "form1.h"
#include "shell/command_line.h"
#include "shell/shell.h"

namespace compositor {

int runCommand(const std::vector<std::wstring>& args) {
    shell::initProcess();
    shell::CommandOutput output(kTool.title);
    CommandLineServices platform;
    platform.run = [](const CommandRequest& command,
                      const std::function<void(const std::wstring&)>& notice) {
        ComposeRequest request;
        request.operation = command.operation;
        request.video = shell::fullPath(command.video);
        if (needsAudioFile(command.operation)) request.audio = shell::fullPath(command.audio);
        request.outputName = command.outputName;
        request.compression = command.options ? Compression::kAsk : Compression::kCopy;
        ComposeEvents events;
        events.notice = [&notice](const std::wstring& text, UINT) { notice(text); };
        return composeAvi(request, events);
    };
    platform.write = [&output](const std::wstring& line) { output.line(line); };
    return output.finish(runCommandLine(args, platform));
}

} // namespace compositor
