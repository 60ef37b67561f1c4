// Conversion of text to an ANSI code page, and when it counts as exact. The platform's
// conversion calls are passed in, so the rule is the same whatever the platform accepts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace shell {

// How toAnsi treats a character without an exact ANSI form.
enum class AnsiMode {
    kBestFit, // the system's substitute ("O" for "\u014C"), as a saved text file gets
    kExact,   // the default character where the code page has one, and toAnsi returns
              // false: the platform's AVIFile reaches files by ANSI names, so a substitute
              // could reach another file
};

// The platform's two conversions, shaped like WideCharToMultiByte (without the default
// character) and MultiByteToWideChar with no flags: the length needed when `capacity` is
// 0, else the length written; 0 on failure.
struct AnsiCodec {
    std::function<int(uint32_t codePage, uint32_t flags, const wchar_t* text, int length, char* out,
                      int capacity, int* usedDefault)>
        narrow;
    std::function<int(uint32_t codePage, const char* bytes, int length, wchar_t* out, int capacity)>
        widen;
};

constexpr uint32_t kCodePageUtf8 = 65001;
constexpr uint32_t kNoBestFitChars = 0x400; // WC_NO_BEST_FIT_CHARS

// False for the code pages whose conversion refuses every flag and a used-default pointer
// (UTF-8, UTF-7, Symbol, the ISO-2022 and ISCII families).
bool takesConversionFlags(uint32_t codePage);

// The text in `codePage`. In kExact mode it is exact when the bytes convert back to the
// same text; neither a default character nor a look-alike does. No call passes a flag or
// a used-default pointer to a code page that refuses them. False also when a conversion
// fails.
bool toAnsiWith(const std::wstring& text, std::string& out, AnsiMode mode, uint32_t codePage,
                const AnsiCodec& codec);

} // namespace shell
