// The conversion's naming and stream-header rules, free of any platform call.
#pragma once

#include "wave_reader.h"

#include <cstdint>
#include <functional>
#include <string>

namespace wavconv {

// The file name up to and including its first ".", then "avi"; ".avi" appended to a name
// without one. "take.1.wav" -> "take.avi".
std::wstring outputFileName(const std::wstring& wavName);

// The file name before its first "." (the whole name without one).
std::wstring streamNameFromFile(const std::wstring& wavName);

constexpr size_t kStreamNameField = 64;

// Copies an ANSI stream name into the 64-byte field: at most 63 bytes and a NUL, zero
// filled. charBytes tells from the first byte of a character how many bytes it has in the
// code page, so that a cut never leaves part of a character at the end.
void fillStreamName(const std::string& ansi, char (&field)[kStreamNameField],
                    const std::function<size_t(uint8_t)>& charBytes);
// The bytes of a UTF-8 character, from its first byte (1 for a byte that starts none).
size_t utf8CharBytes(uint8_t lead);

// The stream header fields of a one-stream audio AVI; every field not here is 0.
struct AudioStreamHeader {
    uint32_t fccType = 0;
    uint32_t dwScale = 0;
    uint32_t dwRate = 0;
    uint32_t dwStart = 0;
    uint32_t dwLength = 0;
    uint32_t dwQuality = 0;
    uint32_t dwSampleSize = 0;
};

// The bytes of the whole blocks in sampleBytes.
uint32_t wholeBlockBytes(uint32_t sampleBytes, const WaveFormat& f);

// The stream's bytes for sampleBytes of data: every one of them, and a last block that the
// data ends inside (an interrupted recording, or MP3 in WAV, whose nBlockAlign is only
// nominal) filled up with zero bytes. The platform writes and reads whole blocks only:
// cut short, that block would be dropped by its writer, and a header that counted it would
// make its reader end the process.
uint32_t streamBytes(uint32_t sampleBytes, const WaveFormat& f);

// Header for sampleBytes bytes of the format f (f must have passed readWaveFile):
// length = sampleBytes / nBlockAlign rounded half to even.
AudioStreamHeader makeStreamHeader(const WaveFormat& f, uint32_t sampleBytes);

} // namespace wavconv
