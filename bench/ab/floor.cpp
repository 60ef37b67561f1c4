#include "floor.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace floor_ab {

std::vector<std::wstring> FullPathArguments(int count, const char* usage) {
    std::vector<std::wstring> paths;
    if (__argc != count + 1) {
        Say("usage: %s", usage);
        return paths;
    }
    for (int i = 1; i <= count; ++i) {
        wchar_t full[MAX_PATH];
        DWORD n = GetFullPathNameW(__wargv[i], MAX_PATH, full, nullptr);
        paths.push_back(n > 0 && n < MAX_PATH ? full : __wargv[i]);
    }
    return paths;
}

std::wstring TempBeside(const std::wstring& target) {
    std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"QLN", 0, name)) return {};
    return name;
}

DWORD FlushAndPlace(const std::wstring& temp, const std::wstring& target) {
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD error = FlushFileBuffers(f) ? 0 : GetLastError();
    CloseHandle(f);
    if (error) return error;
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? 0
                                                                                 : GetLastError();
    return ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr)
               ? 0
               : GetLastError();
}

std::string Ansi(const std::wstring& path) {
    int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? size_t(n) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}

double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

void Say(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (n < 0) return;
    if (n > int(sizeof line) - 2) n = int(sizeof line) - 2;
    line[n++] = '\n';
    DWORD put = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, DWORD(n), &put, nullptr);
}

} // namespace floor_ab
