#include "fixup_failure.h"

#include "shell/shell.h"

namespace avi {

namespace {

// The AVI fix-ups explain a failure in English; the warning gives it in Japanese.
std::wstring fixupReason(const std::string& why) {
    static const struct {
        const char* english;
        const wchar_t* text;
    } kReasons[] = {
        {"not a RIFF file", L"RIFFファイルではありません。"},
        {"empty file", L"ファイルが空です。"},
        {"a RIFF chunk runs past the end of the file",
         L"RIFFチャンクがファイルの終わりを越えています。"},
        {"unexpected RIFF form type", L"AVIファイルの形式ではありません。"},
        {"a chunk runs past the end of its list", L"チャンクがリストの終わりを越えています。"},
        {"lists nested too deeply", L"リストの入れ子が深すぎます。"},
        {"malformed AVI lists", L"AVIファイルのリストが壊れています。"},
        {"no main AVI header", L"AVIファイルのヘッダーがありません。"},
        {"no such stream chunk", L"ストリームのヘッダーが見つかりません。"},
        {"no such stream", L"ストリームが見つかりません。"},
        {"the change would break the file", L"ヘッダーを書き直すとファイルが壊れます。"},
        {"cannot shorten the file", L"ファイルを切り詰められません。"},
        {"no room after the header list", L"ヘッダーを書き直す領域が足りません。"},
        {"the stored format is not a prefix of the full one",
         L"書き込まれたフォーマットが元のフォーマットと一致しません。"},
        {"read error", L"読み込みに失敗しました。"},
        {"write error", L"書き込みに失敗しました。"},
        {"a stream did not arrive whole", kNotAllWritten},
    };
    for (const auto& r : kReasons)
        if (why == r.english) return r.text;
    return kCannotFixUp;
}

} // namespace

std::wstring fixUpFailure(const FixupResult& fix, const shell::Win32File& file) {
    if (file.lastError()) return shell::systemErrorText(file.lastError());
    return fixupReason(fix.why);
}

} // namespace avi
