#include "project_rules.h"

#include "letter_case.h"

namespace updater {

using shell::upperAscii;

const RenameRow kRenameTable[12] = {
    {L"QSNMAIN.BAS", L"QsnMain2.Bas"}, {L"QSNKA.CLS", L"qsnKA2.Cls"}, {L"QSNKE.CLS", L"qsnKE2.Cls"},
    {L"QSNKI.CLS", L"qsnKI2.Cls"},     {L"QSNKO.CLS", L"qsnKO2.Cls"}, {L"QSNKU.CLS", L"qsnKU2.Cls"},
    {L"QSNTA.CLS", L"qsnTA2.Cls"},     {L"QSNTE.CLS", L"qsnTE2.Cls"}, {L"QSNTI.CLS", L"qsnTI2.Cls"},
    {L"QSNTO.CLS", L"qsnTO2.Cls"},     {L"QSNTU.CLS", L"qsnTU2.Cls"}, {L"QSNNA.CLS", L"qsnNA2.Cls"},
};

const wchar_t* const kAddedLines[2] = {L"Class=Interpolator; qsnNE2.Cls",
                                       L"Class=ProgressiveMesh; qsnNI2.Cls"};

const wchar_t kNoticeText[] = L"このプロジェクトはFarrow1.xのモジュールを含んでいません。";

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0, i = 0;
    while (i < text.size()) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    // An empty line read at the very end of the file is neither shown nor converted.
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void replaceFileName(std::wstring& line, std::wstring& upper, const std::wstring& oldName,
                     const std::wstring& newName, long& replaceCount) {
    size_t at = upper.find(oldName);
    if (at == std::wstring::npos) return;
    line.replace(at, oldName.size(), newName);
    // Later searches in this line look at the edited line, so a second old name further on
    // is found where it now stands.
    upper.replace(at, oldName.size(), upperAscii(newName));
    ++replaceCount;
}

Conversion convertProject(const std::vector<std::wstring>& lines) {
    Conversion result;
    for (const auto& read : lines) {
        result.original += read + L"\r\n";
        std::wstring line = read;
        std::wstring upper = upperAscii(line);
        for (const auto& row : kRenameTable)
            replaceFileName(line, upper, row.oldName, row.newName, result.replaceCount);
        result.converted += line + L"\r\n";
        if (result.replaceCount == 12) {
            result.converted += std::wstring(kAddedLines[0]) + L"\r\n" + kAddedLines[1] + L"\r\n";
            result.replaceCount = 13;
        }
    }
    result.upgraded = result.replaceCount != 0;
    if (!result.upgraded) result.converted = kNoticeText;
    return result;
}

std::wstring saveName(const std::wstring& fileName, const std::wstring& suffix) {
    size_t at = upperAscii(fileName).find(L".VBP");
    if (at == std::wstring::npos) return fileName + suffix;
    return fileName.substr(0, at) + suffix + fileName.substr(at);
}

} // namespace updater
