// The corrections of the file the platform wrote, in output_fixup.cpp so that a test build
// can put a failing one in their place (the contract is fixup_failure.h's).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace compositor {

// A stream the save copied unchanged, and where it came from.
struct KeptStream {
    size_t index; // in the output
    std::vector<uint8_t> format;
    std::wstring source;
    size_t sourceAudio; // its number among the source's audio streams
};

// Corrects in place the header fields the platform's writer may get wrong, and cuts the
// zero bytes it leaves after the RIFF chunk; a video stream that holds `videoSource`'s
// frames unchanged gets their format record and key-frame flags back. Empty when the file
// is complete, else the reason in Japanese: the written file cannot be read back as a sound
// AVI, a kept stream did not arrive whole, or a correction fails.
std::wstring fixUpOutput(const std::wstring& path, const std::vector<KeptStream>& kept,
                         const std::wstring& videoSource);

} // namespace compositor
