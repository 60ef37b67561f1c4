#include "wave_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace wavconv {

namespace {

constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;

bool readTagAndSize(riff::ByteStore& file, uint64_t pos, uint32_t& tag, int32_t& size) {
    uint8_t b[8];
    if (!file.Read(pos, b, 8)) return false;
    tag = riff::loadU32(b);
    size = int32_t(riff::loadU32(b + 4));
    return true;
}

void decodeFormat(WaveData& data) {
    const uint8_t* p = data.formatBytes;
    WaveFormat& f = data.format;
    f.wFormatTag = riff::loadU16(p);
    f.nChannels = riff::loadU16(p + 2);
    f.nSamplesPerSec = int32_t(riff::loadU32(p + 4));
    f.nAvgBytesPerSec = int32_t(riff::loadU32(p + 8));
    f.nBlockAlign = int16_t(riff::loadU16(p + 12));
    f.wBitsPerSample = riff::loadU16(p + 14);
    f.cbSize = riff::loadU16(p + 16);
}

} // namespace

WaveStatus readWaveFile(riff::ByteStore& file, WaveData& data) {
    data = WaveData{};
    const uint64_t end = file.Size();
    if (end > kMaxFileSize || end < 20) return WaveStatus::kRefused;
    uint32_t tag = 0;
    int32_t size = 0;
    if (!readTagAndSize(file, 0, tag, size)) return WaveStatus::kReadError;
    if (tag != riff::fourCC("RIFF")) return WaveStatus::kRefused; // size not examined
    uint8_t form[4];
    if (!file.Read(8, form, 4)) return WaveStatus::kReadError;
    if (riff::loadU32(form) != riff::fourCC("WAVE")) return WaveStatus::kRefused;

    if (!readTagAndSize(file, 12, tag, size)) return WaveStatus::kReadError;
    if (tag != riff::fourCC("fmt ") || size < 0 || uint64_t(size) > end - 20)
        return WaveStatus::kRefused;
    // Fields beyond a short format chunk stay 0; bytes of the next chunk never count.
    size_t take = std::min<size_t>(size_t(size), kWaveFormatSize);
    if (!file.Read(20, data.formatBytes, take)) return WaveStatus::kReadError;
    decodeFormat(data);
    // A record announcing extension bytes its chunk does not hold describes a format
    // that is not there.
    if (data.format.cbSize > 0) {
        if (uint64_t(size) < kWaveFormatSize + data.format.cbSize) return WaveStatus::kRefused;
        data.formatExtension.resize(data.format.cbSize);
        if (!file.Read(20 + kWaveFormatSize, data.formatExtension.data(), data.format.cbSize))
            return WaveStatus::kReadError;
    }
    uint64_t pos = 20 + uint64_t(size) + (size & 1);

    for (;;) {
        if (pos + 8 > end) return WaveStatus::kRefused; // no "data" chunk
        if (!readTagAndSize(file, pos, tag, size)) return WaveStatus::kReadError;
        if (size < 0) return WaveStatus::kRefused;
        pos += 8;
        if (tag == riff::fourCC("data")) break;
        if (uint64_t(size) > end - pos) return WaveStatus::kRefused;
        pos += uint64_t(size) + (size & 1);
    }

    const WaveFormat& f = data.format;
    if (f.nBlockAlign <= 0 || f.nSamplesPerSec <= 0 ||
        int64_t(f.nBlockAlign) * f.nSamplesPerSec > INT32_MAX)
        return WaveStatus::kRefused;

    // An interrupted recording declares more than it holds: take what is there.
    data.declaredSize = uint32_t(size);
    data.size = uint32_t(std::min<uint64_t>(uint64_t(size), end - pos));
    data.dataOffset = pos;
    if (data.size > 0) data.samples = file.View(pos, data.size);
    if (data.samples) return WaveStatus::kOk;
    data.buffer.reset(new (std::nothrow) uint8_t[std::max<uint32_t>(data.size, 1)]);
    if (!data.buffer) return WaveStatus::kOutOfMemory;
    if (!file.Read(pos, data.buffer.get(), data.size)) {
        data.buffer.reset();
        return WaveStatus::kReadError;
    }
    data.samples = data.buffer.get();
    return WaveStatus::kOk;
}

std::vector<uint8_t> streamFormat(const WaveData& data) {
    std::vector<uint8_t> f(data.formatBytes, data.formatBytes + kWaveFormatSize);
    f.insert(f.end(), data.formatExtension.begin(), data.formatExtension.end());
    return f;
}

} // namespace wavconv
