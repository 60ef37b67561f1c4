#include "path_rules.h"

#include <cstdint>
#include <cwchar>

#include "letter_case.h"

namespace shell {

std::wstring joinPath(const std::wstring& folder, const std::wstring& name, FolderEnd end) {
    if (!folder.empty() &&
        (folder.back() == L'\\' || (end == FolderEnd::kBackslashOrSlash && folder.back() == L'/')))
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring outputPath(const std::wstring& folder, const std::wstring& answer) {
    if (answer.find(L'\\') != std::wstring::npos) return answer;
    return joinPath(folder, answer, FolderEnd::kBackslashOnly);
}

bool isTemporaryName(const std::wstring& name) {
    const std::wstring upper = upperAscii(name);
    if (upper.size() < 8 || upper.size() > 11 || upper.compare(0, 3, L"QLN") != 0 ||
        upper.compare(upper.size() - 4, 4, L".TMP") != 0)
        return false;
    for (size_t i = 3; i + 4 < upper.size(); ++i)
        if (!((upper[i] >= L'0' && upper[i] <= L'9') || (upper[i] >= L'A' && upper[i] <= L'F')))
            return false;
    return true;
}

std::wstring temporaryGuardName(const std::wstring& fullPath) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a over the UTF-16 units
    for (wchar_t c : upperAscii(fullPath)) {
        hash = (hash ^ uint16_t(c)) * 1099511628211ull;
    }
    wchar_t text[17];
    std::swprintf(text, 17, L"%016llX", static_cast<unsigned long long>(hash));
    return std::wstring(L"Local\\QuillonTemporary-") + text;
}

} // namespace shell
