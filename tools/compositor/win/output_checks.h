// File-level guards around the AVIFile calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace compositor {

// False for a file whose RIFF structure is damaged or truncated: AVIFile crashes while
// reading such a file, so it is refused before it is opened.
bool aviInputReadable(const std::wstring& path);

// The warning for an existing output that cannot be replaced, with the system's reason.
std::wstring replaceRefused(const std::wstring& path, unsigned long error);

// A stream the save copied unchanged, and where it came from.
struct KeptStream {
    size_t index; // in the output
    std::vector<uint8_t> format;
    std::wstring source;
    size_t source_audio; // its number among the source's audio streams
};

// Corrects in place the header fields the platform's writer may get wrong, and cuts the
// zero bytes it leaves after the RIFF chunk. False when the written file cannot be read
// back as a sound AVI, a kept stream did not arrive whole, or a correction fails.
bool fixUpOutput(const std::wstring& path, const std::vector<KeptStream>& kept);

} // namespace compositor
