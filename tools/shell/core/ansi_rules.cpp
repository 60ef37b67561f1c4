#include "ansi_rules.h"

namespace shell {

bool takesConversionFlags(uint32_t codePage) {
    switch (codePage) {
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 65000:
    case kCodePageUtf8:
        return false;
    default:
        return codePage < 57002 || codePage > 57011;
    }
}

bool toAnsiWith(const std::wstring& text, std::string& out, AnsiMode mode, uint32_t codePage,
                const AnsiCodec& codec) {
    out.clear();
    if (text.empty()) return true;
    const bool exact = mode == AnsiMode::kExact;
    // The default character rather than a look-alike where the code page allows the choice;
    // the round trip below decides exactness either way.
    const uint32_t flags = exact && takesConversionFlags(codePage) ? kNoBestFitChars : 0;
    const int length = int(text.size());
    int n = codec.narrow(codePage, flags, text.data(), length, nullptr, 0, nullptr);
    if (n <= 0) return false;
    out.resize(size_t(n));
    if (codec.narrow(codePage, flags, text.data(), length, &out[0], n, nullptr) != n) return false;
    if (!exact) return true;
    int m = codec.widen(codePage, out.data(), n, nullptr, 0);
    if (m != length) return false;
    std::wstring back(size_t(m), L'\0');
    return codec.widen(codePage, out.data(), n, &back[0], m) == m && back == text;
}

} // namespace shell
