#include "command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace compositor;

namespace {

using Args = std::vector<std::wstring>;

TEST(TamselCommandLine, ReadsEachOperationItsFilesAndSwitchesInAnyOrderAndCase) {
    const struct {
        Args args;
        AudioOperation operation;
        const wchar_t* video;
        const wchar_t* audio;
        const wchar_t* output;
        bool options;
    } cases[] = {
        {{L"/add", L"v.avi", L"a.avi", L"/out", L"o"},
         AudioOperation::kAdd,
         L"v.avi",
         L"a.avi",
         L"o",
         false},
        {{L"/out", L"o.avi", L"/REPLACE", L"sub\\v.avi", L"..\\a.avi", L"/Options"},
         AudioOperation::kReplace,
         L"sub\\v.avi",
         L"..\\a.avi",
         L"o.avi",
         true},
        {{L"v.avi", L"/Keep", L"/out", L"/add"},
         AudioOperation::kNoOperation,
         L"v.avi",
         L"",
         L"/add",
         false}, // /out takes the next argument whatever it is
        {{L"/delete", L"/options", L"映像.avi", L"/out", L"C:\\出力"},
         AudioOperation::kDelete,
         L"映像.avi",
         L"",
         L"C:\\出力",
         true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n++));
        CommandRequest r = readCommandLine(c.args);
        EXPECT_FALSE(r.line.help);
        EXPECT_EQ(r.line.usageError, L"");
        EXPECT_EQ(r.operation, c.operation);
        EXPECT_EQ(r.video, c.video);
        EXPECT_EQ(r.audio, c.audio);
        EXPECT_EQ(r.outputName, c.output);
        EXPECT_EQ(r.options, c.options);
    }
}

TEST(TamselCommandLine, HelpIsSeenAmongAnyOtherArguments) {
    EXPECT_TRUE(readCommandLine({L"/?"}).line.help);
    EXPECT_TRUE(readCommandLine({L"/add", L"/?", L"/bogus"}).line.help);
    EXPECT_FALSE(readCommandLine({L"/add", L"v", L"a", L"/out", L"/?"}).line.help); // a name
}

TEST(TamselCommandLine, UsageErrorsNameTheFirstProblem) {
    const struct {
        Args args;
        const wchar_t* error;
    } cases[] = {
        {{}, L"操作のスイッチ (/add、/replace、/keep、/delete) が指定されていません。"},
        {{L"v.avi", L"/out", L"o"},
         L"操作のスイッチ (/add、/replace、/keep、/delete) が指定されていません。"},
        {{L"/keep", L"/add", L"v.avi", L"/out", L"o"},
         L"操作のスイッチは1つだけ指定してください。"},
        {{L"/keep", L"/keep", L"v.avi", L"/out", L"o"},
         L"操作のスイッチは1つだけ指定してください。"},
        {{L"/keep", L"/x", L"v.avi", L"/out", L"o"}, L"/x: 不明なスイッチです。"},
        {{L"/keep", L"-out", L"v.avi"}, L"/out: 保存ファイル名が指定されていません。"},
        {{L"/keep", L"v.avi", L"/out"}, L"/out: 名前が指定されていません。"},
        {{L"/keep", L"v.avi", L"/OUT", L""}, L"/OUT: 名前が指定されていません。"},
        {{L"/keep", L"/out", L"o"}, L"ビデオAVIファイルが指定されていません。"},
        {{L"/Add", L"v.avi", L"/out", L"o"}, L"/Add: オーディオAVIファイルが指定されていません。"},
        {{L"/replace", L"v.avi", L"/out", L"o"},
         L"/replace: オーディオAVIファイルが指定されていません。"},
        {{L"/keep", L"v.avi", L"a.avi", L"/out", L"o"},
         L"a.avi: この操作ではオーディオAVIファイルを指定できません。"},
        {{L"/delete", L"v.avi", L"a.avi", L"/out", L"o"},
         L"a.avi: この操作ではオーディオAVIファイルを指定できません。"},
        {{L"/add", L"v.avi", L"a.avi", L"b.avi", L"/out", L"o"}, L"b.avi: 余分な引数です。"},
    };
    int n = 0;
    for (const auto& c : cases) {
        CommandRequest r = readCommandLine(c.args);
        EXPECT_EQ(r.line.usageError, c.error) << "case " << n++;
        EXPECT_FALSE(r.line.help);
    }
}

TEST(TamselCommandLine, TheWrittenFileIsNamedAsTheArgumentsWouldName) {
    auto shown = [](const wchar_t* video, const wchar_t* name) {
        CommandRequest r;
        r.video = video;
        r.outputName = name;
        return shownOutput(r);
    };
    EXPECT_EQ(shown(L"v.avi", L"out"), L"out.avi");
    EXPECT_EQ(shown(L"sub\\v.avi", L"Out.AVI"), L"sub\\Out.AVI");
    EXPECT_EQ(shown(L"sub/v.avi", L"my.avi.old"), L"sub/my.avi.old");
    EXPECT_EQ(shown(L"C:v.avi", L"out"), L"C:out.avi");
    EXPECT_EQ(shown(L"D:\\rec\\v.avi", L"..\\out"), L"..\\out.avi");
}

// The composition passed in: what it is asked, what it says on the way, how it ends.
struct Platform {
    std::vector<std::wstring> notices;
    shell::Outcome outcome{shell::Result::kDone, L"", 0};
    std::vector<CommandRequest> asked;
    std::vector<std::wstring> lines;

    int run(const Args& args) {
        CommandLineServices s;
        s.run = [this](const CommandRequest& request,
                       const std::function<void(const std::wstring&)>& notice) {
            asked.push_back(request);
            for (const std::wstring& text : notices)
                notice(text);
            return outcome;
        };
        s.write = [this](const std::wstring& line) { lines.push_back(line); };
        return runCommandLine(args, s);
    }
};

TEST(TamselCommandLine, EveryLineNamesTheVideoAsGivenAndTheEndGivesTheStatus) {
    Platform written;
    written.notices = {L"left out\rtwo lines"};
    EXPECT_EQ(written.run({L"/keep", L"sub\\v1.avi", L"/out", L"kept", L"/options"}), 0);
    ASSERT_EQ(written.asked.size(), 1u);
    EXPECT_EQ(written.asked[0].operation, AudioOperation::kNoOperation);
    EXPECT_EQ(written.asked[0].video, L"sub\\v1.avi");
    EXPECT_EQ(written.asked[0].outputName, L"kept");
    EXPECT_TRUE(written.asked[0].options);
    EXPECT_EQ(written.lines,
              (Args{L"sub\\v1.avi: left out; two lines", L"sub\\v1.avi: sub\\kept.avi"}));

    Platform refused;
    refused.outcome = {shell::Result::kFailed, L"none.avi\rAVIファイルが開けません。", 0x30};
    EXPECT_EQ(refused.run({L"/add", L"none.avi", L"a.avi", L"/out", L"o"}), 1);
    EXPECT_EQ(refused.asked[0].audio, L"a.avi");
    EXPECT_EQ(refused.lines, Args{L"none.avi: none.avi; AVIファイルが開けません。"});

    Platform cancelled;
    cancelled.outcome = {shell::Result::kCancelled, L"", 0};
    EXPECT_EQ(cancelled.run({L"/keep", L"v1.avi", L"/out", L"opt", L"/options"}), 1);
    EXPECT_EQ(cancelled.lines, Args{L"v1.avi: キャンセルされました。"});
}

TEST(TamselCommandLine, UsageAndUsageErrorsComposeNothing) {
    Platform help;
    EXPECT_EQ(help.run({L"/keep", L"/x", L"/?"}), 0);
    EXPECT_EQ(help.lines, kUsage);
    EXPECT_TRUE(help.asked.empty());
    for (const Args& args : {Args{}, Args{L"/keep", L"v1.avi", L"/o", L"o"},
                             Args{L"/add", L"v1.avi", L"/out", L"o"}}) {
        Platform p;
        EXPECT_EQ(p.run(args), 2);
        ASSERT_EQ(p.lines.size(), kUsage.size() + 1);
        EXPECT_EQ(p.lines[0], readCommandLine(args).line.usageError);
        EXPECT_TRUE(std::equal(kUsage.begin(), kUsage.end(), p.lines.begin() + 1));
        EXPECT_TRUE(p.asked.empty());
    }
}

} // namespace
