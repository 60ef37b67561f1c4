#include "stream_plan.h"

#include "letter_case.h"

namespace compositor {

bool needsAudioFile(AudioOperation op) {
    return op == AudioOperation::kAdd || op == AudioOperation::kReplace;
}

std::vector<GatherStep> gatherSteps(AudioOperation op) {
    std::vector<GatherStep> steps;
    steps.push_back({SourceFile::kVideo, StreamKind::kVideo, false, true});
    if (op == AudioOperation::kAdd || op == AudioOperation::kNoOperation)
        steps.push_back({SourceFile::kVideo, StreamKind::kAudio, true, false});
    if (needsAudioFile(op)) steps.push_back({SourceFile::kAudio, StreamKind::kAudio, true, true});
    return steps;
}

namespace {

// Upper case for TAMSEL's name checks: ASCII and full-width Latin letters, both of which
// the file system folds when it compares names ("ｃｌｉｐ.avi" is "ＣＬＩＰ.AVI").
std::wstring upperLatin(const std::wstring& s) {
    std::wstring out = shell::upperAscii(s);
    for (auto& c : out)
        if (c >= 0xFF41 && c <= 0xFF5A) c = wchar_t(c - 0xFF41 + 0xFF21);
    return out;
}

} // namespace

std::wstring completeOutputName(const std::wstring& answer) {
    if (upperLatin(answer).find(L".AVI") != std::wstring::npos) return answer;
    return answer + L".avi";
}

bool sameFileName(const std::wstring& answer, const std::wstring& sourceName) {
    return upperLatin(answer) == upperLatin(sourceName);
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
