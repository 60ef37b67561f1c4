// A save of TAMSEL's window that is cancelled or fails: an earlier output of the name stays
// byte for byte, nothing half-written is left, the heap stays sound, and every run releases
// what it obtained from AVIFile (counted by the test build TAMSEL_COUNTING).
#include <sstream>

#include "common/owned.h"
#include "tamsel_test_support.h"

using namespace tamsel_test;

TEST_F(Tamsel, CancellingTheDialogLeavesAnExistingOutputUntouched) {
    unixOutput("printf keep > '" + unix(L"out.avi") + "'");
    start();
    Outcome run = compress(0, L"v1.avi", L"audio2.avi", L"out", Answer::kCancel);
    EXPECT_EQ(run.compressionDialogs.size(), 1u);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(readFile(path(L"out.avi")), "keep");
    EXPECT_TRUE(close());
}

TEST_F(Tamsel, AFailedSaveLeavesNoOutput) {
    start();
    Outcome run = compress(3, L"v1.avi", L"", path(L"missing\\out"));
    ASSERT_EQ(run.messages.size(), 1u);
    // The output and the system's reason, around the message.
    const std::wstring head = path(L"missing\\out.avi") + L"\r" + kNotCreated + L"\r";
    ASSERT_EQ(run.messages[0].text.rfind(head, 0), 0u) << td::narrow(run.messages[0].text);
    EXPECT_TRUE(missingFolderReason(run.messages[0].text.substr(head.size())))
        << td::narrow(run.messages[0].text);
    EXPECT_EQ(run.messages[0].icon, 0); // a result, not a refusal
    EXPECT_FALSE(exists(path(L"missing\\out.avi")));
    // An output that cannot be deleted: a warning with the reason, nothing written.
    unixOutput("mkdir -p '" + unix(L"dir.avi") + "'");
    run = compress(3, L"v1.avi", L"", L"dir.avi");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(path(L"dir.avi") + L"\r"), 0u);
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_EQ(GetFileAttributesW(path(L"dir.avi").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(close());
}

// The failures of a save, each with an earlier output of the name: it stays byte for byte
// and its folder holds what it held.
TEST_F(Tamsel, AnOutputHeldWithoutDeleteSharingIsKeptWhole) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::folderContents(work_);
    common::UniqueFile held(CreateFileW(path(L"out.avi").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    start();
    Outcome run = compress(2, L"v1.avi", L"", L"out");
    held.reset();
    EXPECT_TRUE(close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(
                  path(L"out.avi") + L"\r既存のファイルを削除できないため、保存しませんでした。\r"),
              0u)
        << td::narrow(run.messages[0].text);
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(td::folderContents(work_) == before);
}

TEST_F(Tamsel, AReadOnlyOutputIsRefusedBeforeTheCompressionDialog) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    ASSERT_TRUE(SetFileAttributesW(path(L"out.avi").c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = td::folderContents(work_);
    start();
    Outcome run = compress(2, L"v1.avi", L"", L"out");
    EXPECT_TRUE(close());
    EXPECT_TRUE(run.compressionDialogs.empty());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(
                  path(L"out.avi") + L"\r既存のファイルを削除できないため、保存しませんでした。\r"),
              0u);
    EXPECT_TRUE(td::folderContents(work_) == before);
    EXPECT_NE(GetFileAttributesW(path(L"out.avi").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(Tamsel, AFullDiskKeepsAnExistingOutputWhole) {
    const std::wstring small = td::smallDiskFolder(L"tamsel");
    if (small.empty()) GTEST_SKIP() << "no small file system: ./run test mounts one";
    ASSERT_TRUE(td::writeBytes(td::join(small, L"out.avi"), "old"));
    // v1.avi's video alone is about 180 KB.
    ASSERT_TRUE(td::fillDisk(small, 64 * 1024));
    const auto before = td::folderContents(small);
    start();
    Outcome run = compress(2, L"v1.avi", L"", td::join(small, L"out"));
    EXPECT_TRUE(close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::folderContents(small) == before);
    td::removeTree(small);
}

TEST_F(Tamsel, AFixUpThatFailsKeepsAnExistingOutputWhole) {
    // A test build whose corrections change the written file and then fail.
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::folderContents(work_);
    start(L"TAMSEL_FIXUP_FAILS.exe");
    Outcome run = compress(2, L"v1.avi", L"", L"out");
    EXPECT_TRUE(close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::folderContents(work_) == before);
}

TEST_F(Tamsel, AFormatThePlatformCannotWriteKeepsAnExistingOutputWhole) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::folderContents(work_);
    start();
    std::wstring chosen;
    Outcome run = compress(2, L"v1.avi", L"", L"out", Answer::kOk, [&](HWND d) {
        // The first stream is the video; its Options... is the compressor chooser. The
        // platform lists Cinepak but cannot compress with it.
        ASSERT_TRUE(td::click(td::controlByText(d, L"&Options...")));
        HWND chooser = app_->waitMessageBox(10000, d);
        ASSERT_TRUE(chooser);
        HWND list = td::controlByClass(chooser, L"ComboBox");
        ASSERT_TRUE(list);
        std::string all;
        for (const std::wstring& item : td::listItems(list)) {
            all += td::narrow(item) + "|";
            if (chosen.empty() && item.find(L"Cinepak") != std::wstring::npos) chosen = item;
        }
        ASSERT_FALSE(chosen.empty()) << all;
        td::selectListItem(list, chosen);
        td::sync(chooser);
        td::screenshot("tamsel_compressor_chooser");
        EXPECT_TRUE(td::pressBoxButton(chooser, IDOK));
        td::sync(d);
        EXPECT_TRUE(td::pressBoxButton(d, IDOK));
    });
    EXPECT_TRUE(close());
    EXPECT_FALSE(chosen.empty());
    ASSERT_EQ(run.messages.size(), 1u) << texts(run);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::folderContents(work_) == before);
}

TEST_F(Tamsel, ACancelAfterPickingAnAudioFormatLeavesTheHeapSound) {
    // Under Wine's heap checks: a block freed twice or the wrong way is a warning on
    // TAMSEL's standard error.
    const std::wstring log = L"heap.log";
    {
        start(L"TAMSEL.EXE", {L"WINEDEBUG=warn+heap"}, "exec 2>'" + unix(log) + "'");
        bool chooserSeen = false;
        Outcome run = compress(0, L"v1.avi", L"audio2.avi", L"out", Answer::kCancel, [&](HWND d) {
            // The second stream is the first audio stream; its Options... is the format
            // chooser.
            HWND streams = td::controlByClass(d, L"ComboBox");
            ASSERT_TRUE(streams);
            td::selectListItem(streams, 1);
            td::sync(d);
            ASSERT_TRUE(td::click(td::controlByText(d, L"&Options...")));
            HWND chooser = app_->waitMessageBox(10000, d);
            ASSERT_TRUE(chooser);
            chooserSeen = true;
            // Another format than the stream's own: the last of the attribute list.
            HWND attributes = td::controlByClass(chooser, L"ComboBox", 2);
            ASSERT_TRUE(attributes);
            int count = int(SendMessageW(attributes, CB_GETCOUNT, 0, 0));
            ASSERT_GT(count, 1);
            td::selectListItem(attributes, count - 1);
            td::sync(chooser);
            td::screenshot("tamsel_format_chooser");
            EXPECT_TRUE(td::pressBoxButton(chooser, IDOK));
            td::sync(d);
            EXPECT_TRUE(td::pressBoxButton(d, IDCANCEL));
        });
        EXPECT_TRUE(chooserSeen);
        EXPECT_TRUE(run.messages.empty());
        EXPECT_FALSE(exists(path(L"out.avi")));
        run = compress(0, L"v1.avi", L"audio2.avi", L"out");
        EXPECT_TRUE(run.messages.empty());
        EXPECT_TRUE(close());
        app_.reset();
    }
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audioMd5(L"out.avi", 1), audioMd5(L"audio2.avi", 0));
    ASSERT_TRUE(exists(path(log)));
    const std::string warnings = readFile(path(log));
    EXPECT_EQ(warnings.find(":heap:"), std::string::npos) << warnings;
}

// Every run from AVIFileInit on releases what it obtained, whatever way it ends.
TEST_F(Tamsel, EveryRunReleasesWhatItObtained) {
    std::wstring counts = td::join(td::exeFolder(), L"TAMSEL_COUNTS.TXT");
    DeleteFileW(counts.c_str());
    start(L"TAMSEL_COUNTING.exe");
    compress(2, L"truncated.avi", L"", L"o1");                     // cannot open
    compress(2, L"text.avi", L"", L"o1");                          // cannot open
    compress(2, L"audio2.avi", L"", L"o1");                        // no video stream
    compress(1, L"v1.avi", L"v0.avi", L"o1");                      // no audio stream
    compress(0, L"v2.avi", L"audio2.avi", L"o1", Answer::kCancel); // dialog cancelled
    compress(0, L"v2.avi", L"audio2.avi", L"o2");                  // written
    compress(3, L"v1.avi", L"", path(L"missing\\o3"));             // save failed
    EXPECT_TRUE(close());
    std::istringstream lines(readFile(counts));
    std::vector<std::string> runs;
    for (std::string line; std::getline(lines, line);)
        runs.push_back(line);
    // The damaged files are refused before AVIFile touches them, but inside the run.
    const char* expected[] = {
        "init=1 exit=1 streams=0 released=0 opened=0 closed=0",
        "init=1 exit=1 streams=0 released=0 opened=0 closed=0",
        "init=1 exit=1 streams=0 released=0 opened=1 closed=1",
        "init=1 exit=1 streams=1 released=1 opened=2 closed=2",
        "init=1 exit=1 streams=5 released=5 opened=2 closed=2",
        "init=1 exit=1 streams=5 released=5 opened=2 closed=2",
        "init=1 exit=1 streams=1 released=1 opened=1 closed=1",
    };
    ASSERT_EQ(runs.size(), 7u);
    for (size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i], expected[i]) << "run " << i;
}
