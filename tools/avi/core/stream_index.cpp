#include "stream_index.h"

#include "avi_video_fixup.h"

#include <utility>

namespace avi {

namespace {

constexpr uint32_t kIndexEntry = 16; // chunk id, flags, offset, size

// Calls visit(entry offset, stream, flags, size) for every idx1 entry of a stream of the
// file; false on a read error.
template <typename Visit>
bool walkIndex(riff::ByteStore& store, const AviLayout& layout, Visit visit) {
    for (uint64_t e = 0; e + kIndexEntry <= layout.idx1Size; e += kIndexEntry) {
        uint8_t b[kIndexEntry];
        if (!store.Read(layout.idx1 + e, b, kIndexEntry)) return false;
        int n = streamOfChunk(riff::loadU32(b));
        if (n < 0 || size_t(n) >= layout.streams.size()) continue;
        visit(layout.idx1 + e, size_t(n), riff::loadU32(b + 4), riff::loadU32(b + 12));
    }
    return true;
}

bool readU32(riff::ByteStore& store, uint64_t at, uint32_t& value) {
    uint8_t b[4];
    if (!store.Read(at, b, 4)) return false;
    value = riff::loadU32(b);
    return true;
}

} // namespace

bool measureStreams(riff::ByteStore& store, std::vector<StreamMeasure>& streams) {
    streams.clear();
    AviLayout layout;
    if (!readAviLayout(store, layout)) return false;
    for (const StreamLayout& s : layout.streams) {
        StreamMeasure m;
        m.fccType = s.fccType;
        uint32_t sampleSize = 0;
        if (s.strhSize >= kStrhSampleSize + 4 &&
            (!readU32(store, s.strh + kStrhStart, m.start) ||
             !readU32(store, s.strh + kStrhLength, m.length) ||
             !readU32(store, s.strh + kStrhSampleSize, sampleSize)))
            return false;
        m.unit = sampleSize;
        if (sampleSize == 0 && s.fccType == riff::fourCC("auds") &&
            s.strfSize >= kWaveBlockAlign + 2) {
            uint8_t b[2];
            if (!store.Read(s.strf + kWaveBlockAlign, b, 2)) return false;
            m.unit = riff::loadU16(b);
        }
        // Without an index the reader finds the chunks themselves.
        m.chunks = s.dataChunks;
        m.bytes = s.dataBytes;
        streams.push_back(m);
    }
    if (layout.idx1 == 0) return true;
    for (StreamMeasure& m : streams)
        m.chunks = m.bytes = 0;
    return walkIndex(store, layout, [&](uint64_t, size_t n, uint32_t, uint32_t size) {
        streams[n].chunks++;
        streams[n].bytes += size;
    });
}

bool readIndex(riff::ByteStore& store, size_t stream, std::vector<IndexEntry>& entries) {
    entries.clear();
    AviLayout layout;
    return readAviLayout(store, layout) && readIndex(store, layout, stream, entries);
}

bool readIndex(riff::ByteStore& store, const AviLayout& layout, size_t stream,
               std::vector<IndexEntry>& entries) {
    entries.clear();
    if (layout.idx1 == 0) return false;
    return walkIndex(store, layout, [&](uint64_t, size_t n, uint32_t flags, uint32_t size) {
        if (n == stream) entries.push_back({flags, size});
    });
}

FixupResult restoreKeyFrames(riff::ByteStore& store, size_t stream,
                             const std::vector<IndexEntry>& source) {
    FixupResult r;
    AviLayout layout;
    if (!readAviLayout(store, layout, &r.why)) return r;
    std::vector<std::pair<uint64_t, uint32_t>> changes; // where, new flags
    size_t i = 0;
    bool same = true;
    if (!walkIndex(store, layout, [&](uint64_t at, size_t n, uint32_t flags, uint32_t size) {
            if (n != stream) return;
            if (i >= source.size() || source[i].size != size) same = false;
            if (!same) return;
            const uint32_t want = (flags & ~kIndexKeyFrame) | (source[i++].flags & kIndexKeyFrame);
            if (want != flags) changes.emplace_back(at + 4, want);
        })) {
        r.why = "read error";
        return r;
    }
    if (!same || i != source.size()) {
        r.why = "not the same frames";
        return r;
    }
    for (const auto& [at, flags] : changes) {
        uint8_t b[4];
        riff::storeU32(b, flags);
        if (!store.Write(at, b, 4)) {
            r.why = "write error";
            return r;
        }
    }
    r.corrected = changes.empty() ? 0 : 1;
    r.ok = true;
    return r;
}

} // namespace avi
