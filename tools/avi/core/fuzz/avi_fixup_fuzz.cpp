// libFuzzer entry for the AVI fix-ups. The first byte picks a fix-up, the second its
// argument, the third the read of the file that fails (0: none), the rest is the file. On every
// input: a failure changes nothing; a success changes only the bytes the fix-up's contract allows,
// leaves a file that passes riff::checkStructure, and a second run finds nothing to correct.
#include "avi_fixup.h"
#include "avi_video_fixup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

void Fail(int line) {
    std::fprintf(stderr, "contract broken: avi_fixup_fuzz.cpp:%d\n", line);
    std::abort();
}
#define Check(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) Fail(__LINE__);                                                          \
    } while (0)

enum Op { kAudioLengths, kVideoHeaders, kFormat, kName, kRate, kTrim, kOps };

struct Call {
    Op op;
    size_t stream;
    Bytes format;
    std::string name;
    uint32_t scale, rate;
};

avi::FixupResult Run(const Call& c, riff::ByteStore& store) {
    switch (c.op) {
    case kAudioLengths:
        return avi::fixAudioLengths(store);
    case kVideoHeaders:
        return avi::fixVideoHeaders(store);
    case kFormat:
        return avi::restoreStreamFormat(store, c.stream, c.format);
    case kName:
        return avi::restoreStreamName(store, c.stream, c.name);
    case kRate:
        return avi::restoreStreamRate(store, c.stream, c.scale, c.rate);
    default:
        return avi::trimAfterRiff(store);
    }
}

// A file in memory whose reads fail from a given one on, as a disk's may: the layout can be
// read and a later stream's fields not.
class FailingStore : public riff::MemoryStore {
  public:
    FailingStore(const std::vector<uint8_t>& bytes, unsigned failingRead)
        : riff::MemoryStore(bytes), failingRead_(failingRead) {}
    bool Read(uint64_t offset, void* dst, size_t n) override {
        if (failingRead_ != 0 && ++reads_ >= failingRead_) return false;
        return riff::MemoryStore::Read(offset, dst, n);
    }
    // Reads go through Read, so that every one of them can fail.
    const uint8_t* View(uint64_t, size_t) override { return nullptr; }

  private:
    unsigned failingRead_;
    unsigned reads_ = 0;
};

Bytes Slice(const Bytes& b, uint64_t at, uint64_t n) {
    return Bytes(b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at + n));
}

// Bytes outside the allowed ranges are the same in both images.
void SameOutside(const Bytes& a, const Bytes& b,
                 std::vector<std::pair<uint64_t, uint64_t>> allowed) {
    Check(a.size() == b.size());
    std::vector<bool> free(a.size(), false);
    for (auto [from, to] : allowed)
        for (uint64_t i = from; i < to && i < a.size(); ++i)
            free[i] = true;
    for (size_t i = 0; i < a.size(); ++i)
        Check(free[i] || a[i] == b[i]);
}

// A header-list resize: only the header list and the JUNK after it change; every other
// stream keeps its records and data.
void CheckResize(const Bytes& in, const Bytes& out, const avi::AviLayout& before, size_t stream,
                 uint32_t tag, const Bytes& want) {
    riff::MemoryStore original(in), changed(out);
    riff::Chunk hdrl, junk, riffChunk;
    riff::walkChunks(original, 0, in.size(), [&](const riff::Chunk& c) {
        if (c.id != riff::fourCC("RIFF")) return riff::Status::kStop;
        if (c.header < before.hdrl && before.hdrl < c.end()) riffChunk = c;
        return riff::Status::kOk;
    });
    riff::walkChunks(original, before.hdrl, in.size(), [&](const riff::Chunk& c) {
        hdrl = c;
        return riff::Status::kStop;
    });
    riff::walkChunks(original, hdrl.next(), in.size(), [&](const riff::Chunk& c) {
        junk = c;
        return riff::Status::kStop;
    });
    Check(junk.id == riff::fourCC("JUNK") && junk.end() <= riffChunk.end());
    SameOutside(in, out, {{hdrl.header, std::min(junk.next(), riffChunk.end())}});
    avi::AviLayout after;
    Check(avi::readAviLayout(changed, after) && after.streams.size() == before.streams.size());
    for (size_t i = 0; i < after.streams.size(); ++i) {
        const avi::StreamLayout &a = after.streams[i], &b = before.streams[i];
        Check(a.dataBytes == b.dataBytes && a.dataChunks == b.dataChunks);
        Check(Slice(out, a.strh, a.strhSize) == Slice(in, b.strh, b.strhSize));
        if (i != stream || tag != riff::fourCC("strf"))
            Check(Slice(out, a.strf, a.strfSize) == Slice(in, b.strf, b.strfSize));
    }
    // The chunk holds what was asked for.
    bool found = false;
    riff::walkChunks(changed, after.streams[stream].strl, out.size(), [&](const riff::Chunk& l) {
        riff::walkChunks(changed, l.listData(), l.end(), [&](const riff::Chunk& c) {
            if (c.id != tag) return riff::Status::kOk;
            found = Slice(out, c.data(), c.size) == want;
            return riff::Status::kStop;
        });
        return riff::Status::kStop;
    });
    Check(found);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    if (n < 3) return 0;
    const Bytes in(data + 3, data + n);
    const uint8_t arg = data[1];
    riff::MemoryStore probe(in);
    avi::AviLayout before;
    const bool sound = avi::readAviLayout(probe, before);

    Call call{Op(data[0] % kOps), size_t(arg & 3), {}, {}, arg, uint32_t(arg) << 8 | 1};
    if (call.op == kFormat) {
        // A longer form of the stored format, so that the resize really runs.
        if (sound && call.stream < before.streams.size())
            call.format =
                Slice(in, before.streams[call.stream].strf, before.streams[call.stream].strfSize);
        call.format.resize(call.format.size() + (arg >> 2), uint8_t(arg));
    }
    if (call.op == kName) call.name.assign(arg >> 2, char('a' + (arg & 3)));

    FailingStore store(in, data[2]);
    avi::FixupResult r = Run(call, store);
    const Bytes& out = store.bytes();
    if (!r.ok) {
        Check(out == in);
        return 0;
    }
    riff::MemoryStore result(out);
    Check(riff::checkStructure(result, call.op == kTrim ? 0 : riff::fourCC("AVI ")));
    Check(r.corrected > 0 || out == in);
    if (r.corrected == 0) return 0;

    std::vector<std::pair<uint64_t, uint64_t>> allowed;
    switch (call.op) {
    case kAudioLengths:
        for (const auto& s : before.streams)
            if (s.fccType == riff::fourCC("auds"))
                allowed.push_back({s.strh + avi::kStrhLength, s.strh + avi::kStrhLength + 4});
        SameOutside(in, out, allowed);
        break;
    case kVideoHeaders:
        allowed.push_back({before.avih, before.avih + 4});
        for (uint64_t e = 0; e + 16 <= before.idx1Size; e += 16) {
            const uint64_t flags = before.idx1 + e + 4;
            allowed.push_back({flags, flags + 4});
            // Key-frame flags are only ever added.
            Check((riff::loadU32(&out[flags]) & ~uint32_t(avi::kIndexKeyFrame)) ==
                  (riff::loadU32(&in[flags]) & ~uint32_t(avi::kIndexKeyFrame)));
        }
        SameOutside(in, out, allowed);
        break;
    case kFormat:
        CheckResize(in, out, before, call.stream, riff::fourCC("strf"), call.format);
        break;
    case kName: {
        Bytes want(call.name.begin(), call.name.end());
        want.push_back(0);
        CheckResize(in, out, before, call.stream, riff::fourCC("strn"), want);
        break;
    }
    case kRate: {
        const uint64_t at = before.streams.at(call.stream).strh + avi::kStrhScale;
        SameOutside(in, out, {{at, at + 8}});
        break;
    }
    default: // only zero bytes cut from the end
        Check(out.size() <= in.size() && std::equal(out.begin(), out.end(), in.begin()));
        for (size_t i = out.size(); i < in.size(); ++i)
            Check(in[i] == 0);
        break;
    }

    riff::MemoryStore again(out);
    avi::FixupResult second = Run(call, again);
    Check(second.ok && second.corrected == 0 && again.bytes() == out);
    return 0;
}
