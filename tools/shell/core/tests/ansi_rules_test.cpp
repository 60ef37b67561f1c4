// The exactness rule of the ANSI conversion against stand-ins for the platform's code pages.
#include "ansi_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

using shell::AnsiCodec;
using shell::AnsiMode;
using shell::toAnsiWith;

namespace {

// Copies `bytes` out the way the platform does: the length needed for capacity 0, 0 when
// the buffer is too small.
template <class C> int giveOut(const std::basic_string<C>& bytes, C* out, int capacity) {
    if (capacity == 0) return int(bytes.size());
    if (capacity < int(bytes.size())) return 0;
    std::copy(bytes.begin(), bytes.end(), out);
    return int(bytes.size());
}

// UTF-8 as the platform converts it: a lone surrogate becomes U+FFFD. A strict stand-in
// refuses, as Windows does, every flag but WC_ERR_INVALID_CHARS (0x80) and a used-default
// pointer; a lax one accepts them, as Wine does.
AnsiCodec utf8Codec(bool strict, int& refused) {
    AnsiCodec c;
    c.narrow = [strict, &refused](uint32_t cp, uint32_t flags, const wchar_t* text, int length,
                                  char* out, int capacity, int* usedDefault) {
        EXPECT_EQ(cp, shell::kCodePageUtf8);
        if (strict && ((flags & ~0x80u) != 0 || usedDefault)) {
            ++refused;
            return 0;
        }
        std::string bytes;
        for (int i = 0; i < length; ++i) {
            uint32_t u = uint32_t(text[i]);
            if ((u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) u = 0xFFFD;
            if (u < 0x80) {
                bytes += char(u);
            } else if (u < 0x800) {
                bytes += char(0xC0 | u >> 6);
                bytes += char(0x80 | (u & 0x3F));
            } else if (u < 0x10000) {
                bytes += char(0xE0 | u >> 12);
                bytes += char(0x80 | (u >> 6 & 0x3F));
                bytes += char(0x80 | (u & 0x3F));
            } else {
                bytes += char(0xF0 | u >> 18);
                bytes += char(0x80 | (u >> 12 & 0x3F));
                bytes += char(0x80 | (u >> 6 & 0x3F));
                bytes += char(0x80 | (u & 0x3F));
            }
        }
        return giveOut(bytes, out, capacity);
    };
    c.widen = [](uint32_t, const char* bytes, int length, wchar_t* out, int capacity) {
        std::wstring text;
        for (int i = 0; i < length;) {
            uint8_t b = uint8_t(bytes[i]);
            int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
            uint32_t u = extra == 0 ? b : b & (0x3F >> extra);
            for (int k = 1; k <= extra && i + k < length; ++k)
                u = u << 6 | (uint8_t(bytes[i + k]) & 0x3F);
            text += wchar_t(u);
            i += 1 + extra;
        }
        return giveOut(text, out, capacity);
    };
    return c;
}

// A Western single-byte code page: Latin-1 as it is, "\u014C" best-fitted to "O" unless
// WC_NO_BEST_FIT_CHARS is given (a careless one best-fits anyway), "?" for the rest.
AnsiCodec westernCodec(bool honoursNoBestFit) {
    AnsiCodec c;
    c.narrow = [honoursNoBestFit](uint32_t, uint32_t flags, const wchar_t* text, int length,
                                  char* out, int capacity, int* usedDefault) {
        std::string bytes;
        for (int i = 0; i < length; ++i) {
            if (uint32_t(text[i]) < 0x100) {
                bytes += char(text[i]);
            } else if (text[i] == L'\u014C' &&
                       (!(flags & shell::kNoBestFitChars) || !honoursNoBestFit)) {
                bytes += 'O';
            } else {
                bytes += '?';
                if (usedDefault) *usedDefault = 1;
            }
        }
        return giveOut(bytes, out, capacity);
    };
    c.widen = [](uint32_t, const char* bytes, int length, wchar_t* out, int capacity) {
        std::wstring text;
        for (int i = 0; i < length; ++i)
            text += wchar_t(uint8_t(bytes[i]));
        return giveOut(text, out, capacity);
    };
    return c;
}

} // namespace

TEST(ToAnsiWith, Utf8AnswersAlikeWhetherThePlatformRefusesFlagsOrNot) {
    for (bool strict : {true, false}) {
        SCOPED_TRACE(strict ? "refuses flags" : "accepts flags");
        int refused = 0;
        const AnsiCodec codec = utf8Codec(strict, refused);
        std::string out;
        for (AnsiMode mode : {AnsiMode::kExact, AnsiMode::kBestFit}) {
            EXPECT_TRUE(toAnsiWith(L"\u97F3\u58F0.avi", out, mode, 65001, codec));
            EXPECT_EQ(out, "\xE9\x9F\xB3\xE5\xA3\xB0.avi");
            EXPECT_TRUE(toAnsiWith(L"\u014C.avi", out, mode, 65001, codec));
            EXPECT_EQ(out, "\xC5\x8C.avi");
        }
        // A lone surrogate has no UTF-8 form: the platform writes U+FFFD.
        EXPECT_FALSE(toAnsiWith(std::wstring(1, wchar_t(0xD800)) + L".avi", out, AnsiMode::kExact,
                                65001, codec));
        EXPECT_EQ(out, "\xEF\xBF\xBD.avi");
        EXPECT_TRUE(toAnsiWith(std::wstring(1, wchar_t(0xD800)) + L".avi", out, AnsiMode::kBestFit,
                               65001, codec));
        EXPECT_EQ(refused, 0);
    }
}

TEST(ToAnsiWith, ASingleByteCodePageRefusesLookAlikesAndDefaultCharacters) {
    std::string out;
    const AnsiCodec western = westernCodec(true);
    EXPECT_FALSE(toAnsiWith(L"\u014C.avi", out, AnsiMode::kExact, 1252, western));
    EXPECT_EQ(out, "?.avi"); // the default character, never the look-alike
    EXPECT_FALSE(toAnsiWith(L"\u97F3.avi", out, AnsiMode::kExact, 1252, western));
    EXPECT_TRUE(toAnsiWith(L"\u014C.avi", out, AnsiMode::kBestFit, 1252, western));
    EXPECT_EQ(out, "O.avi");
    EXPECT_TRUE(toAnsiWith(L"caf\u00E9?.avi", out, AnsiMode::kExact, 1252, western));
    EXPECT_EQ(out, "caf\xE9?.avi");
    EXPECT_TRUE(toAnsiWith(L"", out, AnsiMode::kExact, 1252, western));
    EXPECT_EQ(out, "");
    // A look-alike is refused even when the platform reports no default character for it.
    EXPECT_FALSE(toAnsiWith(L"\u014C.avi", out, AnsiMode::kExact, 1252, westernCodec(false)));
}
