// A file as a riff::ByteStore through the C++ library, for the native tests: the programs
// use the shell's Win32 store.
#pragma once

#include <filesystem>
#include <fstream>

#include "riff.h"

namespace riff {

class FileStore : public ByteStore {
  public:
    bool open(const std::filesystem::path& path, bool writable);
    bool isOpen() const { return file_.is_open(); }
    void close();
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* dst, size_t n) override;
    bool Write(uint64_t offset, const void* src, size_t n) override;
    bool Truncate(uint64_t size) override;

  private:
    std::fstream file_;
    std::filesystem::path path_;
    bool writable_ = false;
    uint64_t size_ = 0;
};

} // namespace riff
