// Upper case for comparing names: ASCII letters only, so that Japanese text, accented
// letters and the halves of a double-byte character never change.
#pragma once

#include <string>

namespace shell {

constexpr wchar_t upperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? wchar_t(c - (L'a' - L'A')) : c;
}

inline std::wstring upperAscii(const std::wstring& text) {
    std::wstring upper = text;
    for (auto& c : upper)
        c = upperAscii(c);
    return upper;
}

} // namespace shell
