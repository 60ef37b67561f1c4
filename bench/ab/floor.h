// What the floor programs of the benchmarks share: the output is written under a temporary
// name in its folder, flushed and put in place over an existing file, as the shell's
// replace helper does it, and the floor reports its times on standard output.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace floor_ab {

// The command line's arguments as full paths (the platform's replace takes no relative
// names); empty, with the usage printed, when there are not `count` of them.
std::vector<std::wstring> FullPathArguments(int count, const char* usage);

// A new empty file with a unique name in the target's folder; empty on failure.
std::wstring TempBeside(const std::wstring& target);

// Flushes the file to disk, then gives it the target's name (over an existing target).
// 0 or the system's error code.
DWORD FlushAndPlace(const std::wstring& temp, const std::wstring& target);

// The path in the ANSI code page (the AVIFile names of PURNIX's calls).
std::string Ansi(const std::wstring& path);

// Seconds on a monotonic clock.
double Seconds();

// One line on standard output (a GUI program has no console; the benchmark redirects it).
void Say(const char* format, ...);

} // namespace floor_ab
