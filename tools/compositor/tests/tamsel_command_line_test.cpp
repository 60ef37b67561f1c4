// TAMSEL.EXE run with arguments as a build script runs it: standard output into a file,
// read in the Japanese code page, and its exit status; the outputs judged as the window's
// are.
#include <algorithm>

#include "command_line.h"
#include "tamsel_test_support.h"

using namespace compositor;
using namespace tamsel_test;

class TamselCommandLine : public Tamsel {};

TEST_F(TamselCommandLine, EachOperationComposesAsTheButtonDoes) {
    unixOutput("mkdir -p '" + unix(L"sub") + "' && cp '" + unix(L"v1.avi") + "' '" + unix(L"sub") +
               "/'");
    CommandRun run = tamsel("/add v1.avi audio2.avi /out add");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v1.avi: add.avi"));
    ASSERT_EQ(probe(L"add.avi"), "video,audio,audio,audio");
    expectSameStream(L"add.avi", 0, "v", 0, L"v1.avi", 0);
    expectSameStream(L"add.avi", 1, "a", 0, L"v1.avi", 0);
    expectSameStream(L"add.avi", 2, "a", 1, L"audio2.avi", 0);
    expectSameStream(L"add.avi", 3, "a", 2, L"audio2.avi", 1);

    // A name with "\" is used as it is, from the current folder.
    run = tamsel("/REPLACE v2.avi audio2.avi /out 'sub\\rep.AVI'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v2.avi: sub\\rep.AVI"));
    ASSERT_EQ(probe(L"sub/rep.AVI"), "video,audio,audio");
    expectSameStream(L"sub\\rep.AVI", 2, "a", 1, L"audio2.avi", 1);

    // A name without "\" goes into the video file's folder.
    run = tamsel("/out kept /Keep 'sub\\v1.avi'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"sub\\v1.avi: sub\\kept.avi"));
    EXPECT_FALSE(exists(path(L"kept.avi")));
    ASSERT_EQ(probe(L"sub/kept.avi"), "video,audio");
    expectSameStream(L"sub\\kept.avi", 1, "a", 0, L"v1.avi", 0);

    run = tamsel("/delete v2.avi /out del");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v2.avi: del.avi"));
    ASSERT_EQ(probe(L"del.avi"), "video");
    expectSameStream(L"del.avi", 0, "v", 0, L"v2.avi", 0);
    for (const wchar_t* name : {L"add.avi", L"sub\\rep.AVI", L"sub\\kept.avi", L"del.avi"})
        EXPECT_EQ(bytesAfterRiff(path(name)), 0u) << td::narrow(name);
}

TEST_F(TamselCommandLine, CompressedStreamsAreCopiedAsTheyAreWithoutOptions) {
    // Microsoft Video 1 and MS ADPCM; mu-law beside IMA ADPCM and A-law.
    CommandRun run = tamsel("/keep vcram.avi /out cram");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"vcram.avi: cram.avi"));
    ASSERT_EQ(probe(L"cram.avi"), "video,audio");
    expectSameStream(L"cram.avi", 0, "v", 0, L"vcram.avi", 0);
    expectSameStream(L"cram.avi", 1, "a", 0, L"vcram.avi", 0);
    run = tamsel("/add vmulaw.avi ima_alaw.avi /out added");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(probe(L"added.avi"), "video,audio,audio,audio");
    expectSameStream(L"added.avi", 1, "a", 0, L"vmulaw.avi", 0);
    expectSameStream(L"added.avi", 2, "a", 1, L"ima_alaw.avi", 0);
    expectSameStream(L"added.avi", 3, "a", 2, L"ima_alaw.avi", 1);
}

TEST_F(TamselCommandLine, RefusalsGiveTheWindowsMessageOnOneLine) {
    unixOutput("mkdir -p '" + unix(L"sub") + "' && printf keep > '" + unix(L"out.avi") + "'");
    const struct {
        const char* args;
        const wchar_t* line;
    } cases[] = {
        {"/keep v1.avi /out V1", L"v1.avi: 保存ファイル名が変換元ファイル名と同じです。"},
        {"/add v1.avi audio2.avi /out Audio2.AVI",
         L"v1.avi: 保存ファイル名が変換元ファイル名と同じです。"},
        {"/keep v1.avi /out 'sub\\..\\V1.avi'",
         L"v1.avi: 保存ファイル名が変換元ファイル名と同じです。"},
        {"/keep none.avi /out out", L"none.avi: none.avi; AVIファイルが開けません。"},
        {"/keep 'sub\\..\\truncated.avi' /out out",
         L"sub\\..\\truncated.avi: truncated.avi; AVIファイルが開けません。"},
        {"/delete audio2.avi /out out", L"audio2.avi: audio2.avi; ビデオ ストリームがありません。"},
        {"/add v1.avi text.avi /out out", L"v1.avi: text.avi; AVIファイルが開けません。"},
        {"/replace v1.avi v0.avi /out out", L"v1.avi: v0.avi; オーディオ ストリームがありません。"},
    };
    const auto before = td::folderContents(work_);
    for (const auto& c : cases) {
        CommandRun run = tamsel(c.args);
        EXPECT_EQ(run.status, 1) << c.args;
        EXPECT_EQ(run.lines, one(c.line)) << c.args;
    }
    // A folder that does not exist: the output as given and the system's reason.
    CommandRun run = tamsel("/keep v1.avi /out 'missing\\out'");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    const std::wstring head = L"v1.avi: missing\\out.avi; 圧縮ファイルは作成できませんでした。; ";
    ASSERT_EQ(run.lines[0].rfind(head, 0), 0u) << td::narrow(run.lines[0]);
    EXPECT_TRUE(missingFolderReason(run.lines[0].substr(head.size()),
                                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)))
        << td::narrow(run.lines[0]);
    // A name without an exact form in the code page: the line's own bytes lose it.
    run = tamsel("/keep v1.avi /out '\xc5\x8c'");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_NE(run.lines[0].find(L".avi; ファイル名に使えない文字があります。"), std::wstring::npos);
    unixOutput("rm -f '" + unix(L"cli.log") + "'");
    EXPECT_TRUE(td::folderContents(work_) == before);
}

TEST_F(TamselCommandLine, JapaneseNames) {
    unixOutput("cd '" + td::unixPath(work_) +
               "' && cp v1.avi '映像.avi' && cp audio2.avi '音声.avi'");
    CommandRun run = tamsel("/add 映像.avi 音声.avi /out 出力");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"映像.avi: 出力.avi"));
    ASSERT_EQ(probe(L"出力.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audioMd5(L"出力.avi", 2), audioMd5(L"audio2.avi", 1));
    run = tamsel("/keep 映像.avi /out 映像");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines, one(L"映像.avi: 保存ファイル名が変換元ファイル名と同じです。"));
}

TEST_F(TamselCommandLine, UsageErrorsPrintTheUsageAndDoNothing) {
    const auto before = td::folderContents(work_);
    std::vector<std::wstring> usage(kUsage.begin(), kUsage.end());
    CommandRun run = tamsel("'/?'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, usage);
    const struct {
        const char* args;
        const wchar_t* first;
    } cases[] = {
        {"/keep v1.avi audio2.avi /out o",
         L"audio2.avi: この操作ではオーディオAVIファイルを指定できません。"},
        {"/add v1.avi /out o", L"/add: オーディオAVIファイルが指定されていません。"},
        {"/keep v1.avi /o o", L"/o: 不明なスイッチです。"},
        {"/keep v1.avi /out", L"/out: 名前が指定されていません。"},
        {"v1.avi /out o",
         L"操作のスイッチ (/add、/replace、/keep、/delete) が指定されていません。"},
    };
    for (const auto& c : cases) {
        run = tamsel(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        ASSERT_EQ(run.lines.size(), usage.size() + 1) << c.args;
        EXPECT_EQ(run.lines[0], c.first) << c.args;
        EXPECT_TRUE(std::equal(usage.begin(), usage.end(), run.lines.begin() + 1)) << c.args;
    }
    unixOutput("rm -f '" + unix(L"cli.log") + "'");
    EXPECT_TRUE(td::folderContents(work_) == before);
}

TEST_F(TamselCommandLine, OptionsAsksInThePlatformsDialogConfirmedOrCancelled) {
    unixOutput("printf keep > '" + unix(L"opt.avi") + "'");
    for (Answer answer : {Answer::kCancel, Answer::kOk}) {
        SCOPED_TRACE(answer == Answer::kOk ? "confirmed" : "cancelled");
        DWORD code = 99;
        {
            td::App app(L"TAMSEL.EXE", work_, {td::widen(kJapanese)},
                        "exec >'" + unix(L"cli.log") + "' 2>/dev/null",
                        L"/keep v1.avi /out opt /options");
            HWND dialog = app.waitMessageBox(10000);
            ASSERT_TRUE(dialog) << "the compression dialog was not seen";
            EXPECT_EQ(td::text(dialog), L"圧縮オプション"); // "Compress options", in Japanese
            td::screenshot("tamsel_command_line_options");
            EXPECT_TRUE(td::pressBoxButton(dialog, answer == Answer::kOk ? IDOK : IDCANCEL));
            EXPECT_TRUE(app.waitExit(30000, &code));
        }
        CommandRun run = parseCommandRun(readFile(path(L"cli.log")));
        if (answer == Answer::kCancel) {
            EXPECT_EQ(code, 1u);
            EXPECT_EQ(run.lines, one(L"v1.avi: キャンセルされました。"));
            EXPECT_EQ(readFile(path(L"opt.avi")), "keep");
        } else {
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(run.lines, one(L"v1.avi: opt.avi"));
            ASSERT_EQ(probe(L"opt.avi"), "video,audio");
            expectSameStream(L"opt.avi", 0, "v", 0, L"v1.avi", 0);
            expectSameStream(L"opt.avi", 1, "a", 0, L"v1.avi", 0);
        }
    }
}

TEST_F(TamselCommandLine, WithoutAConsoleTheLineComesInAMessageBox) {
    // Started as the Explorer starts a dropped file: no standard handles, no console.
    td::App app(L"TAMSEL.EXE", work_, {}, {}, L"/keep none.avi /out out", DETACHED_PROCESS);
    HWND box = app.waitMessageBox(10000);
    ASSERT_TRUE(box);
    td::Box seen = td::readBox(box);
    EXPECT_EQ(seen.caption, L"Tamsel");
    EXPECT_EQ(seen.text, L"none.avi: none.avi; AVIファイルが開けません。");
    EXPECT_EQ(seen.icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(td::pressBoxButton(box, IDOK));
    DWORD code = 99;
    EXPECT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 1u);
}
