// Files and folders: the test program's own folder, scratch folders, whole-file reads
// and writes, and text between UTF-16 and a code page.

#include "driver_internal.h"

namespace td {

std::wstring exeFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/"));
}

std::wstring join(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L"\\" + name;
}

std::wstring makeTempFolder(const std::wstring& prefix) {
    static int counter = 0;
    // Under Z: (the Unix root) so Unix checkers see the same files by a plain path.
    for (;;) {
        std::wstring folder = L"Z:\\tmp\\" + prefix + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return L"";
    }
}

void removeTree(const std::wstring& folder) {
    if (folder.size() < 8) return; // never a drive or a short system path
    WIN32_FIND_DATAW fd;
    common::FindHandle search(FindFirstFileW(join(folder, L"*").c_str(), &fd));
    if (search) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = join(folder, name);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removeTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search.get(), &fd));
        search.reset();
    }
    RemoveDirectoryW(folder.c_str());
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    common::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD done = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) &&
            done == bytes.size());
}

bool readBytes(const std::wstring& path, std::string& bytes) {
    common::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return false;
    bytes.assign(size_t(size.QuadPart), '\0');
    DWORD got = 0;
    return bytes.empty() || (ReadFile(file.get(), &bytes[0], DWORD(bytes.size()), &got, nullptr) &&
                             got == bytes.size());
}

bool copyBeside(const std::wstring& name, const std::wstring& folder) {
    return CopyFileW(join(exeFolder(), name).c_str(), join(folder, name).c_str(), FALSE) != 0;
}

std::map<std::wstring, std::string> folderContents(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW fd;
    common::FindHandle search(FindFirstFileW(join(folder, L"*").c_str(), &fd));
    if (!search) return files;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        std::string bytes;
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) readBytes(join(folder, name), bytes);
        files[name] = bytes;
    } while (FindNextFileW(search.get(), &fd));
    return files;
}

std::wstring smallDiskFolder(const std::wstring& prefix) {
    wchar_t unixPath[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"QUILLON_SMALL_DISK", unixPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L"";
    std::wstring folder =
        join(windowsPath(narrow(unixPath)), prefix + L"-" + std::to_wstring(GetCurrentProcessId()));
    removeTree(folder);
    return CreateDirectoryW(folder.c_str(), nullptr) ? folder : L"";
}

bool fillDisk(const std::wstring& folder, unsigned long long leaveFree) {
    // Written for real: a sparse file would take no room.
    std::string dir = unixPath(folder);
    return runUnix("avail=$(df --output=avail -B1 '" + dir +
                   "' | tail -n 1) && head -c $((avail - " + std::to_string(leaveFree) +
                   ")) /dev/zero > '" + dir + "/filler'; " + "[ $(df --output=avail -B1 '" + dir +
                   "' | tail -n 1) -le " + std::to_string(leaveFree) + " ]") == 0;
}

std::string narrow(const std::wstring& s, UINT codePage) {
    if (s.empty()) return "";
    int n = WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(codePage, 0, s.data(), int(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring widen(const std::string& s, UINT codePage) {
    if (s.empty()) return L"";
    int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), &out[0], n);
    return out;
}

} // namespace td
