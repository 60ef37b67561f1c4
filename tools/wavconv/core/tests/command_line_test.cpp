#include "command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>

using namespace wavconv;

namespace {

// A folder the run works on: files by name (letter case ignored, as on Windows), each with
// an identity; conversions recorded, some made to fail.
class Platform {
  public:
    std::map<std::wstring, std::vector<std::wstring>> matches; // pattern -> names
    std::map<std::wstring, std::wstring> failing;              // WAV -> message
    std::vector<std::wstring> lines;
    std::vector<std::wstring> events;                 // "expand X", "convert X"
    std::map<std::wstring, std::wstring> streamNames; // AVI -> name written
    std::map<std::wstring, shell::FileKey> files;     // lower-case path -> key
    uint64_t nextIndex = 1;

    static std::wstring folded(std::wstring s) {
        std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return towlower(c); });
        return s;
    }
    CommandLineServices services() {
        CommandLineServices s;
        s.expand = [this](const std::wstring& pattern, std::wstring&) {
            events.push_back(L"expand " + pattern);
            return matches[pattern];
        };
        s.run = [this](const std::wstring& wav, const std::wstring& avi, const std::wstring& name) {
            events.push_back(L"convert " + wav);
            if (failing.count(wav)) return shell::Outcome{shell::Result::kFailed, failing[wav], 0};
            files[folded(avi)] = {7, nextIndex++}; // a new file in the output's place
            streamNames[avi] = name;
            return shell::Outcome{shell::Result::kDone, L"AVIファイルを作成しました。", 0};
        };
        s.identify = [this](const std::wstring& path, shell::FileKey& key) {
            auto it = files.find(folded(path));
            if (it == files.end()) return false;
            key = it->second;
            return true;
        };
        s.write = [this](const std::wstring& line) { lines.push_back(line); };
        return s;
    }
    int run(const std::vector<std::wstring>& args) { return runCommandLine(args, services()); }
};

} // namespace

TEST(PurnixCommandLine, ALaterFileWithAnOutputMadeEarlierInTheRunIsRefused) {
    Platform p;
    p.files[L"take.avi"] = {7, 100}; // from an earlier run: replaced, not a collision
    p.failing[L"x.1.wav"] = L"WAVEファイルの形式が認識できません。";
    EXPECT_EQ(p.run({L"take.1.wav", L"TAKE.2.wav", L"x.1.wav", L"x.2.wav", L"x.3.wav"}), 1);
    EXPECT_EQ(p.lines, (std::vector<std::wstring>{
                           L"take.1.wav: take.avi",
                           L"TAKE.2.wav: 同じ名前のAVIファイルをこの実行で先に作成したため、"
                           L"変換しませんでした。",
                           L"x.1.wav: WAVEファイルの形式が認識できません。",
                           // The failed first one made nothing: the second is converted.
                           L"x.2.wav: x.avi",
                           L"x.3.wav: 同じ名前のAVIファイルをこの実行で先に作成したため、"
                           L"変換しませんでした。",
                       }));
    // Refused files are not converted.
    EXPECT_EQ(p.events, (std::vector<std::wstring>{L"convert take.1.wav", L"convert x.1.wav",
                                                   L"convert x.2.wav"}));
}

TEST(PurnixCommandLine, WildcardsExpandFirstInTheirFolderAndNamesComeFromTheFileName) {
    Platform p;
    p.matches[L"a.b\\*.wav"] = {L"one.1.wav", L"two.wav"};
    p.failing[L"c.wav"] = L"WAVEファイルを読み込めません。\rThe system cannot find the file.";
    EXPECT_EQ(p.run({L"a.b\\*.wav", L"none?.wav", L"c.wav"}), 1);
    EXPECT_EQ(p.lines, (std::vector<std::wstring>{
                           L"a.b\\one.1.wav: a.b\\one.avi",
                           L"a.b\\two.wav: a.b\\two.avi",
                           L"none?.wav: 該当するファイルが見つかりません。",
                           L"c.wav: WAVEファイルを読み込めません。; The system cannot find the "
                           L"file.",
                       }));
    EXPECT_EQ(p.events[0], L"expand a.b\\*.wav");
    EXPECT_EQ(p.events[1], L"expand none?.wav");
    EXPECT_EQ(p.streamNames[L"a.b\\one.avi"], L"one");
    EXPECT_EQ(p.streamNames[L"a.b\\two.avi"], L"two");

    Platform named;
    EXPECT_EQ(named.run({L"/name", L"声 1", L"a.wav", L"b.wav"}), 0);
    EXPECT_EQ(named.streamNames[L"a.avi"], L"声 1");
    EXPECT_EQ(named.streamNames[L"b.avi"], L"声 1");
    // An empty name is a name, as the window's empty box is.
    Platform unnamed;
    EXPECT_EQ(unnamed.run({L"/name", L"", L"a.wav"}), 0);
    ASSERT_EQ(unnamed.streamNames.count(L"a.avi"), 1u);
    EXPECT_EQ(unnamed.streamNames[L"a.avi"], L"");
}

TEST(PurnixCommandLine, UsageAndUsageErrorsConvertNothing) {
    const size_t usage = kUsage.size();
    for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
             {}, {L"/name", L"x"}, {L"a.wav", L"/x"}, {L"a.wav", L"/name"}}) {
        Platform p;
        EXPECT_EQ(p.run(args), 2);
        EXPECT_EQ(p.lines.size(), usage + 1);
        EXPECT_TRUE(p.events.empty());
    }
    Platform unknown;
    unknown.run({L"a.wav", L"/X"});
    EXPECT_EQ(unknown.lines[0], L"/X: 不明なスイッチです。");
    Platform help;
    EXPECT_EQ(help.run({L"a.wav", L"/x", L"/?"}), 0);
    EXPECT_EQ(help.lines, kUsage);
    EXPECT_TRUE(help.events.empty());
}
