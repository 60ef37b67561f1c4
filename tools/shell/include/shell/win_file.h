// A Win32 file as a riff::ByteStore, the one file store of the programs: the WAV reader and
// the AVI fix-ups run on it, and the last system error stays available for the message.
#pragma once

#include <windows.h>

#include "common/owned.h"
#include "riff.h"

#include <string>

namespace shell {

class Win32File : public riff::ByteStore {
  public:
    Win32File() = default;
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool open(const std::wstring& path, bool writable);
    void close();
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* dst, size_t n) override;
    bool Write(uint64_t offset, const void* src, size_t n) override;
    bool Truncate(uint64_t size) override;
    // A read-only mapping of the range (read-only files only).
    const uint8_t* View(uint64_t offset, size_t n) override;
    DWORD lastError() const { return error_; }

  private:
    bool seek(uint64_t offset);
    common::UniqueFile handle_;
    bool writable_ = false;
    // Declared after the file they come from: the view goes first, then the mapping.
    common::UniqueHandle mapping_;
    common::MappedView view_;
    uint64_t size_ = 0;
    DWORD error_ = 0;
};

} // namespace shell
