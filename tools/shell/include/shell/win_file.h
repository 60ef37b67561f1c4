// A Win32 file as a riff::ByteStore, the one file store of the programs: the WAV reader and
// the AVI fix-ups run on it, and the last system error stays available for the message.
#pragma once

#include <windows.h>

#include "riff.h"

#include <string>
#include <vector>

namespace shell {

class Win32File : public riff::ByteStore {
  public:
    Win32File() = default;
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;
    ~Win32File() override { Close(); }

    bool Open(const std::wstring& path, bool writable);
    void Close();
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* dst, size_t n) override;
    bool Write(uint64_t offset, const void* src, size_t n) override;
    bool Truncate(uint64_t size) override;
    // A read-only mapping of the range (read-only files only).
    const uint8_t* View(uint64_t offset, size_t n) override;
    DWORD LastError() const { return error_; }
    HANDLE Handle() const { return handle_; }

  private:
    bool Seek(uint64_t offset);
    bool ReadAt(uint64_t offset, void* dst, size_t n);
    // Small reads are served from one block read ahead: a walk over the thousands of small
    // chunks of an AVI file then makes a system call every few hundred of them, not two
    // each. A write or a truncation drops the block.
    static constexpr size_t kReadAhead = 256 * 1024;
    std::vector<uint8_t> block_;
    uint64_t blockAt_ = 0;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool writable_ = false;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    uint64_t size_ = 0;
    DWORD error_ = 0;
};

} // namespace shell
