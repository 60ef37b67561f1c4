// The conversion behind the Convert button: read the WAV file, write the one-stream AVI
// beside it, correct its stream length, and say what happened.
#pragma once

#include <windows.h>

#include <string>

namespace wavconv {

struct Outcome {
    std::wstring text;    // the message to show
    UINT icon = 0;        // MB_ICONEXCLAMATION for warnings, 0 for plain results
    bool created = false; // the AVI file was written and is in place
};

Outcome convertWaveToAvi(const std::wstring& wavPath, const std::wstring& aviPath,
                         const std::wstring& streamName);

} // namespace wavconv
