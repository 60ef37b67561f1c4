#include "avi_fixup.h"

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
                return riff::WalkChunks(store, c.ListData(), c.End(), [&](const Chunk& h) {
                    if (h.id == FourCC("avih") && layout.avih == 0) {
                        layout.avih = h.Data();
                        layout.avihSize = h.size;
                    } else if (h.id == FourCC("LIST") && h.form == FourCC("strl")) {
                        layout.streams.emplace_back();
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

} // namespace avi
