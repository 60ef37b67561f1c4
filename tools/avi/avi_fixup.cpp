#include "avi_fixup.h"

#include <algorithm>
#include <cmath>

namespace avi {

using riff::Chunk;
using riff::FourCC;
using riff::Status;

int StreamOfChunk(uint32_t id) {
    char a = char(id & 0xFF), b = char((id >> 8) & 0xFF);
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

uint32_t BlockCount(uint64_t bytes, uint32_t blockAlign) {
    double blocks = std::nearbyint(double(bytes) / double(blockAlign)); // default mode: to even
    return blocks >= 4294967295.0 ? 0xFFFFFFFFu : uint32_t(blocks);
}

namespace {

Status CountMovi(riff::ByteStore& store, const Chunk& list, AviLayout& layout, int depth) {
    return riff::WalkChunks(store, list.ListData(), list.End(), [&](const Chunk& c) {
        if (c.IsList()) // "rec " groups
            return depth < 4 ? CountMovi(store, c, layout, depth + 1) : Status::Truncated;
        int n = StreamOfChunk(c.id);
        if (n >= 0 && size_t(n) < layout.streams.size()) {
            layout.streams[n].dataBytes += c.size;
            layout.streams[n].dataChunks++;
        }
        return Status::Ok;
    });
}

Status ReadStreamList(riff::ByteStore& store, const Chunk& strl, StreamLayout& s) {
    return riff::WalkChunks(store, strl.ListData(), strl.End(), [&](const Chunk& c) {
        if (c.id == FourCC("strh") && s.strhSize == 0) {
            s.strh = c.Data();
            s.strhSize = c.size;
            if (c.size >= 4) {
                uint8_t b[4];
                if (!store.Read(c.Data(), b, 4)) return Status::IoError;
                s.fccType = riff::LoadU32(b);
            }
        } else if (c.id == FourCC("strf") && s.strfSize == 0) {
            s.strf = c.Data();
            s.strfSize = c.size;
        }
        return Status::Ok;
    });
}

} // namespace

bool ReadAviLayout(riff::ByteStore& store, AviLayout& layout, std::string* why) {
    layout = AviLayout{};
    if (!riff::CheckStructure(store, FourCC("AVI "), why)) return false;
    std::vector<Chunk> movis;
    // Top-level RIFF chunks: "AVI " first, then any "AVIX" extensions with more movi data.
    Status s = riff::WalkChunks(store, 0, store.Size(), [&](const Chunk& riffChunk) {
        if (riffChunk.id != FourCC("RIFF")) return Status::Stop;
        return riff::WalkChunks(store, riffChunk.ListData(), riffChunk.End(), [&](const Chunk& c) {
            if (c.id == FourCC("LIST") && c.form == FourCC("hdrl")) {
                if (layout.hdrl == 0) layout.hdrl = c.header;
                return riff::WalkChunks(store, c.ListData(), c.End(), [&](const Chunk& h) {
                    if (h.id == FourCC("avih") && layout.avih == 0) {
                        layout.avih = h.Data();
                        layout.avihSize = h.size;
                    } else if (h.id == FourCC("LIST") && h.form == FourCC("strl")) {
                        layout.streams.emplace_back();
                        layout.streams.back().strl = h.header;
                        return ReadStreamList(store, h, layout.streams.back());
                    }
                    return Status::Ok;
                });
            }
            if (c.id == FourCC("LIST") && c.form == FourCC("movi")) movis.push_back(c);
            if (c.id == FourCC("idx1") && layout.idx1 == 0) {
                layout.idx1 = c.Data();
                layout.idx1Size = c.size;
            }
            return Status::Ok;
        });
    });
    for (const Chunk& m : movis)
        if (s == Status::Ok) s = CountMovi(store, m, layout, 0);
    if (s != Status::Ok) {
        if (why) *why = s == Status::IoError ? "read error" : "malformed AVI lists";
        return false;
    }
    if (layout.avih == 0) {
        if (why) *why = "no main AVI header";
        return false;
    }
    return true;
}

FixupResult FixAudioLengths(riff::ByteStore& store) {
    FixupResult r;
    AviLayout layout;
    if (!ReadAviLayout(store, layout, &r.why)) return r;
    for (const StreamLayout& s : layout.streams) {
        if (s.fccType != FourCC("auds") || s.strhSize < kStrhLength + 4 ||
            s.strfSize < kWaveBlockAlign + 2)
            continue;
        uint8_t b[4];
        if (!store.Read(s.strf + kWaveBlockAlign, b, 2)) {
            r.why = "read error";
            return r;
        }
        uint32_t blockAlign = riff::LoadU16(b);
        if (blockAlign == 0) continue;
        uint32_t want = BlockCount(s.dataBytes, blockAlign);
        if (!store.Read(s.strh + kStrhLength, b, 4)) {
            r.why = "read error";
            return r;
        }
        if (riff::LoadU32(b) == want) continue;
        riff::StoreU32(b, want);
        if (!store.Write(s.strh + kStrhLength, b, 4)) {
            r.why = "write error";
            return r;
        }
        r.corrected++;
    }
    r.ok = true;
    return r;
}

namespace {

// Finds the first chunk `tag` directly inside the stream's strl list.
bool FindStreamChunk(riff::ByteStore& store, const StreamLayout& s, uint32_t tag, Chunk& found) {
    Chunk strl;
    bool seen = false;
    Status st = riff::WalkChunks(store, s.strl, store.Size(), [&](const Chunk& c) {
        strl = c;
        return Status::Stop;
    });
    if (st != Status::Ok || strl.id != FourCC("LIST")) return false;
    st = riff::WalkChunks(store, strl.ListData(), strl.End(), [&](const Chunk& c) {
        if (c.id != tag) return Status::Ok;
        found = c;
        seen = true;
        return Status::Stop;
    });
    return st == Status::Ok && seen;
}

// Gives a chunk of the header list new data, moving what follows it inside the list and
// taking the difference from (or giving it to) the JUNK chunk right after the list.
FixupResult Resize(riff::ByteStore& store, const AviLayout& layout, const StreamLayout& s,
                   const Chunk& chunk, const std::vector<uint8_t>& data) {
    FixupResult r;
    uint8_t head[8];
    auto headerAt = [&](uint64_t at, Chunk& c) {
        if (!store.Read(at, head, 8)) return false;
        c.header = at;
        c.id = riff::LoadU32(head);
        c.size = riff::LoadU32(head + 4);
        return true;
    };
    Chunk hdrl, strl, junk;
    if (!headerAt(layout.hdrl, hdrl) || !headerAt(s.strl, strl) || !headerAt(hdrl.Next(), junk) ||
        junk.id != FourCC("JUNK")) {
        r.why = "no room after the header list";
        return r;
    }
    const int64_t oldSpan = int64_t(chunk.size) + (chunk.size & 1);
    const int64_t newSpan = int64_t(data.size()) + (data.size() & 1);
    const int64_t delta = newSpan - oldSpan;
    const int64_t junkSpan = 8 + int64_t(junk.size) + (junk.size & 1);
    if (junkSpan - delta < 8) {
        r.why = "no room after the header list";
        return r;
    }
    const uint64_t tail = chunk.Data() + uint64_t(oldSpan);
    std::vector<uint8_t> rest(size_t(hdrl.Next() - tail));
    std::vector<uint8_t> padded(data);
    padded.resize(size_t(newSpan), 0);
    uint8_t junkHead[8], sizeBytes[4];
    riff::StoreU32(junkHead, FourCC("JUNK"));
    riff::StoreU32(junkHead + 4, uint32_t(junkSpan - delta - 8));
    bool ok = store.Read(tail, rest.data(), rest.size()) &&
              store.Write(uint64_t(int64_t(tail) + delta), rest.data(), rest.size()) &&
              store.Write(chunk.Data(), padded.data(), padded.size()) &&
              store.Write(uint64_t(int64_t(hdrl.Next()) + delta), junkHead, 8);
    riff::StoreU32(sizeBytes, uint32_t(data.size()));
    ok = ok && store.Write(chunk.header + 4, sizeBytes, 4);
    riff::StoreU32(sizeBytes, uint32_t(int64_t(strl.size) + delta));
    ok = ok && store.Write(strl.header + 4, sizeBytes, 4);
    riff::StoreU32(sizeBytes, uint32_t(int64_t(hdrl.size) + delta));
    ok = ok && store.Write(hdrl.header + 4, sizeBytes, 4);
    if (!ok) {
        r.why = "write error";
        return r;
    }
    r.ok = true;
    r.corrected = 1;
    return r;
}

// Reads the chunk `tag` of a stream; ok with corrected 0 when it already holds `want`.
FixupResult PrepareStreamChunk(riff::ByteStore& store, size_t stream, uint32_t tag,
                               AviLayout& layout, Chunk& chunk, std::vector<uint8_t>& stored) {
    FixupResult r;
    if (!ReadAviLayout(store, layout, &r.why)) return r;
    if (stream >= layout.streams.size() ||
        !FindStreamChunk(store, layout.streams[stream], tag, chunk)) {
        r.why = "no such stream chunk";
        return r;
    }
    stored.resize(chunk.size);
    if (!store.Read(chunk.Data(), stored.data(), stored.size())) {
        r.why = "read error";
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

FixupResult RestoreStreamFormat(riff::ByteStore& store, size_t stream,
                                const std::vector<uint8_t>& format) {
    AviLayout layout;
    Chunk chunk;
    std::vector<uint8_t> stored;
    FixupResult r = PrepareStreamChunk(store, stream, FourCC("strf"), layout, chunk, stored);
    if (!r.ok || stored == format) return r;
    if (stored.size() > format.size() ||
        !std::equal(stored.begin(), stored.end(), format.begin())) {
        r.ok = false;
        r.why = "the stored format is not a prefix of the full one";
        return r;
    }
    return Resize(store, layout, layout.streams[stream], chunk, format);
}

FixupResult RestoreStreamName(riff::ByteStore& store, size_t stream, const std::string& name) {
    std::vector<uint8_t> want(name.begin(), name.end());
    want.push_back(0);
    AviLayout layout;
    Chunk chunk;
    std::vector<uint8_t> stored;
    FixupResult r = PrepareStreamChunk(store, stream, FourCC("strn"), layout, chunk, stored);
    if (!r.ok && name.empty()) { // no name, no chunk: nothing to restore
        r.ok = true;
        r.why.clear();
        return r;
    }
    if (!r.ok || stored == want) return r;
    return Resize(store, layout, layout.streams[stream], chunk, want);
}

} // namespace avi
