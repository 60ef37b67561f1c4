#include "command_line_rules.h"

#include <gtest/gtest.h>

using namespace shell;

namespace {

const std::vector<SwitchRule> kSwitches = {{L"name", SwitchText::kAny}, {L"options"}};

} // namespace

TEST(ParseCommandLine, SwitchesWhateverTheCaseTakeTheNextArgumentWhateverItIs) {
    CommandLine line = parseCommandLine(
        {L"a.wav", L"/NAME", L"/options", L"b.wav", L"/Options", L"", L"/name", L"last"},
        kSwitches);
    EXPECT_EQ(line.usageError, L"");
    EXPECT_FALSE(line.help);
    ASSERT_TRUE(line.text(L"name"));
    EXPECT_EQ(*line.text(L"name"), L"last");
    EXPECT_TRUE(line.has(L"options"));
    // An empty argument is an operand, not a switch.
    EXPECT_EQ(line.operands, (std::vector<std::wstring>{L"a.wav", L"b.wav", L""}));
}

TEST(ParseCommandLine, UsageErrorsAndHelp) {
    CommandLine unknown = parseCommandLine({L"a.wav", L"/nam", L"/x", L"/name"}, kSwitches);
    EXPECT_EQ(unknown.usageError, L"/nam: 不明なスイッチです。");
    EXPECT_TRUE(unknown.stopsAtUsage());
    CommandLine missing = parseCommandLine({L"a.wav", L"/name"}, kSwitches);
    EXPECT_EQ(missing.usageError, L"/name: 名前が指定されていません。");
    EXPECT_FALSE(missing.has(L"name"));
    CommandLine help = parseCommandLine({L"/x", L"/?"}, kSwitches);
    EXPECT_TRUE(help.help);
    EXPECT_FALSE(parseCommandLine({L"/name", L"/?"}, kSwitches).help); // the name is "/?"
}

TEST(OneLine, EveryLineBreakIsOneSeparator) {
    EXPECT_EQ(oneLine(L"a\rb"), L"a; b");
    EXPECT_EQ(oneLine(L"a\r\nb\nc\r"), L"a; b; c; ");
    EXPECT_EQ(oneLine(L"a\r\rb"), L"a; ; b");
    EXPECT_EQ(resultLine(L"x.wav", L"first\rsecond"), L"x.wav: first; second");
}

TEST(SplitFileArgument, FolderPartKeepsItsSeparatorAndADriveAlone) {
    auto split = [](const std::wstring& a) {
        FileArgument f = splitFileArgument(a);
        return std::make_pair(f.folder, f.name);
    };
    EXPECT_EQ(split(L"take.1.wav"), std::make_pair(std::wstring(), std::wstring(L"take.1.wav")));
    EXPECT_EQ(split(L"a.b\\*.wav"), std::make_pair(std::wstring(L"a.b\\"), std::wstring(L"*.wav")));
    EXPECT_EQ(split(L"sub/x.wav"), std::make_pair(std::wstring(L"sub/"), std::wstring(L"x.wav")));
    EXPECT_EQ(split(L"C:x.wav"), std::make_pair(std::wstring(L"C:"), std::wstring(L"x.wav")));
    EXPECT_EQ(split(L"C:\\x.wav"), std::make_pair(std::wstring(L"C:\\"), std::wstring(L"x.wav")));
    EXPECT_EQ(split(L"\\\\srv\\s\\x?.wav"),
              std::make_pair(std::wstring(L"\\\\srv\\s\\"), std::wstring(L"x?.wav")));
    EXPECT_TRUE(hasWildcard(L"take?.wav"));
    EXPECT_FALSE(hasWildcard(L"take.wav"));
}

TEST(MatchesWildcard, OnlyTheLongNameCountsLettersWithoutCase) {
    // The system's search finds these for "*.wav": their 8.3 aliases end in ".WAV".
    for (const wchar_t* name : {L"music.wave", L"take.wav_backup", L"clip.wavx", L"wav"})
        EXPECT_FALSE(matchesWildcard(L"*.wav", name)) << name;
    for (const wchar_t* name : {L"a.wav", L"A.WAV", L".wav", L"x.y.Wav"})
        EXPECT_TRUE(matchesWildcard(L"*.wav", name)) << name;
    EXPECT_TRUE(matchesWildcard(L"take?.wav", L"TAKE1.wav"));
    EXPECT_FALSE(matchesWildcard(L"take?.wav", L"take.wav"));
    EXPECT_FALSE(matchesWildcard(L"a*b*c", L"aXbYcZ"));
    // "*.*" and any final ".*" also take a name without a dot.
    EXPECT_TRUE(matchesWildcard(L"*.*", L"noext"));
    EXPECT_TRUE(matchesWildcard(L"n*.*", L"noext"));
    EXPECT_FALSE(matchesWildcard(L"x*.*", L"noext"));
    // Other letters fold only through the platform's upper case.
    auto upper = [](wchar_t c) { return c == L'é' ? L'É' : upperAscii(c); };
    EXPECT_FALSE(matchesWildcard(L"é*.wav", L"É.wav"));
    EXPECT_TRUE(matchesWildcard(L"é*.wav", L"É.wav", upper));
}
