#include "path_rules.h"

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

} // namespace shell
