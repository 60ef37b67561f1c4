#include "file_store.h"

namespace riff {

bool FileStore::open(const std::filesystem::path& path, bool writable) {
    close();
    path_ = path;
    writable_ = writable;
    auto mode = std::ios::in | std::ios::binary;
    if (writable) mode |= std::ios::out;
    file_.open(path, mode);
    if (!file_.is_open()) return false;
    file_.seekg(0, std::ios::end);
    auto end = file_.tellg();
    if (end < 0) {
        close();
        return false;
    }
    size_ = uint64_t(end);
    return true;
}

void FileStore::close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    size_ = 0;
}

bool FileStore::Read(uint64_t offset, void* dst, size_t n) {
    if (!file_.is_open() || offset > size_ || n > size_ - offset) return false;
    file_.clear();
    file_.seekg(std::streamoff(offset));
    file_.read(static_cast<char*>(dst), std::streamsize(n));
    return bool(file_) && size_t(file_.gcount()) == n;
}

bool FileStore::Write(uint64_t offset, const void* src, size_t n) {
    // Only overwrites: a fix-up never grows the file.
    if (!file_.is_open() || offset > size_ || n > size_ - offset) return false;
    file_.clear();
    file_.seekp(std::streamoff(offset));
    file_.write(static_cast<const char*>(src), std::streamsize(n));
    file_.flush();
    return bool(file_);
}

bool FileStore::Truncate(uint64_t size) {
    // The stream library cannot cut an open file: close, cut by name, open again.
    if (!file_.is_open() || !writable_ || size > size_) return false;
    std::filesystem::path path = path_;
    close();
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    return open(path, true) && !error && size_ == size;
}

} // namespace riff
