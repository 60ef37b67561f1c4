#include "command_line.h"

#include <gtest/gtest.h>

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
        EXPECT_FALSE(r.help);
        EXPECT_EQ(r.usageError, L"");
        EXPECT_EQ(r.operation, c.operation);
        EXPECT_EQ(r.video, c.video);
        EXPECT_EQ(r.audio, c.audio);
        EXPECT_EQ(r.outputName, c.output);
        EXPECT_EQ(r.options, c.options);
    }
}

TEST(TamselCommandLine, HelpIsSeenAmongAnyOtherArguments) {
    EXPECT_TRUE(readCommandLine({L"/?"}).help);
    EXPECT_TRUE(readCommandLine({L"/add", L"/?", L"/bogus"}).help);
    EXPECT_FALSE(readCommandLine({L"/add", L"v", L"a", L"/out", L"/?"}).help); // a name
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
        EXPECT_EQ(r.usageError, c.error) << "case " << n++;
        EXPECT_FALSE(r.help);
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

} // namespace
