// WAV byte images for the reader tests.
#pragma once

#include "../../../avi/core/tests/riff_builder.h"

namespace wave_test {

using riff_test::Bytes;

inline Bytes fmt16(uint16_t channels = 2, uint32_t rate = 44100, uint16_t blockAlign = 4,
                   uint16_t bits = 16, uint16_t tag = 1) {
    Bytes f = riff_test::waveFormat(tag, channels, rate, blockAlign, bits);
    f.resize(16); // the common PCM chunk: no cbSize
    return f;
}

inline Bytes riffFile(const Bytes& chunks, const std::string& tag = "RIFF",
                      const std::string& form = "WAVE", int64_t size = -1) {
    Bytes body;
    riff_test::putTag(body, form);
    riff_test::append(body, chunks);
    return riff_test::chunk(tag, body, size < 0 ? int64_t(body.size()) : size);
}

inline Bytes sampleBytes(size_t n) {
    Bytes s(n);
    for (size_t i = 0; i < n; i++)
        s[i] = uint8_t(i * 7 + 1);
    return s;
}

} // namespace wave_test
