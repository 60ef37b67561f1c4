#include "path_rules.h"

namespace shell {

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name, FolderEnd end) {
    if (!folder.empty() &&
        (folder.back() == L'\\' || (end == FolderEnd::kBackslashOrSlash && folder.back() == L'/')))
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring OutputPath(const std::wstring& folder, const std::wstring& answer) {
    if (answer.find(L'\\') != std::wstring::npos) return answer;
    return JoinPath(folder, answer, FolderEnd::kBackslashOnly);
}

} // namespace shell
