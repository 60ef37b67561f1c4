// KESTROM's work behind Save: the upgraded project written in place of a file.
#pragma once

#include <string>

#include "outcome.h"

namespace updater {

// Writes `bytes` as the whole file at `path` through the shell's replace helper: a
// temporary file beside it takes its place only once complete, so a full disk or a failed
// write leaves an existing file (the chosen project itself, with an empty suffix) untouched.
// Done without a message, or failed with the warning: the system's error text, or the
// helper's when neither file could be removed.
shell::Outcome saveProject(const std::wstring& path, const std::string& bytes);

} // namespace updater
