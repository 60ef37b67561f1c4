// PURNIX.EXE started with arguments: the command line runs without a window.
#pragma once

#include <string>
#include <vector>

namespace wavconv {

// Converts the files the arguments name, reports a line each and returns the exit status.
int runCommand(const std::vector<std::wstring>& args);

} // namespace wavconv
