// TAMSEL's command line on the platform: the run of the Compress button, its options either
// asked in the platform's dialog or left empty, and the shell's output of result lines.
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
    const CommandRequest command = readCommandLine(args);
    if (command.help || !command.usageError.empty()) {
        if (!command.help) output.line(command.usageError);
        for (const std::wstring& line : kUsage)
            output.line(line);
        return output.finish(command.help ? shell::kExitDone : shell::kExitUsage);
    }
    // Every line names the video file as the arguments do.
    auto say = [&](const std::wstring& text) {
        output.line(shell::resultLine(command.video, text));
    };
    ComposeRequest request;
    request.operation = command.operation;
    request.video = shell::fullPath(command.video);
    if (needsAudioFile(command.operation)) request.audio = shell::fullPath(command.audio);
    request.outputName = command.outputName;
    request.compression = command.options ? Compression::kAsk : Compression::kCopy;
    ComposeEvents events;
    events.notice = [&](const std::wstring& text, UINT) { say(text); };
    const ComposeOutcome outcome = composeAvi(request, events);
    switch (outcome.result) {
    case ComposeResult::kWritten:
        say(shownOutput(command));
        return output.finish(shell::kExitDone);
    case ComposeResult::kCancelled:
        say(kCancelledText);
        break;
    case ComposeResult::kRefused:
        say(outcome.text);
        break;
    }
    return output.finish(shell::kExitFailed);
}

} // namespace compositor
