// Builds RIFF byte images for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace riff_test {

using Bytes = std::vector<uint8_t>;

inline void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline void putU16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void putU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

inline void putTag(Bytes& out, const std::string& tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

// A chunk with its pad byte; size overrides the declared size when given.
inline Bytes chunk(const std::string& tag, const Bytes& data, int64_t size = -1) {
    Bytes out;
    putTag(out, tag);
    putU32(out, size < 0 ? uint32_t(data.size()) : uint32_t(size));
    append(out, data);
    if (data.size() & 1) out.push_back(0);
    return out;
}

inline Bytes list(const std::string& id, const std::string& form, const Bytes& children) {
    Bytes data;
    putTag(data, form);
    append(data, children);
    return chunk(id, data);
}

// Stream header with the fields the fix-ups look at; the rest zero (56 bytes).
inline Bytes strhChunk(const std::string& type, uint32_t scale, uint32_t rate, uint32_t length,
                       uint32_t sampleSize) {
    Bytes h;
    putTag(h, type);
    putU32(h, 0); // handler
    putU32(h, 0); // flags
    putU32(h, 0); // priority, language
    putU32(h, 0); // initial frames
    putU32(h, scale);
    putU32(h, rate);
    putU32(h, 0); // start
    putU32(h, length);
    putU32(h, 0);     // suggested buffer size
    putU32(h, 10000); // quality
    putU32(h, sampleSize);
    putU32(h, 0); // rcFrame
    putU32(h, 0);
    return chunk("strh", h);
}

inline Bytes waveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                        uint16_t bits) {
    Bytes f;
    putU16(f, tag);
    putU16(f, channels);
    putU32(f, rate);
    putU32(f, rate * blockAlign);
    putU16(f, blockAlign);
    putU16(f, bits);
    putU16(f, 0);
    return f;
}

inline Bytes audioStreamList(uint32_t length, uint16_t blockAlign, uint32_t rate = 44100) {
    Bytes strl = strhChunk("auds", blockAlign, blockAlign * rate, length, blockAlign);
    append(strl, chunk("strf", waveFormat(1, 2, rate, blockAlign, 16)));
    return list("LIST", "strl", strl);
}

inline Bytes videoStreamList(uint32_t frames) {
    Bytes strl = strhChunk("vids", 1, 10, frames, 0);
    append(strl, chunk("strf", Bytes(40, 0)));
    return list("LIST", "strl", strl);
}

inline Bytes aviFile(const Bytes& streamLists, const Bytes& moviChunks, bool idx1 = true) {
    Bytes hdrl = chunk("avih", Bytes(56, 0));
    append(hdrl, streamLists);
    Bytes body;
    putTag(body, "AVI ");
    append(body, list("LIST", "hdrl", hdrl));
    append(body, list("LIST", "movi", moviChunks));
    if (idx1) append(body, chunk("idx1", Bytes(16, 0)));
    return chunk("RIFF", body);
}

inline uint32_t u32At(const Bytes& b, size_t off) {
    return uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 |
           uint32_t(b[off + 3]) << 24;
}

} // namespace riff_test
