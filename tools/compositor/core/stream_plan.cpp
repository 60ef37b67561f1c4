#include "stream_plan.h"

namespace compositor {

bool needsAudioFile(AudioOperation op) {
    return op == AudioOperation::Add || op == AudioOperation::Replace;
}

std::vector<GatherStep> gatherSteps(AudioOperation op) {
    std::vector<GatherStep> steps;
    steps.push_back({SourceFile::Video, StreamKind::Video, false, true});
    if (op == AudioOperation::Add || op == AudioOperation::NoOperation)
        steps.push_back({SourceFile::Video, StreamKind::Audio, true, false});
    if (needsAudioFile(op)) steps.push_back({SourceFile::Audio, StreamKind::Audio, true, true});
    return steps;
}

static wchar_t upper_char(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0xFF41 + 0xFF21);
    return c;
}

std::wstring upper(const std::wstring& s) {
    std::wstring out = s;
    for (auto& c : out)
        c = upper_char(c);
    return out;
}

std::wstring completeOutputName(const std::wstring& answer) {
    if (upper(answer).find(L".AVI") != std::wstring::npos) return answer;
    return answer + L".avi";
}

bool sameFileName(const std::wstring& answer, const std::wstring& source_name) {
    return upper(answer) == upper(source_name);
}

std::wstring progressCaption(const std::wstring& title, int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    return title + L" - " + std::to_wstring(percent) + L"%";
}

} // namespace compositor

namespace compositor {

std::wstring leftOutMessage(int leftOut) {
    return L"ストリームは" + std::to_wstring(kStreamSlots) +
           L"個までです。\rオーディオ ストリーム" + std::to_wstring(leftOut) +
           L"個は保存されません。";
}

} // namespace compositor
