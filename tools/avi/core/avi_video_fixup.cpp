#include "avi_video_fixup.h"

#include <cmath>
#include <utility>
#include <vector>

namespace avi {

uint32_t microSecondsPerFrame(uint32_t scale, uint32_t rate) {
    if (rate == 0) return 0;
    double us = std::floor(1e6 * double(scale) / double(rate) + 0.5);
    return us >= 4294967295.0 ? 0xFFFFFFFFu : uint32_t(us);
}

namespace {

bool readU32(riff::ByteStore& store, uint64_t offset, uint32_t& value) {
    uint8_t b[4];
    if (!store.Read(offset, b, 4)) return false;
    value = riff::loadU32(b);
    return true;
}

bool writeU32(riff::ByteStore& store, uint64_t offset, uint32_t value) {
    uint8_t b[4];
    riff::storeU32(b, value);
    return store.Write(offset, b, 4);
}

} // namespace

FixupResult fixVideoHeaders(riff::ByteStore& store) {
    FixupResult r;
    AviLayout layout;
    if (!readAviLayout(store, layout, &r.why)) return r;

    // Every change is worked out before the first is written: a read that fails later must
    // not leave the earlier ones made.
    std::vector<std::pair<uint64_t, uint32_t>> changes; // where, new value
    std::vector<bool> uncompressed(layout.streams.size(), false);
    bool periodDone = false;
    for (size_t i = 0; i < layout.streams.size(); ++i) {
        const StreamLayout& s = layout.streams[i];
        if (s.fccType != riff::fourCC("vids") || s.strhSize < kStrhRate + 4) continue;
        if (s.strfSize >= kBitmapCompression + 4) {
            uint32_t compression = 0;
            if (!readU32(store, s.strf + kBitmapCompression, compression)) {
                r.why = "read error";
                return r;
            }
            uncompressed[i] = compression == 0;
        }
        if (periodDone || layout.avihSize < kAvihMicroSecPerFrame + 4) continue;
        periodDone = true;
        uint32_t scale = 0, rate = 0, stored = 0;
        if (!readU32(store, s.strh + kStrhScale, scale) ||
            !readU32(store, s.strh + kStrhRate, rate) ||
            !readU32(store, layout.avih + kAvihMicroSecPerFrame, stored)) {
            r.why = "read error";
            return r;
        }
        uint32_t want = microSecondsPerFrame(scale, rate);
        if (want == 0 || (uint64_t(stored) + 1 >= want && stored <= uint64_t(want) + 1)) continue;
        changes.emplace_back(layout.avih + kAvihMicroSecPerFrame, want);
        r.corrected++;
    }

    // idx1 entries: chunk id, flags, offset, length.
    bool indexChanged = false;
    for (uint64_t e = 0; e + 16 <= layout.idx1Size; e += 16) {
        uint32_t id = 0, flags = 0;
        if (!readU32(store, layout.idx1 + e, id) || !readU32(store, layout.idx1 + e + 4, flags)) {
            r.why = "read error";
            return r;
        }
        int n = streamOfChunk(id);
        if (n < 0 || size_t(n) >= uncompressed.size() || !uncompressed[n]) continue;
        if (flags & kIndexKeyFrame) continue;
        changes.emplace_back(layout.idx1 + e + 4, flags | kIndexKeyFrame);
        indexChanged = true;
    }
    if (indexChanged) r.corrected++;
    for (const auto& [at, value] : changes) {
        if (!writeU32(store, at, value)) {
            r.why = "write error";
            r.corrected = 0;
            return r;
        }
    }
    r.ok = true;
    return r;
}

} // namespace avi
