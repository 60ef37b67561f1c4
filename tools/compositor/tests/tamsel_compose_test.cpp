// TAMSEL's window composing under Wine: each operation and what it writes, the lists and
// option buttons, the name asked and how it is completed, and the refusals that come before
// anything is written. Outputs are judged by ffprobe and ffmpeg.
#include "common/owned.h"
#include "form1_ids.h"
#include "shell/shell.h"
#include "tamsel_test_support.h"

using namespace compositor;
using namespace tamsel_test;

TEST_F(Tamsel, WindowStartsWithAddAndGreysTheAudioListForNoOperationAndDelete) {
    start();
    ASSERT_TRUE(form1_);
    EXPECT_EQ(td::text(form1_), L"Tamsel");
    EXPECT_EQ(SendMessageW(control(option1Id(0)), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(control(shell::kIdFile2)));
    EXPECT_GT(SendMessageW(control(shell::kIdFile1), LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(control(shell::kIdFile1), LB_GETCURSEL, 0, 0), LB_ERR);

    select(shell::kIdFile2, L"audio2.avi");
    for (int op : {2, 3}) {
        click(option1Id(op));
        settle();
        EXPECT_FALSE(IsWindowEnabled(control(shell::kIdFile2))) << op;
        EXPECT_EQ(SendMessageW(control(option1Id(op)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(control(option1Id(0)), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    td::screenshot("tamsel_window_delete");
    click(option1Id(1));
    settle();
    EXPECT_TRUE(IsWindowEnabled(control(shell::kIdFile2)));
    // The selection made before the list was disabled is still there.
    wchar_t text[64] = {};
    LRESULT sel = SendMessageW(control(shell::kIdFile2), LB_GETCURSEL, 0, 0);
    SendMessageW(control(shell::kIdFile2), LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"audio2.avi");
    td::screenshot("tamsel_window_replace");
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, DeleteKeepsOnlyTheVideoStream) {
    start();
    Outcome run = compress(3, L"v2.avi", L"", L"out");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compressionDialogs.size(), 1u) << "the compression dialog was not seen";
    EXPECT_EQ(probe(L"out.avi"), "video");
    EXPECT_EQ(videoMd5(L"out.avi"), videoMd5(L"v2.avi"));
    EXPECT_EQ(td::text(form1_), L"Tamsel");
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, AddWritesVideoThenTheVideoFilesAudioThenTheAudioFiles) {
    start();
    Outcome run = compress(0, L"v1.avi", L"audio2.avi", L"out");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compressionDialogs.size(), 1u);
    EXPECT_EQ(run.compressionDialogs[0], L"Compress options");
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio,audio");
    EXPECT_EQ(videoMd5(L"out.avi"), videoMd5(L"v1.avi"));
    EXPECT_EQ(audioMd5(L"out.avi", 0), audioMd5(L"v1.avi", 0));
    EXPECT_EQ(audioMd5(L"out.avi", 1), audioMd5(L"audio2.avi", 0));
    EXPECT_EQ(audioMd5(L"out.avi", 2), audioMd5(L"audio2.avi", 1));
    EXPECT_NE(audioMd5(L"out.avi", 1), audioMd5(L"out.avi", 2));
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, SameFileInBothListsUnderAddWritesItsAudioTwice) {
    start();
    Outcome run = compress(0, L"v1.avi", L"v1.avi", L"twice");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(probe(L"twice.avi"), "video,audio,audio");
    EXPECT_EQ(audioMd5(L"twice.avi", 0), audioMd5(L"v1.avi", 0));
    EXPECT_EQ(audioMd5(L"twice.avi", 1), audioMd5(L"v1.avi", 0));
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, NoOperationIgnoresTheAudioListEvenItsName) {
    start();
    // No selection in the audio list, and then its selection as the output name.
    Outcome run = compress(2, L"v2.avi", L"", L"out");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio");
    EXPECT_EQ(audioMd5(L"out.avi", 1), audioMd5(L"v2.avi", 1));

    select(shell::kIdFile2, L"v0.avi");
    run = compress(3, L"v1.avi", L"", L"V0");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compressionDialogs.size(), 1u);
    EXPECT_EQ(probe(L"V0.avi"), "video"); // replaced the old v0.avi
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, ReplaceWithAnAudioFileWithoutAudioNamesThatFile) {
    start();
    Outcome run = compress(1, L"v1.avi", L"v0.avi", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"v0.avi\rオーディオ ストリームがありません。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(run.compressionDialogs.empty());
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, SelectionsAreCheckedBeforeTheNameIsAsked) {
    start();
    Outcome run = compress(0, L"", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"ビデオAVIファイルを選択してください。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_FALSE(run.inputBoxSeen);
    run = compress(1, L"v1.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"オーディオAVIファイルを選択してください。");
    EXPECT_FALSE(run.inputBoxSeen);
    // An empty answer stops silently.
    run = compress(3, L"v1.avi", L"", L"");
    EXPECT_TRUE(run.inputBoxSeen);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(run.compressionDialogs.empty());
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, DamagedInputsAreRefusedWithoutACrash) {
    start();
    for (const wchar_t* name : {L"truncated.avi", L"text.avi"}) {
        Outcome run = compress(2, name, L"", L"out");
        ASSERT_EQ(run.messages.size(), 1u) << td::narrow(name);
        EXPECT_EQ(run.messages[0].text, std::wstring(name) + L"\rAVIファイルが開けません。");
    }
    Outcome run = compress(2, L"audio2.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"audio2.avi\rビデオ ストリームがありません。");
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, CompressQueuedBeforeTheSaveIsIgnored) {
    start();
    // OK and a second click on Compress in one go: the click waits in the queue until
    // the events are pumped before the save.
    Outcome run = compress(2, L"v1.avi", L"", L"out", Answer::kOk, [&](HWND d) {
        PostMessageW(td::control(d, IDOK), BM_CLICK, 0, 0);
        PostMessageW(control(kIdCommand1), BM_CLICK, 0, 0);
        td::waitFor([&] { return !IsWindow(d); }, 10000);
    });
    EXPECT_EQ(run.inputBoxes, 1);
    EXPECT_EQ(run.compressionDialogs.size(), 1u);
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_EQ(probe(L"out.avi"), "video,audio");
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, NameCompletion) {
    unixOutput("mkdir -p '" + unix(L"sub") + "'");
    start();
    for (const wchar_t* answer : {L"clip", L"Clip2.AVI", L"my.avi.old"})
        EXPECT_EQ(compress(3, L"v1.avi", L"", answer).compressionDialogs.size(), 1u);
    EXPECT_EQ(probe(L"clip.avi"), "video");
    EXPECT_EQ(probe(L"my.avi.old"), "video");
    EXPECT_FALSE(exists(path(L"my.avi.old.avi")));
    WIN32_FIND_DATAW found;
    common::FindHandle find(FindFirstFileW(path(L"clip2.avi").c_str(), &found));
    ASSERT_NE(find.get(), INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, L"Clip2.AVI");
    // An absolute path keeps its own folder.
    compress(3, L"v1.avi", L"", path(L"sub\\far"));
    EXPECT_EQ(probe(L"sub/far.avi"), "video");
    EXPECT_FALSE(exists(path(L"far.avi")));
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, SameNameInOtherCaseIsRefusedBeforeAnythingOpens) {
    start();
    for (const wchar_t* answer : {L"V1", L"v1.AVI"}) {
        Outcome run = compress(0, L"v1.avi", L"audio2.avi", answer);
        ASSERT_EQ(run.messages.size(), 1u) << td::narrow(answer);
        EXPECT_EQ(run.messages[0].text, kSameName);
        EXPECT_TRUE(run.compressionDialogs.empty());
    }
    Outcome run = compress(1, L"v1.avi", L"audio2.avi", L"Audio2");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kSameName);
    EXPECT_EQ(probe(L"v1.avi"), "video,audio");
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, ASourceReachedThroughAFolderPartIsNeverDeleted) {
    unixOutput("mkdir -p '" + unix(L"sub") + "'");
    std::string before = readFile(path(L"v1.avi"));
    start();
    Outcome run = compress(2, L"v1.avi", L"", path(L"sub\\..\\V1.avi"));
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kSameName);
    EXPECT_TRUE(run.compressionDialogs.empty());
    EXPECT_EQ(readFile(path(L"v1.avi")), before);
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, ADriveRootFolderWorksWithoutASecondBackslash) {
    ASSERT_TRUE(td::mapWineDrive(L't', td::unixPath(work_)));
    start(L"TAMSEL.EXE", {}, {}, L"T:\\");
    ASSERT_TRUE(form1_);
    Outcome run = compress(2, L"v1.avi", L"", L"root");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.compressionDialogs.size(), 1u);
    // The same-file check and the save both saw "T:\root.avi".
    run = compress(2, L"v1.avi", L"", L"T:\\V1");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kSameName);
    EXPECT_TRUE(close());
    app_.reset();
    td::unmapWineDrive(L't');
    EXPECT_EQ(probe(L"root.avi"), "video,audio");
}

TEST_F(Tamsel, NamesOfEveryScriptUnderTheUtf8CodePage) {
    // Windows set to use UTF-8 as its ANSI code page; under Wine a locale without a code
    // page of its own gives that. Every name then has an exact ANSI form.
    unixOutput("cd '" + td::unixPath(work_) + "' && cp v1.avi '音声.avi' && cp audio2.avi 'Ō.avi'");
    start(L"TAMSEL.EXE", {L"LC_ALL=hi_IN.UTF-8"});
    Outcome run = compress(0, L"音声.avi", L"Ō.avi", L"音声Ō");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_EQ(run.compressionDialogs.size(), 1u);
    run = compress(2, L"音声.avi", L"", L"Ō2");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_TRUE(close());
    EXPECT_EQ(probe(L"音声Ō.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audioMd5(L"音声Ō.avi", 2), audioMd5(L"Ō.avi", 1));
    EXPECT_EQ(probe(L"Ō2.avi"), "video,audio");
}

TEST_F(Tamsel, NamesOutsideTheCodePageReachNoOtherFile) {
    // "O" is the best-fit ANSI form of "\u014C" here, and the platform's AVIFile reaches
    // files by ANSI names: such a name is refused before anything opens.
    char ansi[8] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u014C", -1, ansi, sizeof ansi, nullptr, nullptr);
    ASSERT_STREQ(ansi, "O");
    unixOutput("cd '" + td::unixPath(work_) +
               "' && cp v1.avi '\xc5\x8c.avi' && cp v2.avi O.avi && printf keep > O2.avi");
    const std::string other = readFile(path(L"O.avi"));
    start();
    Outcome run = compress(2, L"\u014C.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C.avi\rファイル名に使えない文字があります。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    run = compress(0, L"v1.avi", L"\u014C.avi", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C.avi\rファイル名に使えない文字があります。");
    run = compress(2, L"v1.avi", L"", L"\u014C2");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C2.avi\rファイル名に使えない文字があります。");
    EXPECT_TRUE(run.compressionDialogs.empty());
    EXPECT_TRUE(close());
    EXPECT_TRUE(readFile(path(L"O2.avi")) == "keep");
    EXPECT_TRUE(readFile(path(L"O.avi")) == other);
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_FALSE(exists(path(L"\u014C2.avi")));
}
