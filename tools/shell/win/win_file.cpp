#include "shell/win_file.h"

namespace shell {

bool Win32File::open(const std::wstring& path, bool writable) {
    close();
    DWORD access = GENERIC_READ | (writable ? GENERIC_WRITE : 0);
    DWORD share = writable ? 0 : FILE_SHARE_READ;
    writable_ = writable;
    handle_.reset(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle_) {
        error_ = GetLastError();
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.get(), &size)) {
        error_ = GetLastError();
        close();
        return false;
    }
    size_ = uint64_t(size.QuadPart);
    return true;
}

void Win32File::close() {
    view_.reset();
    mapping_.reset();
    handle_.reset();
    size_ = 0;
}

bool Win32File::seek(uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    if (SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN)) return true;
    error_ = GetLastError();
    return false;
}

bool Win32File::Read(uint64_t offset, void* dst, size_t n) {
    if (!handle_ || offset > size_ || n > size_ - offset) {
        error_ = ERROR_HANDLE_EOF;
        return false;
    }
    if (!seek(offset)) return false;
    auto* p = static_cast<char*>(dst);
    while (n > 0) {
        DWORD got = 0;
        if (!ReadFile(handle_.get(), p, DWORD(n), &got, nullptr)) {
            error_ = GetLastError();
            return false;
        }
        if (got == 0) { // the file shrank under us
            error_ = ERROR_HANDLE_EOF;
            return false;
        }
        p += got;
        n -= got;
    }
    return true;
}

const uint8_t* Win32File::View(uint64_t offset, size_t n) {
    // One view per file is all the reader needs.
    if (!handle_ || writable_ || view_ || n == 0 || offset > size_ || n > size_ - offset)
        return nullptr;
    mapping_.reset(CreateFileMappingW(handle_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) return nullptr;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    uint64_t start = offset - offset % si.dwAllocationGranularity;
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, DWORD(start >> 32), DWORD(start),
                              SIZE_T(offset - start + n)));
    if (!view_) {
        mapping_.reset();
        return nullptr;
    }
    return static_cast<const uint8_t*>(view_.get()) + (offset - start);
}

bool Win32File::Write(uint64_t offset, const void* src, size_t n) {
    if (!handle_ || offset > size_ || n > size_ - offset) {
        error_ = ERROR_HANDLE_EOF;
        return false;
    }
    if (!seek(offset)) return false;
    DWORD put = 0;
    if (!WriteFile(handle_.get(), src, DWORD(n), &put, nullptr) || put != n) {
        error_ = GetLastError();
        return false;
    }
    return true;
}

bool Win32File::Truncate(uint64_t size) {
    if (!handle_ || !writable_ || size > size_) {
        error_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (!seek(size)) return false;
    if (!SetEndOfFile(handle_.get())) {
        error_ = GetLastError();
        return false;
    }
    size_ = size;
    return true;
}

} // namespace shell
