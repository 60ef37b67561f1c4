// Files and code pages as the programs use them: identity, whole-file reading, ANSI text.
#include "shell/shell.h"

#include "common/owned.h"
#include "shell/command_line.h"

namespace shell {

namespace {

bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    common::UniqueFile f(CreateFileW(path.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return f && GetFileInformationByHandle(f.get(), &info) != 0;
}

} // namespace

bool fileKey(const std::wstring& path, FileKey& key) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!fileIdentity(path, info)) return false;
    key = {info.dwVolumeSerialNumber, uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
    return true;
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!fileIdentity(a, ia) || !fileIdentity(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool readWholeFile(const std::wstring& path, std::string& bytes, DWORD& error, DWORD share) {
    common::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        error = GetLastError();
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(f.get(), &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.assign(size_t(size.QuadPart), '\0');
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(f.get(), &bytes[0], DWORD(bytes.size()), &got, nullptr) &&
                               got == bytes.size());
    }
    error = ok ? 0 : (GetLastError() ? GetLastError() : ERROR_READ_FAULT);
    return ok;
}

bool toAnsi(const std::wstring& text, std::string& out, AnsiMode mode) {
    static_assert(kNoBestFitChars == WC_NO_BEST_FIT_CHARS && kCodePageUtf8 == CP_UTF8,
                  "the rule's constants are the platform's");
    static const AnsiCodec platform{
        [](uint32_t codePage, uint32_t flags, const wchar_t* text, int length, char* out,
           int capacity, int* usedDefault) {
            return WideCharToMultiByte(codePage, flags, text, length, out, capacity, nullptr,
                                       usedDefault);
        },
        [](uint32_t codePage, const char* bytes, int length, wchar_t* out, int capacity) {
            return MultiByteToWideChar(codePage, 0, bytes, length, out, capacity);
        }};
    return toAnsiWith(text, out, mode, GetACP(), platform);
}

std::wstring fromAnsi(const std::string& bytes) {
    if (bytes.empty()) return L"";
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), &text[0], n);
    return text;
}

} // namespace shell
