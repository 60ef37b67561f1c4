#include "avi_fixup.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace avi {

using riff::Chunk;
using riff::fourCC;
using riff::Status;

int streamOfChunk(uint32_t id) {
    char a = char(id & 0xFF), b = char((id >> 8) & 0xFF);
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

uint32_t blockCount(uint64_t bytes, uint32_t blockAlign) {
    double blocks = std::nearbyint(double(bytes) / double(blockAlign)); // default mode: to even
    return blocks >= 4294967295.0 ? 0xFFFFFFFFu : uint32_t(blocks);
}

namespace {

Status countMovi(riff::ByteStore& store, const Chunk& list, AviLayout& layout, int depth) {
    return riff::walkChunks(store, list.listData(), list.end(), [&](const Chunk& c) {
        if (c.isList()) // "rec " groups
            return depth < 4 ? countMovi(store, c, layout, depth + 1) : Status::kTruncated;
        int n = streamOfChunk(c.id);
        if (n >= 0 && size_t(n) < layout.streams.size()) {
            layout.streams[n].dataBytes += c.size;
            layout.streams[n].dataChunks++;
        }
        return Status::kOk;
    });
}

Status readStreamList(riff::ByteStore& store, const Chunk& strl, StreamLayout& s) {
    return riff::walkChunks(store, strl.listData(), strl.end(), [&](const Chunk& c) {
        if (c.id == fourCC("strh") && s.strhSize == 0) {
            s.strh = c.data();
            s.strhSize = c.size;
            if (c.size >= 4) {
                uint8_t b[4];
                if (!store.Read(c.data(), b, 4)) return Status::kIoError;
                s.fccType = riff::loadU32(b);
            }
        } else if (c.id == fourCC("strf") && s.strfSize == 0) {
            s.strf = c.data();
            s.strfSize = c.size;
        }
        return Status::kOk;
    });
}

} // namespace

bool readAviLayout(riff::ByteStore& store, AviLayout& layout, std::string* why) {
    layout = AviLayout{};
    if (!riff::checkStructure(store, fourCC("AVI "), why)) return false;
    std::vector<Chunk> movis;
    // Top-level RIFF chunks: "AVI " first, then any "AVIX" extensions with more movi data.
    Status s = riff::walkChunks(store, 0, store.Size(), [&](const Chunk& riffChunk) {
        if (riffChunk.id != fourCC("RIFF")) return Status::kStop;
        return riff::walkChunks(store, riffChunk.listData(), riffChunk.end(), [&](const Chunk& c) {
            if (c.id == fourCC("LIST") && c.form == fourCC("hdrl")) {
                if (layout.hdrl == 0) layout.hdrl = c.header;
                return riff::walkChunks(store, c.listData(), c.end(), [&](const Chunk& h) {
                    if (h.id == fourCC("avih") && layout.avih == 0) {
                        layout.avih = h.data();
                        layout.avihSize = h.size;
                    } else if (h.id == fourCC("LIST") && h.form == fourCC("strl")) {
                        layout.streams.emplace_back();
                        layout.streams.back().strl = h.header;
                        return readStreamList(store, h, layout.streams.back());
                    }
                    return Status::kOk;
                });
            }
            if (c.id == fourCC("LIST") && c.form == fourCC("movi")) movis.push_back(c);
            if (c.id == fourCC("idx1") && layout.idx1 == 0) {
                layout.idx1 = c.data();
                layout.idx1Size = c.size;
            }
            return Status::kOk;
        });
    });
    for (const Chunk& m : movis)
        if (s == Status::kOk) s = countMovi(store, m, layout, 0);
    if (s != Status::kOk) {
        if (why) *why = s == Status::kIoError ? "read error" : "malformed AVI lists";
        return false;
    }
    if (layout.avih == 0) {
        if (why) *why = "no main AVI header";
        return false;
    }
    return true;
}

FixupResult fixAudioLengths(riff::ByteStore& store) {
    FixupResult r;
    AviLayout layout;
    if (!readAviLayout(store, layout, &r.why)) return r;
    // Every length is worked out before the first is written: a read that fails on a later
    // stream must not leave the earlier ones changed.
    std::vector<std::pair<uint64_t, uint32_t>> changes; // where, new length
    for (const StreamLayout& s : layout.streams) {
        if (s.fccType != fourCC("auds") || s.strhSize < kStrhLength + 4) continue;
        uint8_t b[4];
        // A stream without a fixed sample size (variable-rate audio) counts chunks.
        uint32_t sampleSize = 1;
        if (s.strhSize >= kStrhSampleSize + 4) {
            if (!store.Read(s.strh + kStrhSampleSize, b, 4)) {
                r.why = "read error";
                return r;
            }
            sampleSize = riff::loadU32(b);
        }
        uint32_t want = s.dataChunks;
        if (sampleSize != 0) {
            if (s.strfSize < kWaveBlockAlign + 2) continue;
            if (!store.Read(s.strf + kWaveBlockAlign, b, 2)) {
                r.why = "read error";
                return r;
            }
            uint32_t blockAlign = riff::loadU16(b);
            if (blockAlign == 0) continue;
            want = blockCount(s.dataBytes, sampleSize); // the header's unit, not the block
        }
        if (!store.Read(s.strh + kStrhLength, b, 4)) {
            r.why = "read error";
            return r;
        }
        if (riff::loadU32(b) != want) changes.emplace_back(s.strh + kStrhLength, want);
    }
    for (const auto& [at, want] : changes) {
        uint8_t b[4];
        riff::storeU32(b, want);
        if (!store.Write(at, b, 4)) {
            r.why = "write error";
            return r;
        }
        r.corrected++;
    }
    r.ok = true;
    return r;
}

FixupResult restoreStreamRate(riff::ByteStore& store, size_t stream, uint32_t scale,
                              uint32_t rate) {
    FixupResult r;
    AviLayout layout;
    if (!readAviLayout(store, layout, &r.why)) return r;
    if (stream >= layout.streams.size() || layout.streams[stream].strhSize < kStrhRate + 4) {
        r.why = "no such stream header";
        return r;
    }
    uint8_t want[8], stored[8];
    riff::storeU32(want, scale);
    riff::storeU32(want + 4, rate);
    const uint64_t at = layout.streams[stream].strh + kStrhScale;
    if (!store.Read(at, stored, 8)) {
        r.why = "read error";
        return r;
    }
    if (!std::equal(want, want + 8, stored)) {
        if (!store.Write(at, want, 8)) {
            r.why = "write error";
            return r;
        }
        r.corrected = 1;
    }
    r.ok = true;
    return r;
}

FixupResult trimAfterRiff(riff::ByteStore& store) {
    FixupResult r;
    if (!riff::checkStructure(store, 0, &r.why)) return r;
    uint64_t end = 0;
    Status s = riff::walkChunks(store, 0, store.Size(), [&](const Chunk& c) {
        if (c.id != fourCC("RIFF")) return Status::kStop;
        end = std::min(c.next(), store.Size());
        return Status::kOk;
    });
    // Bytes that are not a chunk header (fewer than 8) end the walk the same way.
    if (s == Status::kIoError) {
        r.why = "read error";
        return r;
    }
    uint8_t buffer[4096];
    for (uint64_t at = end; at < store.Size();) {
        size_t n = size_t(std::min<uint64_t>(sizeof buffer, store.Size() - at));
        if (!store.Read(at, buffer, n)) {
            r.why = "read error";
            return r;
        }
        if (std::any_of(buffer, buffer + n, [](uint8_t b) { return b != 0; })) {
            r.ok = true; // something else's data: kept
            return r;
        }
        at += n;
    }
    if (end < store.Size()) {
        if (!store.Truncate(end)) {
            r.why = "cannot shorten the file";
            return r;
        }
        r.corrected = 1;
    }
    r.ok = true;
    return r;
}

namespace {

// Finds the first chunk `tag` directly inside the stream's strl list.
bool findStreamChunk(riff::ByteStore& store, const StreamLayout& s, uint32_t tag, Chunk& found) {
    Chunk strl;
    bool seen = false;
    Status st = riff::walkChunks(store, s.strl, store.Size(), [&](const Chunk& c) {
        strl = c;
        return Status::kStop;
    });
    if (st != Status::kOk || strl.id != fourCC("LIST")) return false;
    st = riff::walkChunks(store, strl.listData(), strl.end(), [&](const Chunk& c) {
        if (c.id != tag) return Status::kOk;
        found = c;
        seen = true;
        return Status::kStop;
    });
    return st == Status::kOk && seen;
}

// The file as it would read with `bytes` written at `at`: the whole change is checked
// before anything is written.
class Overlay : public riff::ByteStore {
  public:
    Overlay(riff::ByteStore& base, uint64_t at, const std::vector<uint8_t>& bytes)
        : base_(base), at_(at), bytes_(bytes) {}
    uint64_t Size() const override { return base_.Size(); }
    bool Read(uint64_t offset, void* dst, size_t n) override {
        if (offset > Size() || n > Size() - offset || !base_.Read(offset, dst, n)) return false;
        const uint64_t from = std::max(offset, at_);
        const uint64_t to = std::min(offset + n, at_ + bytes_.size());
        if (from < to)
            std::copy(bytes_.begin() + ptrdiff_t(from - at_), bytes_.begin() + ptrdiff_t(to - at_),
                      static_cast<uint8_t*>(dst) + (from - offset));
        return true;
    }
    bool Write(uint64_t, const void*, size_t) override { return false; }

  private:
    riff::ByteStore& base_;
    uint64_t at_;
    const std::vector<uint8_t>& bytes_;
};

bool headerAt(riff::ByteStore& store, uint64_t at, Chunk& c) {
    uint8_t head[8];
    if (at > store.Size() || store.Size() - at < 8 || !store.Read(at, head, 8)) return false;
    c.header = at;
    c.id = riff::loadU32(head);
    c.size = riff::loadU32(head + 4);
    return true;
}

bool liesInside(const Chunk& child, const Chunk& list) {
    return child.header >= list.listData() && child.end() <= list.end();
}

// The bytes a chunk takes in its list: a pad byte past the list's end is not there.
uint64_t occupiedEnd(const Chunk& c, const Chunk& list) {
    return std::min(c.next(), list.end());
}

// A list's chunk (header, list type, children, pad) with one child's bytes replaced.
bool rebuild(riff::ByteStore& store, const Chunk& list, const Chunk& child,
             const std::vector<uint8_t>& image, std::vector<uint8_t>& out) {
    std::vector<uint8_t> before(size_t(child.header - list.data()));
    std::vector<uint8_t> after(size_t(list.end() - occupiedEnd(child, list)));
    if (!store.Read(list.data(), before.data(), before.size()) ||
        !store.Read(occupiedEnd(child, list), after.data(), after.size()))
        return false;
    const uint64_t size = before.size() + image.size() + after.size();
    if (size > 0xFFFFFFFEu) return false;
    out.assign(8, 0);
    riff::storeU32(out.data(), list.id);
    riff::storeU32(out.data() + 4, uint32_t(size));
    out.insert(out.end(), before.begin(), before.end());
    out.insert(out.end(), image.begin(), image.end());
    out.insert(out.end(), after.begin(), after.end());
    if (size & 1) out.push_back(0);
    return true;
}

// Gives a chunk of a stream list new data, moving what follows it inside the header list
// and taking the difference from (or giving it to) the JUNK chunk right after that list.
// The new header list and JUNK are built and checked whole, then written at once.
FixupResult resizeStreamChunk(riff::ByteStore& store, const AviLayout& layout,
                              const StreamLayout& s, const Chunk& chunk,
                              const std::vector<uint8_t>& data) {
    FixupResult r;
    r.why = "no room after the header list";
    Chunk riffChunk, hdrl, strl, junk;
    riff::walkChunks(store, 0, store.Size(), [&](const Chunk& c) {
        if (c.id != fourCC("RIFF")) return Status::kStop;
        if (c.header < layout.hdrl && layout.hdrl < c.end()) riffChunk = c;
        return Status::kOk;
    });
    if (riffChunk.id != fourCC("RIFF") || !headerAt(store, layout.hdrl, hdrl) ||
        !headerAt(store, s.strl, strl) || !liesInside(hdrl, riffChunk) || !liesInside(strl, hdrl) ||
        !liesInside(chunk, strl) || data.size() > 0x7FFFFFFF)
        return r;
    if (hdrl.next() >= riffChunk.end() || !headerAt(store, hdrl.next(), junk) ||
        junk.id != fourCC("JUNK") || !liesInside(junk, riffChunk))
        return r;
    const uint64_t regionEnd = occupiedEnd(junk, riffChunk);

    std::vector<uint8_t> image(8, 0), strlImage, region;
    riff::storeU32(image.data(), chunk.id);
    riff::storeU32(image.data() + 4, uint32_t(data.size()));
    image.insert(image.end(), data.begin(), data.end());
    if (data.size() & 1) image.push_back(0);
    if (!rebuild(store, strl, chunk, image, strlImage) ||
        !rebuild(store, hdrl, strl, strlImage, region)) {
        r.why = "read error";
        return r;
    }
    if (region.size() + 8 > regionEnd - hdrl.header) return r;
    // The JUNK fills the rest; it keeps a pad byte unless it ends the RIFF chunk.
    uint64_t junkSize = regionEnd - hdrl.header - region.size() - 8;
    const uint64_t junkAt = region.size();
    region.resize(size_t(regionEnd - hdrl.header), 0);
    if ((junkSize & 1) && regionEnd < riffChunk.end()) --junkSize;
    riff::storeU32(region.data() + junkAt, fourCC("JUNK"));
    riff::storeU32(region.data() + junkAt + 4, uint32_t(junkSize));

    Overlay changed(store, hdrl.header, region);
    AviLayout now;
    if (!readAviLayout(changed, now) || now.streams.size() != layout.streams.size()) {
        r.why = "the change would break the file";
        return r;
    }
    if (!store.Write(hdrl.header, region.data(), region.size())) {
        r.why = "write error";
        return r;
    }
    r.why.clear();
    r.ok = true;
    r.corrected = 1;
    return r;
}

const char kNoStreamChunk[] = "no such stream chunk";

// Reads the chunk `tag` of a stream; ok with corrected 0 when it already holds `want`.
FixupResult prepareStreamChunk(riff::ByteStore& store, size_t stream, uint32_t tag,
                               AviLayout& layout, Chunk& chunk, std::vector<uint8_t>& stored) {
    FixupResult r;
    if (!readAviLayout(store, layout, &r.why)) return r;
    if (stream >= layout.streams.size()) {
        r.why = "no such stream";
        return r;
    }
    if (!findStreamChunk(store, layout.streams[stream], tag, chunk)) {
        r.why = kNoStreamChunk;
        return r;
    }
    stored.resize(chunk.size);
    if (!store.Read(chunk.data(), stored.data(), stored.size())) {
        r.why = "read error";
        return r;
    }
    r.ok = true;
    return r;
}

// The stream's format made `format`; with `prefixOnly`, only where the stored one is a
// prefix of it (a writer that cut it short).
FixupResult setStreamFormat(riff::ByteStore& store, size_t stream,
                            const std::vector<uint8_t>& format, bool prefixOnly) {
    AviLayout layout;
    Chunk chunk;
    std::vector<uint8_t> stored;
    FixupResult r = prepareStreamChunk(store, stream, fourCC("strf"), layout, chunk, stored);
    if (!r.ok || stored == format) return r;
    if (prefixOnly && (stored.size() > format.size() ||
                       !std::equal(stored.begin(), stored.end(), format.begin()))) {
        r.ok = false;
        r.why = "the stored format is not a prefix of the full one";
        return r;
    }
    return resizeStreamChunk(store, layout, layout.streams[stream], chunk, format);
}

} // namespace

FixupResult restoreStreamFormat(riff::ByteStore& store, size_t stream,
                                const std::vector<uint8_t>& format) {
    return setStreamFormat(store, stream, format, true);
}

FixupResult replaceStreamFormat(riff::ByteStore& store, size_t stream,
                                const std::vector<uint8_t>& format) {
    return setStreamFormat(store, stream, format, false);
}

FixupResult restoreStreamName(riff::ByteStore& store, size_t stream, const std::string& name) {
    std::vector<uint8_t> want(name.begin(), name.end());
    want.push_back(0);
    AviLayout layout;
    Chunk chunk;
    std::vector<uint8_t> stored;
    FixupResult r = prepareStreamChunk(store, stream, fourCC("strn"), layout, chunk, stored);
    if (!r.ok && name.empty() && r.why == kNoStreamChunk) { // no name, no chunk: nothing to do
        r.ok = true;
        r.why.clear();
        return r;
    }
    if (!r.ok || stored == want) return r;
    return resizeStreamChunk(store, layout, layout.streams[stream], chunk, want);
}

} // namespace avi
