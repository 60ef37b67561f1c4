#include "riff.h"

#include <cstring>
#include <limits>

namespace riff {

bool MemoryStore::Read(uint64_t offset, void* dst, size_t n) {
    if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
    if (n) std::memcpy(dst, bytes_.data() + offset, n);
    return true;
}

const uint8_t* MemoryStore::View(uint64_t offset, size_t n) {
    if (offset > bytes_.size() || n > bytes_.size() - offset) return nullptr;
    return bytes_.data() + offset;
}

bool MemoryStore::Write(uint64_t offset, const void* src, size_t n) {
    if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
    if (n) std::memcpy(bytes_.data() + offset, src, n);
    return true;
}

bool MemoryStore::Truncate(uint64_t size) {
    if (size > bytes_.size()) return false;
    bytes_.resize(size_t(size));
    return true;
}

uint16_t loadU16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t loadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void storeU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool Chunk::isList() const {
    return id == fourCC("RIFF") || id == fourCC("LIST");
}

Status walkChunks(ByteStore& store, uint64_t begin, uint64_t end,
                  const std::function<Status(const Chunk&)>& visit) {
    end = std::min(end, store.Size());
    uint64_t pos = begin;
    while (pos < end) {
        if (end - pos < 8) return Status::kTruncated;
        uint8_t head[12];
        if (!store.Read(pos, head, 8)) return Status::kIoError;
        Chunk c;
        c.id = loadU32(head);
        c.size = loadU32(head + 4);
        c.header = pos;
        if (c.size > end - c.data()) return Status::kTruncated;
        if (c.isList()) {
            if (c.size < 4) return Status::kTruncated;
            if (!store.Read(c.data(), head + 8, 4)) return Status::kIoError;
            c.form = loadU32(head + 8);
        }
        Status s = visit(c);
        if (s == Status::kStop) return Status::kOk;
        if (s != Status::kOk) return s;
        pos = c.next();
    }
    return Status::kOk;
}

namespace {

constexpr int kMaxDepth = 32;

Status checkLists(ByteStore& store, const Chunk& list, int depth, std::string* why) {
    if (depth > kMaxDepth) {
        if (why) *why = "lists nested too deeply";
        return Status::kTruncated;
    }
    return walkChunks(store, list.listData(), list.end(), [&](const Chunk& c) {
        if (c.isList()) return checkLists(store, c, depth + 1, why);
        return Status::kOk;
    });
}

} // namespace

bool checkStructure(ByteStore& store, uint32_t form, std::string* why) {
    std::string reason;
    auto fail = [&](const char* text) {
        if (why) *why = reason.empty() ? text : reason;
        return false;
    };
    uint64_t pos = 0, size = store.Size();
    bool first = true;
    while (pos < size) {
        uint8_t head[4];
        if (size - pos < 8 || !store.Read(pos, head, 4) || loadU32(head) != fourCC("RIFF")) {
            // Bytes after the last RIFF chunk (padding some writers leave) are ignored.
            if (first) return fail("not a RIFF file");
            break;
        }
        Chunk riff;
        Status s = walkChunks(store, pos, size, [&](const Chunk& c) {
            riff = c;
            return Status::kStop;
        });
        if (s != Status::kOk) return fail("a RIFF chunk runs past the end of the file");
        if (first && form != 0 && riff.form != form) return fail("unexpected RIFF form type");
        s = checkLists(store, riff, 1, &reason);
        if (s == Status::kIoError) return fail("read error");
        if (s != Status::kOk) return fail("a chunk runs past the end of its list");
        first = false;
        pos = riff.next();
    }
    if (first) return fail("empty file");
    return true;
}

} // namespace riff
