#include "chooser_rules.h"

#include "letter_case.h"

#include <algorithm>

namespace shell {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring trim(const std::wstring& s) {
    size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring::npos) return L"";
    size_t e = s.find_last_not_of(L' ');
    return s.substr(b, e - b + 1);
}

// Length of the root part: "C:\" -> 3, "\\server\share\" -> up to and with the separator.
size_t rootLength(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':')
        return path.size() >= 3 && isSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        size_t server = path.find_first_of(L"\\/", 2);
        if (server == std::wstring::npos) return path.size();
        size_t share = path.find_first_of(L"\\/", server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return path.empty() || !isSeparator(path[0]) ? 0 : 1;
}

} // namespace

std::vector<std::wstring> splitPatterns(const std::wstring& pattern) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= pattern.size()) {
        size_t end = pattern.find(L';', start);
        if (end == std::wstring::npos) end = pattern.size();
        std::wstring part = trim(pattern.substr(start, end - start));
        if (!part.empty()) parts.push_back(part);
        start = end + 1;
    }
    if (parts.empty()) parts.push_back(L"*.*");
    return parts;
}

bool isValidPattern(const std::wstring& pattern) {
    for (wchar_t c : pattern) {
        if (c < 32) return false;
        if (std::wstring(L"\\/:\"<>|").find(c) != std::wstring::npos) return false;
    }
    return true;
}

std::wstring trimFolder(const std::wstring& path) {
    std::wstring p = path;
    size_t root = rootLength(p);
    while (p.size() > root && isSeparator(p.back()))
        p.pop_back();
    return p;
}

std::vector<DirRow> dirTreeRows(const std::wstring& path, std::vector<std::wstring> subfolders) {
    std::wstring p = trimFolder(path);
    std::vector<DirRow> rows;
    size_t root = rootLength(p);
    rows.push_back({p.substr(0, root), p.substr(0, root), 0});
    int depth = 0;
    size_t pos = root;
    while (pos < p.size()) {
        size_t end = p.find_first_of(L"\\/", pos);
        if (end == std::wstring::npos) end = p.size();
        rows.push_back({p.substr(0, end), p.substr(pos, end - pos), ++depth});
        pos = end + 1;
    }
    std::sort(subfolders.begin(), subfolders.end(),
              [](const std::wstring& a, const std::wstring& b) {
                  return std::lexicographical_compare(
                      a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return upperAscii(x) < upperAscii(y); });
              });
    for (const auto& name : subfolders)
        rows.push_back({joinPath(p, name, FolderEnd::kBackslashOrSlash), name, depth + 1});
    return rows;
}

int currentRow(const std::wstring& path) {
    std::wstring p = trimFolder(path);
    size_t root = rootLength(p);
    int row = 0;
    size_t pos = root;
    while (pos < p.size()) {
        size_t end = p.find_first_of(L"\\/", pos);
        if (end == std::wstring::npos) end = p.size();
        ++row;
        pos = end + 1;
    }
    return row;
}

} // namespace shell
