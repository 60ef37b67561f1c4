// TAMSEL's run, apart from the window that starts it: checks the output name against the
// sources, gathers the streams of the operation, takes the compression options and writes
// the new AVI file. The window and the command line both call it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "outcome.h"
#include "stream_plan.h"

namespace compositor {

// How the option records of the run are filled.
enum class Compression {
    kAsk,  // the platform's dialog, each record starting from its stream's own format
    kCopy, // every record empty: every stream is copied as it is, no codec involved
};

struct ComposeRequest {
    AudioOperation operation = AudioOperation::kAdd;
    std::wstring video;      // the video file's path; its folder is the output's default
    std::wstring audio;      // the audio file's path, read for Add and Replace only
    std::wstring outputName; // the output name as the user gave it, not empty
    Compression compression = Compression::kAsk;
    HWND owner = nullptr; // of the dialog; null for none
};

struct ComposeEvents {
    std::function<void(int percent)> progress; // while the save runs
    // A message the run shows before the dialog and then goes on (streams left out).
    std::function<void(const std::wstring& text, UINT icon)> notice;
};

// Failed when a check refuses the files or the name or the save fails; cancelled with the
// compression dialog; the message is the window's, empty when it shows none.
shell::Outcome composeAvi(const ComposeRequest& request, const ComposeEvents& events);

} // namespace compositor
