// The conversion behind the Convert button: read the WAV file, write the one-stream AVI
// beside it, correct its stream length, and say what happened.
#pragma once

#include <windows.h>

#include <string>

#include "outcome.h"

namespace wavconv {

// Done when the AVI file was written and is in place; the message is the one to show, with
// MB_ICONEXCLAMATION for warnings and no icon for plain results.
shell::Outcome convertWaveToAvi(const std::wstring& wavPath, const std::wstring& aviPath,
                                const std::wstring& streamName);

} // namespace wavconv
