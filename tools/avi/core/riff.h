// RIFF chunks over a byte store: bounded walking and a whole-file structure check.
// Pure (no windows.h) so that the rules are unit-tested natively and shared by the
// AVI programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace riff {

// The four characters packed little-endian, first character in the low byte.
constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t fourCC(const char (&s)[5]) {
    return fourCC(s[0], s[1], s[2], s[3]);
}

// Random access to the bytes of a file or a buffer. Read and Write move exactly n bytes
// or fail.
class ByteStore {
  public:
    virtual ~ByteStore() = default;
    virtual uint64_t Size() const = 0;
    virtual bool Read(uint64_t offset, void* dst, size_t n) = 0;
    virtual bool Write(uint64_t offset, const void* src, size_t n) = 0;
    // Cuts the store to `size` bytes (never grows it); false when it cannot.
    virtual bool Truncate(uint64_t) { return false; }
    // The bytes in place, valid while the store lives, or null when the store cannot
    // show them without a copy (callers then Read).
    virtual const uint8_t* View(uint64_t, size_t) { return nullptr; }
};

class MemoryStore : public ByteStore {
  public:
    MemoryStore() = default;
    explicit MemoryStore(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    MemoryStore(const uint8_t* data, size_t n) : bytes_(data, data + n) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* dst, size_t n) override;
    bool Write(uint64_t offset, const void* src, size_t n) override;
    bool Truncate(uint64_t size) override;
    const uint8_t* View(uint64_t offset, size_t n) override;
    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

uint16_t loadU16(const uint8_t* p);
uint32_t loadU32(const uint8_t* p);
void storeU32(uint8_t* p, uint32_t v);

struct Chunk {
    uint32_t id = 0;
    uint32_t size = 0;   // declared data size, pad byte excluded
    uint64_t header = 0; // offset of the 8-byte header
    uint32_t form = 0;   // list type of a RIFF or LIST chunk, else 0

    uint64_t data() const { return header + 8; }
    uint64_t end() const { return data() + size; }
    uint64_t next() const { return end() + (size & 1); }
    bool isList() const;
    // Where the children of a RIFF or LIST chunk start (after the list type).
    uint64_t listData() const { return data() + 4; }
};

enum class Status { kOk, kStop, kTruncated, kIoError };

// Calls visit for each chunk that lies in [begin, end). A chunk whose header or data
// crosses end gives Truncated and is not visited; a missing final pad byte is tolerated.
// visit returns Ok to go on, Stop to end the walk early (the walk then returns Ok), or an
// error that the walk returns.
Status walkChunks(ByteStore& store, uint64_t begin, uint64_t end,
                  const std::function<Status(const Chunk&)>& visit);

// Checks a whole RIFF file: the first chunk is "RIFF" with the given form type
// (0 accepts any), and every chunk, nested lists included, lies inside its parent and
// inside the file. Further top-level RIFF chunks (extensions of large files) are checked
// the same way. why receives a short English reason on failure.
bool checkStructure(ByteStore& store, uint32_t form, std::string* why = nullptr);

} // namespace riff
