// The corrections of a written AVI file, in a file of their own so that a test build can
// put a failing one in their place (the contract is fixup_failure.h's).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wavconv {

// Checks the released file, corrects what the platform writes wrong (audio length,
// format extension, double-byte stream name, trailing zeros), and makes sure every sample
// arrived. Empty when the file is complete, else the reason in Japanese.
std::wstring finishAvi(const std::wstring& aviPath, uint32_t sampleBytes,
                       const std::vector<uint8_t>& format, const std::string& name);

} // namespace wavconv
