// TAMSEL.EXE started with arguments: the composition runs without a window.
#pragma once

#include <string>
#include <vector>

namespace compositor {

// Composes what the arguments name, reports one line and returns the exit status.
int runCommand(const std::vector<std::wstring>& args);

} // namespace compositor
