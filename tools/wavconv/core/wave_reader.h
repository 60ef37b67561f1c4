// Reading a WAV file: the RIFF/WAVE check, the 18-byte format record and the whole
// "data" chunk. Pure: reads from a riff::ByteStore.
#pragma once

#include "riff.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace wavconv {

// The 18-byte format record, fields in file order.
struct WaveFormat {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    int32_t nSamplesPerSec = 0;
    int32_t nAvgBytesPerSec = 0;
    int16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};
constexpr size_t kWaveFormatSize = 18;

struct WaveData {
    WaveFormat format;
    uint8_t formatBytes[kWaveFormatSize] = {}; // the record as stored, zero beyond the chunk
    // The cbSize bytes that follow the record in the format chunk (extensible and
    // compressed formats).
    std::vector<uint8_t> formatExtension;
    // The samples: in place in the file when its store can show them (no copy of a large
    // file), else in buffer. Valid while the store and this record live.
    const uint8_t* samples = nullptr;
    std::unique_ptr<uint8_t[]> buffer;
    uint32_t size = 0;         // bytes in samples: the declared size, or what the file holds
    uint32_t declaredSize = 0; // size given by the "data" chunk header
    uint64_t dataOffset = 0;   // where the samples start in the file
};

enum class WaveStatus {
    kOk,
    kRefused,     // not a WAV file this converter can take
    kReadError,   // the byte store failed
    kOutOfMemory, // no buffer for the samples
};

// Reads the file into data. Refuses, besides the structure rules: a file over 2 GB, a
// chunk size that is negative or runs past the end of the file, a format chunk that does
// not hold the extension bytes its cbSize announces, no "data" chunk, an nBlockAlign that
// is not positive, and a rate (nBlockAlign x nSamplesPerSec) that is not a positive 32-bit
// value. A "data" chunk that declares more than the file holds gives
// the bytes that are there.
WaveStatus readWaveFile(riff::ByteStore& file, WaveData& data);

// The format handed to the AVI stream: the 18-byte record followed by its extension, so
// that a record announcing cbSize extra bytes never arrives without them.
std::vector<uint8_t> streamFormat(const WaveData& data);

} // namespace wavconv
