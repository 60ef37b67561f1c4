// Builds RIFF byte images for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace riff_test {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline void PutU16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

inline void PutTag(Bytes& out, const std::string& tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

// A chunk with its pad byte; size overrides the declared size when given.
inline Bytes Chunk(const std::string& tag, const Bytes& data, int64_t size = -1) {
    Bytes out;
    PutTag(out, tag);
    PutU32(out, size < 0 ? uint32_t(data.size()) : uint32_t(size));
    Append(out, data);
    if (data.size() & 1) out.push_back(0);
    return out;
}

inline Bytes List(const std::string& id, const std::string& form, const Bytes& children) {
    Bytes data;
    PutTag(data, form);
    Append(data, children);
    return Chunk(id, data);
}

// Stream header with the fields the fix-ups look at; the rest zero (56 bytes).
inline Bytes Strh(const std::string& type, uint32_t scale, uint32_t rate, uint32_t length,
                  uint32_t sampleSize) {
    Bytes h;
    PutTag(h, type);
    PutU32(h, 0); // handler
    PutU32(h, 0); // flags
    PutU32(h, 0); // priority, language
    PutU32(h, 0); // initial frames
    PutU32(h, scale);
    PutU32(h, rate);
    PutU32(h, 0); // start
    PutU32(h, length);
    PutU32(h, 0);     // suggested buffer size
    PutU32(h, 10000); // quality
    PutU32(h, sampleSize);
    PutU32(h, 0); // rcFrame
    PutU32(h, 0);
    return Chunk("strh", h);
}

inline Bytes WaveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                        uint16_t bits) {
    Bytes f;
    PutU16(f, tag);
    PutU16(f, channels);
    PutU32(f, rate);
    PutU32(f, rate * blockAlign);
    PutU16(f, blockAlign);
    PutU16(f, bits);
    PutU16(f, 0);
    return f;
}

inline Bytes AudioStreamList(uint32_t length, uint16_t blockAlign, uint32_t rate = 44100) {
    Bytes strl = Strh("auds", blockAlign, blockAlign * rate, length, blockAlign);
    Append(strl, Chunk("strf", WaveFormat(1, 2, rate, blockAlign, 16)));
    return List("LIST", "strl", strl);
}

inline Bytes VideoStreamList(uint32_t frames) {
    Bytes strl = Strh("vids", 1, 10, frames, 0);
    Append(strl, Chunk("strf", Bytes(40, 0)));
    return List("LIST", "strl", strl);
}

inline Bytes Avi(const Bytes& streamLists, const Bytes& moviChunks, bool idx1 = true) {
    Bytes hdrl = Chunk("avih", Bytes(56, 0));
    Append(hdrl, streamLists);
    Bytes body;
    PutTag(body, "AVI ");
    Append(body, List("LIST", "hdrl", hdrl));
    Append(body, List("LIST", "movi", moviChunks));
    if (idx1) Append(body, Chunk("idx1", Bytes(16, 0)));
    return Chunk("RIFF", body);
}

inline uint32_t U32At(const Bytes& b, size_t off) {
    return uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 |
           uint32_t(b[off + 3]) << 24;
}

} // namespace riff_test
