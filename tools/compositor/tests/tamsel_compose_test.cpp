// TAMSEL.EXE driven from outside under Wine with the shared GUI driver: the real
// compression dialog is answered, outputs are checked by ffprobe and ffmpeg through /bin/sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>

#include "avi_fixup.h"
#include "command_line.h"
#include "common/owned.h"
#include "form1_ids.h"
#include "../../wavconv/win/form1_ids.h"
#include "riff.h"
#include "shell/shell.h"
#include "shell/win_file.h"
#include "stream_index.h"
#include "testdriver/driver.h"

using namespace compositor;

namespace {

// Tamsel's main window seen through the shared driver.
class App {
  public:
    // `env` and `unixSetup` as for td::App: a locale, debug channels, a redirection.
    App(const std::wstring& exe, const std::wstring& folder,
        const std::vector<std::wstring>& env = {}, const std::string& unixSetup = {})
        : app_(exe, folder, env, unixSetup) {
        form1_ = app_.WaitWindow(L"Tamsel", 10000, L"TamselForm1");
    }
    HWND form1() const { return form1_; }
    HWND control(int id) const { return td::Control(form1_, id); }
    void select(int id, const std::wstring& name) {
        if (name.empty())
            td::SelectListItem(control(id), -1);
        else
            EXPECT_TRUE(td::SelectListItem(control(id), name)) << td::Narrow(name);
        td::Sync(form1_);
    }
    void click(int id) { td::Click(control(id)); }
    void settle() { td::Sync(form1_); }
    // A dialog of the program other than `except`; null when none comes up in time.
    HWND wait_dialog(DWORD ms, HWND except = nullptr) const {
        HWND found = nullptr;
        td::WaitFor(
            [&] {
                for (HWND w : app_.TopWindows())
                    if (w != except && td::ClassOf(w) == L"#32770") found = w;
                return found != nullptr;
            },
            ms);
        return found;
    }
    // Waits until the dialog is gone and the run behind it has gone on to its next stop.
    void wait_closed(HWND dialog) {
        td::WaitFor([&] { return !IsWindow(dialog); }, 10000);
        td::Sync(form1_);
        Sleep(200);
        td::Sync(form1_);
    }
    bool close() {
        td::Close(form1_);
        return app_.WaitExit(10000);
    }

  private:
    td::App app_;
    HWND form1_ = nullptr;
};

// What a Unix command printed (the checkers ffprobe, ffmpeg, sox).
std::string unixOutput(const std::string& command) {
    std::string out;
    td::RunUnix(command, &out, 60000);
    return out;
}

std::string readFile(const std::wstring& path) {
    std::string bytes;
    td::ReadBytes(path, bytes);
    return bytes;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

const wchar_t kSameName[] = L"保存ファイル名が変換元ファイル名と同じです。";
const wchar_t kNotCreated[] = L"圧縮ファイルは作成できませんでした。";

enum class Answer { kOk, kCancel };

// What the user met during one click of Command1.
struct Outcome {
    std::vector<td::Box> messages;
    std::vector<std::wstring> compression_dialogs; // captions of the real dialog, when seen
    bool input_box_seen = false;
    int input_boxes = 0;
};

// Answers the platform's compression dialog in place of a plain OK or Cancel.
using DialogAnswer = std::function<void(HWND dialog)>;

class Tamsel : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        work_ = td::Join(td::ExeFolder(), L"tamsel_work\\") + td::Widen(name) + L"\\";
        unixOutput("rm -rf '" + td::UnixPath(work_) + "' && mkdir -p '" + td::UnixPath(work_) +
                   "' && cp '" + td::UnixPath(td::ExeFolder()) + "/../tamsel_data/'*.avi '" +
                   td::UnixPath(work_) + "'");
    }

    std::wstring path(const std::wstring& name) const { return work_ + name; }
    std::string unix(const std::wstring& name) const { return td::UnixPath(work_ + name); }

    // Stream types in file order, e.g. "video,audio".
    std::string probe(const std::wstring& name) const {
        std::string out = unixOutput("ffprobe -v error -show_entries stream=codec_type -of "
                                     "csv=p=0 '" +
                                     unix(name) + "'");
        std::string joined;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty()) joined += (joined.empty() ? "" : ",") + line;
        return joined;
    }

    // Checksum of the PCM samples of audio stream `index` as ffmpeg decodes them.
    std::string audio_md5(const std::wstring& name, int index) const {
        return unixOutput("ffmpeg -v error -i '" + unix(name) +
                          "' -map 0:a:" + std::to_string(index) + " -f s16le - | md5sum");
    }

    std::string video_md5(const std::wstring& name) const {
        return unixOutput("ffmpeg -v error -i '" + unix(name) +
                          "' -map 0:v:0 -f rawvideo -pix_fmt bgr24 - | md5sum");
    }

    // Sets the operation and selections, clicks Command1 and answers whatever comes up.
    Outcome compress(App& app, int operation, const std::wstring& video, const std::wstring& audio,
                     const std::wstring& answer, Answer dialog = Answer::kOk,
                     const DialogAnswer& answer_dialog = nullptr) {
        app.click(option1Id(operation));
        app.settle();
        app.select(shell::kIdFile1, video);
        if (!audio.empty()) app.select(shell::kIdFile2, audio);
        app.click(kIdCommand1);
        Outcome run;
        HWND last = nullptr;
        // No run asks more than a few times: two boxes that never close would otherwise be
        // answered in turn until ctest's limit.
        int dialogs = 0;
        for (HWND d = app.wait_dialog(10000); d; d = app.wait_dialog(1500, last)) {
            if (++dialogs > 12) {
                ADD_FAILURE() << "dialogs keep coming up: " << td::Narrow(td::Text(d));
                break;
            }
            last = d;
            td::Box box = td::ReadBox(d);
            if (box.caption == L"Tamsel" && td::BoxEdit(d)) { // our input box
                if (!run.input_box_seen) td::Screenshot("tamsel_" + testName() + "_input");
                run.input_box_seen = true;
                ++run.input_boxes;
                EXPECT_EQ(box.text, L"保存ファイル名を入力してください。");
                td::SetText(td::BoxEdit(d), answer);
                td::PressBoxButton(d, answer.empty() ? IDCANCEL : IDOK);
            } else if (box.caption == L"Tamsel") { // our message boxes
                run.messages.push_back(box);
                if (run.messages.size() == 1) td::Screenshot("tamsel_" + testName() + "_message");
                td::PressBoxButton(d, IDOK);
            } else { // the platform's compression dialog
                run.compression_dialogs.push_back(box.caption);
                if (run.compression_dialogs.size() == 1) td::Screenshot("tamsel_" + testName());
                if (answer_dialog && run.compression_dialogs.size() == 1)
                    answer_dialog(d);
                else
                    td::PressBoxButton(d, dialog == Answer::kOk ? IDOK : IDCANCEL);
            }
            app.wait_closed(d);
        }
        return run;
    }

    std::wstring work_;
};

TEST_F(Tamsel, WindowStartsWithAddAndGreysTheAudioListForNoOperationAndDelete) {
    App app(L"TAMSEL.EXE", work_);
    ASSERT_TRUE(app.form1());
    EXPECT_EQ(td::Text(app.form1()), L"Tamsel");
    EXPECT_EQ(SendMessageW(app.control(option1Id(0)), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(app.control(shell::kIdFile2)));
    EXPECT_GT(SendMessageW(app.control(shell::kIdFile1), LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(app.control(shell::kIdFile1), LB_GETCURSEL, 0, 0), LB_ERR);

    app.select(shell::kIdFile2, L"audio2.avi");
    for (int op : {2, 3}) {
        app.click(option1Id(op));
        app.settle();
        EXPECT_FALSE(IsWindowEnabled(app.control(shell::kIdFile2))) << op;
        EXPECT_EQ(SendMessageW(app.control(option1Id(op)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(app.control(option1Id(0)), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    td::Screenshot("tamsel_window_delete");
    app.click(option1Id(1));
    app.settle();
    EXPECT_TRUE(IsWindowEnabled(app.control(shell::kIdFile2)));
    // The selection made before the list was disabled is still there.
    wchar_t text[64] = {};
    LRESULT sel = SendMessageW(app.control(shell::kIdFile2), LB_GETCURSEL, 0, 0);
    SendMessageW(app.control(shell::kIdFile2), LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"audio2.avi");
    td::Screenshot("tamsel_window_replace");
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, DeleteKeepsOnlyTheVideoStream) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 3, L"v2.avi", L"", L"out");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compression_dialogs.size(), 1u) << "the compression dialog was not seen";
    EXPECT_EQ(probe(L"out.avi"), "video");
    EXPECT_EQ(video_md5(L"out.avi"), video_md5(L"v2.avi"));
    EXPECT_EQ(td::Text(app.form1()), L"Tamsel");
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, AddWritesVideoThenTheVideoFilesAudioThenTheAudioFiles) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"v1.avi", L"audio2.avi", L"out");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compression_dialogs.size(), 1u);
    EXPECT_EQ(run.compression_dialogs[0], L"Compress options");
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio,audio");
    EXPECT_EQ(video_md5(L"out.avi"), video_md5(L"v1.avi"));
    EXPECT_EQ(audio_md5(L"out.avi", 0), audio_md5(L"v1.avi", 0));
    EXPECT_EQ(audio_md5(L"out.avi", 1), audio_md5(L"audio2.avi", 0));
    EXPECT_EQ(audio_md5(L"out.avi", 2), audio_md5(L"audio2.avi", 1));
    EXPECT_NE(audio_md5(L"out.avi", 1), audio_md5(L"out.avi", 2));
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, ReplaceWithAnAudioFileWithoutAudioNamesThatFile) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 1, L"v1.avi", L"v0.avi", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"v0.avi\rオーディオ ストリームがありません。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(run.compression_dialogs.empty());
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, SelectionsAreCheckedBeforeTheNameIsAsked) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"ビデオAVIファイルを選択してください。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_FALSE(run.input_box_seen);
    run = compress(app, 1, L"v1.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"オーディオAVIファイルを選択してください。");
    EXPECT_FALSE(run.input_box_seen);
    // An empty answer stops silently.
    run = compress(app, 3, L"v1.avi", L"", L"");
    EXPECT_TRUE(run.input_box_seen);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(run.compression_dialogs.empty());
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, NoOperationIgnoresTheAudioListEvenItsName) {
    App app(L"TAMSEL.EXE", work_);
    // No selection in the audio list, and then its selection as the output name.
    Outcome run = compress(app, 2, L"v2.avi", L"", L"out");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio");
    EXPECT_EQ(audio_md5(L"out.avi", 1), audio_md5(L"v2.avi", 1));

    app.select(shell::kIdFile2, L"v0.avi");
    run = compress(app, 3, L"v1.avi", L"", L"V0");
    EXPECT_TRUE(run.messages.empty());
    ASSERT_EQ(run.compression_dialogs.size(), 1u);
    EXPECT_EQ(probe(L"V0.avi"), "video"); // replaced the old v0.avi
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, NameCompletion) {
    unixOutput("mkdir -p '" + unix(L"sub") + "'");
    App app(L"TAMSEL.EXE", work_);
    for (const wchar_t* answer : {L"clip", L"Clip2.AVI", L"my.avi.old"})
        EXPECT_EQ(compress(app, 3, L"v1.avi", L"", answer).compression_dialogs.size(), 1u);
    EXPECT_EQ(probe(L"clip.avi"), "video");
    EXPECT_EQ(probe(L"my.avi.old"), "video");
    EXPECT_FALSE(exists(path(L"my.avi.old.avi")));
    WIN32_FIND_DATAW found;
    common::FindHandle find(FindFirstFileW(path(L"clip2.avi").c_str(), &found));
    ASSERT_NE(find.get(), INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, L"Clip2.AVI");
    // An absolute path keeps its own folder.
    compress(app, 3, L"v1.avi", L"", path(L"sub\\far"));
    EXPECT_EQ(probe(L"sub/far.avi"), "video");
    EXPECT_FALSE(exists(path(L"far.avi")));
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, SameNameInOtherCaseIsRefusedBeforeAnythingOpens) {
    App app(L"TAMSEL.EXE", work_);
    for (const wchar_t* answer : {L"V1", L"v1.AVI"}) {
        Outcome run = compress(app, 0, L"v1.avi", L"audio2.avi", answer);
        ASSERT_EQ(run.messages.size(), 1u) << td::Narrow(answer);
        EXPECT_EQ(run.messages[0].text, kSameName);
        EXPECT_TRUE(run.compression_dialogs.empty());
    }
    Outcome run = compress(app, 1, L"v1.avi", L"audio2.avi", L"Audio2");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kSameName);
    EXPECT_EQ(probe(L"v1.avi"), "video,audio");
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, ASourceReachedThroughAFolderPartIsNeverDeleted) {
    unixOutput("mkdir -p '" + unix(L"sub") + "'");
    std::string before = readFile(path(L"v1.avi"));
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"v1.avi", L"", path(L"sub\\..\\V1.avi"));
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kSameName);
    EXPECT_TRUE(run.compression_dialogs.empty());
    EXPECT_EQ(readFile(path(L"v1.avi")), before);
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, CancellingTheDialogLeavesAnExistingOutputUntouched) {
    unixOutput("printf keep > '" + unix(L"out.avi") + "'");
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"v1.avi", L"audio2.avi", L"out", Answer::kCancel);
    EXPECT_EQ(run.compression_dialogs.size(), 1u);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(readFile(path(L"out.avi")), "keep");
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, SameFileInBothListsUnderAddWritesItsAudioTwice) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"v1.avi", L"v1.avi", L"twice");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(probe(L"twice.avi"), "video,audio,audio");
    EXPECT_EQ(audio_md5(L"twice.avi", 0), audio_md5(L"v1.avi", 0));
    EXPECT_EQ(audio_md5(L"twice.avi", 1), audio_md5(L"v1.avi", 0));
    EXPECT_TRUE(app.close());
}

// The reason the system gives for a folder that does not exist, in the language of
// `language` (0: the test's own).
bool missingFolderReason(const std::wstring& text, LANGID language = 0) {
    for (DWORD code : {ERROR_DIRECTORY, ERROR_PATH_NOT_FOUND}) {
        wchar_t reason[512] = {};
        DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, language, reason, 512, nullptr);
        while (n > 0 && (reason[n - 1] == L'\n' || reason[n - 1] == L'\r' || reason[n - 1] == L' '))
            reason[--n] = 0;
        if (n > 0 && text == reason) return true;
    }
    return false;
}

TEST_F(Tamsel, AFailedSaveLeavesNoOutput) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 3, L"v1.avi", L"", path(L"missing\\out"));
    ASSERT_EQ(run.messages.size(), 1u);
    // The output and the system's reason, around the message.
    const std::wstring head = path(L"missing\\out.avi") + L"\r" + kNotCreated + L"\r";
    ASSERT_EQ(run.messages[0].text.rfind(head, 0), 0u) << td::Narrow(run.messages[0].text);
    EXPECT_TRUE(missingFolderReason(run.messages[0].text.substr(head.size())))
        << td::Narrow(run.messages[0].text);
    EXPECT_EQ(run.messages[0].icon, 0); // a result, not a refusal
    EXPECT_FALSE(exists(path(L"missing\\out.avi")));
    // An output that cannot be deleted: a warning with the reason, nothing written.
    unixOutput("mkdir -p '" + unix(L"dir.avi") + "'");
    run = compress(app, 3, L"v1.avi", L"", L"dir.avi");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(path(L"dir.avi") + L"\r"), 0u);
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_EQ(GetFileAttributesW(path(L"dir.avi").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, DamagedInputsAreRefusedWithoutACrash) {
    App app(L"TAMSEL.EXE", work_);
    for (const wchar_t* name : {L"truncated.avi", L"text.avi"}) {
        Outcome run = compress(app, 2, name, L"", L"out");
        ASSERT_EQ(run.messages.size(), 1u) << td::Narrow(name);
        EXPECT_EQ(run.messages[0].text, std::wstring(name) + L"\rAVIファイルが開けません。");
    }
    Outcome run = compress(app, 2, L"audio2.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"audio2.avi\rビデオ ストリームがありません。");
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_TRUE(app.close());
}

// Every run from AVIFileInit on releases what it obtained, whatever way it ends.
TEST_F(Tamsel, EveryRunReleasesWhatItObtained) {
    std::wstring counts = td::Join(td::ExeFolder(), L"TAMSEL_COUNTS.TXT");
    DeleteFileW(counts.c_str());
    App app(L"TAMSEL_COUNTING.exe", work_);
    compress(app, 2, L"truncated.avi", L"", L"o1");                     // cannot open
    compress(app, 2, L"text.avi", L"", L"o1");                          // cannot open
    compress(app, 2, L"audio2.avi", L"", L"o1");                        // no video stream
    compress(app, 1, L"v1.avi", L"v0.avi", L"o1");                      // no audio stream
    compress(app, 0, L"v2.avi", L"audio2.avi", L"o1", Answer::kCancel); // dialog cancelled
    compress(app, 0, L"v2.avi", L"audio2.avi", L"o2");                  // written
    compress(app, 3, L"v1.avi", L"", path(L"missing\\o3"));             // save failed
    EXPECT_TRUE(app.close());
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

} // namespace

namespace {

// Header fields as a reader that trusts them sees the file.
struct Headers {
    uint32_t micro_sec_per_frame = 0;
    std::vector<uint32_t> audio_lengths; // strh dwLength of each audio stream
    std::vector<uint32_t> audio_blocks;  // blocks its chunks really hold
    int video_entries = 0, video_key_entries = 0;
};

Headers read_headers(const std::wstring& path) {
    Headers h;
    shell::Win32File store;
    EXPECT_TRUE(store.open(path, false));
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout));
    uint8_t b[4];
    if (store.Read(layout.avih, b, 4)) h.micro_sec_per_frame = riff::loadU32(b);
    for (const auto& s : layout.streams) {
        if (s.fccType != riff::fourCC("auds")) continue;
        store.Read(s.strh + avi::kStrhLength, b, 4);
        h.audio_lengths.push_back(riff::loadU32(b));
        store.Read(s.strf + avi::kWaveBlockAlign, b, 2);
        h.audio_blocks.push_back(static_cast<uint32_t>(s.dataBytes / riff::loadU16(b)));
    }
    for (uint64_t e = 0; e + 16 <= layout.idx1Size; e += 16) {
        uint8_t entry[16];
        store.Read(layout.idx1 + e, entry, 16);
        int n = avi::streamOfChunk(riff::loadU32(entry));
        if (n < 0 || layout.streams[n].fccType != riff::fourCC("vids")) continue;
        ++h.video_entries;
        if (riff::loadU32(entry + 4) & 0x10) ++h.video_key_entries;
    }
    return h;
}

} // namespace

TEST_F(Tamsel, TheWrittenFileDescribesItsContentTruthfully) {
    App app(L"TAMSEL.EXE", work_);
    compress(app, 0, L"v1.avi", L"audio2.avi", L"out");
    EXPECT_TRUE(app.close());
    Headers h = read_headers(path(L"out.avi"));
    EXPECT_EQ(h.micro_sec_per_frame, 100000u); // 10 frames per second
    ASSERT_EQ(h.audio_lengths.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(h.audio_lengths[i], h.audio_blocks[i]) << i;
        EXPECT_EQ(h.audio_blocks[i], 44100u) << i; // 2 s at 22050 Hz
    }
    EXPECT_EQ(h.video_entries, 20);
    EXPECT_EQ(h.video_key_entries, 20);
    // ffmpeg's reader agrees: every video packet is a key frame.
    std::string flags = unixOutput("ffprobe -v error -select_streams v -show_entries "
                                   "packet=flags -of csv=p=0 '" +
                                   unix(L"out.avi") + "' | sort | uniq -c");
    EXPECT_NE(flags.find("20 K"), std::string::npos) << flags;
}

TEST_F(Tamsel, ComposingFromAFilePurnixWroteCopiesAllItsSamples) {
    unixOutput("sox -n -r 22050 -c 1 -b 16 '" + unix(L"tone.wav") + "' synth 1.5 sine 500");
    {
        td::App purnix(L"PURNIX.EXE", work_);
        HWND form = purnix.WaitWindow(L"Purnix", 10000, L"PurnixForm1");
        ASSERT_TRUE(form);
        ASSERT_TRUE(td::SelectListItem(td::Control(form, shell::kIdFile1), L"tone.wav"));
        td::Sync(form);
        td::Click(td::Control(form, wavconv::kIdCommand1)); // "&Convert Wave file into AVI file"
        HWND box = purnix.WaitMessageBox(10000);
        ASSERT_TRUE(box);
        td::PressBoxButton(box, IDOK);
        td::Close(form);
        EXPECT_TRUE(purnix.WaitExit(10000));
    }
    ASSERT_EQ(read_headers(path(L"tone.avi")).audio_lengths, std::vector<uint32_t>{33075});
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"v0.avi", L"tone.avi", L"out");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(app.close());
    EXPECT_EQ(probe(L"out.avi"), "video,audio");
    EXPECT_EQ(audio_md5(L"out.avi", 0),
              unixOutput("ffmpeg -v error -i '" + unix(L"tone.wav") + "' -f s16le - | md5sum"));
    EXPECT_EQ(read_headers(path(L"out.avi")).audio_lengths, std::vector<uint32_t>{33075});
}

TEST_F(Tamsel, ADriveRootFolderWorksWithoutASecondBackslash) {
    ASSERT_TRUE(td::MapWineDrive(L't', td::UnixPath(work_)));
    {
        App app(L"TAMSEL.EXE", L"T:\\");
        ASSERT_TRUE(app.form1());
        Outcome run = compress(app, 2, L"v1.avi", L"", L"root");
        EXPECT_TRUE(run.messages.empty());
        EXPECT_EQ(run.compression_dialogs.size(), 1u);
        // The same-file check and the save both saw "T:\root.avi".
        run = compress(app, 2, L"v1.avi", L"", L"T:\\V1");
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_EQ(run.messages[0].text, kSameName);
        EXPECT_TRUE(app.close());
    }
    td::UnmapWineDrive(L't');
    EXPECT_EQ(probe(L"root.avi"), "video,audio");
}

namespace {

// A stream's header and format records as stored in the file.
struct StreamRecords {
    uint32_t type = 0;
    std::string strh, strf;
    uint32_t U32(size_t at) const {
        return riff::loadU32(reinterpret_cast<const uint8_t*>(&strh[at]));
    }
};

std::vector<StreamRecords> stream_records(const std::wstring& path) {
    std::vector<StreamRecords> out;
    shell::Win32File store;
    EXPECT_TRUE(store.open(path, false));
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout)) << td::Narrow(path);
    for (const auto& s : layout.streams) {
        StreamRecords r;
        r.type = s.fccType;
        r.strh.resize(s.strhSize);
        r.strf.resize(s.strfSize);
        EXPECT_TRUE(store.Read(s.strh, &r.strh[0], r.strh.size()));
        EXPECT_TRUE(store.Read(s.strf, &r.strf[0], r.strf.size()));
        out.push_back(r);
    }
    return out;
}

// List entries one a line, for a failure message.
std::wstring joined(const std::vector<std::wstring>& items) {
    std::wstring all;
    for (const auto& item : items)
        all += item + L"\n";
    return all;
}

// Rewrites 32-bit fields of a file's first audio stream: `fields` gives file offsets and
// values from the stream's layout.
using Fields = std::vector<std::pair<uint64_t, uint32_t>>;
void rewrite_first_audio(const std::wstring& path,
                         const std::function<Fields(const avi::StreamLayout&)>& fields) {
    shell::Win32File store;
    ASSERT_TRUE(store.open(path, true));
    avi::AviLayout layout;
    ASSERT_TRUE(avi::readAviLayout(store, layout));
    for (const auto& s : layout.streams) {
        if (s.fccType != riff::fourCC("auds")) continue;
        for (const auto& [at, value] : fields(s)) {
            uint8_t b[4];
            riff::storeU32(b, value);
            ASSERT_TRUE(store.Write(at, b, 4));
        }
        return;
    }
    FAIL() << "no audio stream in " << td::Narrow(path);
}

// The file ends where its RIFF chunk does.
uint64_t bytes_after_riff(const std::wstring& path) {
    std::string bytes = readFile(path);
    if (bytes.size() < 8) return bytes.size();
    uint64_t end = 8 + uint64_t(riff::loadU32(reinterpret_cast<const uint8_t*>(&bytes[4])));
    return bytes.size() - std::min<uint64_t>(end + (end & 1), bytes.size());
}

} // namespace

std::string texts(const Outcome& run) {
    std::string all;
    for (const auto& box : run.messages)
        all += td::Narrow(box.text) + "\n";
    return all;
}

class TamselStreams : public Tamsel {
  protected:
    // The bytes of every packet of a stream ("v:0", "a:1") as ffmpeg reads them.
    std::string packets_md5(const std::wstring& name, const std::string& stream) const {
        return unixOutput("ffmpeg -v error -i '" + unix(name) + "' -map 0:" + stream +
                          " -c copy -f data - | md5sum");
    }

    // Output stream `index` (of type "v" or "a", numbered `nth` among its type) holds the
    // same bytes and format record as stream `source_nth` of that type in `source`. A
    // 16-byte PCM format may come out in its 18-byte form with cbSize 0, nothing else.
    void expect_same_stream(const std::wstring& output, size_t index, const std::string& kind,
                            int nth, const std::wstring& source, int source_nth) {
        SCOPED_TRACE(td::Narrow(output) + " stream " + std::to_string(index) + " from " +
                     td::Narrow(source));
        std::string out_spec = kind + ":" + std::to_string(nth);
        std::string src_spec = kind + ":" + std::to_string(source_nth);
        EXPECT_EQ(packets_md5(output, out_spec), packets_md5(source, src_spec));
        std::vector<StreamRecords> out = stream_records(path(output));
        std::vector<StreamRecords> src = stream_records(path(source));
        uint32_t type = riff::fourCC(kind == "v" ? "vids" : "auds");
        std::vector<const StreamRecords*> of_type;
        for (const auto& r : src)
            if (r.type == type) of_type.push_back(&r);
        ASSERT_LT(index, out.size());
        ASSERT_LT(size_t(source_nth), of_type.size());
        const StreamRecords& o = out[index];
        const StreamRecords& s = *of_type[source_nth];
        EXPECT_EQ(o.type, type);
        if (s.strf.size() == 16 && type == riff::fourCC("auds")) {
            EXPECT_EQ(o.strf.substr(0, 16), s.strf);
            EXPECT_EQ(o.strf.substr(16), std::string(2, '\0'));
        } else {
            EXPECT_EQ(o.strf, s.strf);
        }
        if (type == riff::fourCC("auds")) { // the same time base: rate / scale
            EXPECT_EQ(uint64_t(o.U32(avi::kStrhRate)) * s.U32(avi::kStrhScale),
                      uint64_t(s.U32(avi::kStrhRate)) * o.U32(avi::kStrhScale));
            // and the same length in the same units
            EXPECT_EQ(o.U32(avi::kStrhSampleSize), s.U32(avi::kStrhSampleSize));
            EXPECT_EQ(o.U32(avi::kStrhLength), s.U32(avi::kStrhLength));
        }
        EXPECT_EQ(audio_or_video_md5(output, kind, nth),
                  audio_or_video_md5(source, kind, source_nth));
    }

    std::string audio_or_video_md5(const std::wstring& name, const std::string& kind,
                                   int nth) const {
        return kind == "v" ? video_md5(name) : audio_md5(name, nth);
    }
};

TEST_F(TamselStreams, CompressedAudioIsCopiedWithItsFormat) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"vadpcm.avi", L"", L"adpcm");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    run = compress(app, 0, L"vmulaw.avi", L"ima_alaw.avi", L"added");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    ASSERT_EQ(run.compression_dialogs.size(), 1u);
    EXPECT_TRUE(app.close());

    ASSERT_EQ(probe(L"adpcm.avi"), "video,audio");
    expect_same_stream(L"adpcm.avi", 0, "v", 0, L"vadpcm.avi", 0);
    expect_same_stream(L"adpcm.avi", 1, "a", 0, L"vadpcm.avi", 0);
    ASSERT_EQ(probe(L"added.avi"), "video,audio,audio,audio");
    expect_same_stream(L"added.avi", 0, "v", 0, L"vmulaw.avi", 0);
    expect_same_stream(L"added.avi", 1, "a", 0, L"vmulaw.avi", 0);
    expect_same_stream(L"added.avi", 2, "a", 1, L"ima_alaw.avi", 0);
    expect_same_stream(L"added.avi", 3, "a", 2, L"ima_alaw.avi", 1);
    for (const wchar_t* name : {L"adpcm.avi", L"added.avi"})
        EXPECT_EQ(bytes_after_riff(path(name)), 0u) << td::Narrow(name);
}

TEST_F(TamselStreams, AStreamCountedInPairsOfBlocksIsNeverCutShort) {
    // Stereo mu-law (blocks of 2 bytes) whose header counts pairs of blocks: a sample size
    // of 4, a rate of 11025 such samples a second. Wine's reader copies dwLength blocks of
    // 2 bytes, half the stream: a file without all of it is not reported as written.
    rewrite_first_audio(path(L"vmulaw2.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strh + avi::kStrhScale, 1},
                      {s.strh + avi::kStrhRate, 11025},
                      {s.strh + avi::kStrhLength, uint32_t(s.dataBytes / 4)},
                      {s.strh + avi::kStrhSampleSize, 4}};
    });
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"vmulaw2.avi", L"", L"pairs");
    EXPECT_TRUE(app.close());
    if (run.messages.empty()) { // a platform that copies it whole
        ASSERT_EQ(probe(L"pairs.avi"), "video,audio");
        expect_same_stream(L"pairs.avi", 1, "a", 0, L"vmulaw2.avi", 0);
    } else {
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_EQ(run.messages[0].text, kNotCreated);
        EXPECT_FALSE(exists(path(L"pairs.avi")));
    }
}

TEST_F(TamselStreams, PcmFormatsComeOutWhole) {
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 0, L"v2.avi", L"audio2.avi", L"pcm");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_TRUE(app.close());
    ASSERT_EQ(probe(L"pcm.avi"), "video,audio,audio,audio,audio");
    expect_same_stream(L"pcm.avi", 0, "v", 0, L"v2.avi", 0);
    expect_same_stream(L"pcm.avi", 1, "a", 0, L"v2.avi", 0);
    expect_same_stream(L"pcm.avi", 2, "a", 1, L"v2.avi", 1);
    expect_same_stream(L"pcm.avi", 3, "a", 2, L"audio2.avi", 0);
    expect_same_stream(L"pcm.avi", 4, "a", 3, L"audio2.avi", 1);
    EXPECT_EQ(bytes_after_riff(path(L"pcm.avi")), 0u);
}

TEST_F(TamselStreams, TheFormatChooserLeavesACompressedStreamAsItIs) {
    // Opening the chooser raises a record's size to the largest format's (MS ADPCM's 50
    // bytes here), even when it is cancelled; the stream's own format picked there is no
    // change either. Both streams' formats are offered by the platform's codecs.
    // MS ADPCM: the platform's codec says 44100 * 1024 / 2036 bytes per second; the encoder
    // that made the file wrote another figure.
    rewrite_first_audio(path(L"vadpcm44.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strf + 8, 22179}};
    });
    const struct {
        const wchar_t* source;
        const wchar_t* tag;  // in the chooser's tag list
        const wchar_t* rate; // in its attribute list, beside "Mono"
    } kStreams[] = {{L"vmulaw.avi", L"U-Law", L"22050 Hz"},
                    {L"vadpcm44.avi", L"Microsoft ADPCM", L"44100 Hz"}};
    App app(L"TAMSEL.EXE", work_);
    int n = 0;
    for (const auto& stream : kStreams) {
        for (bool pick : {false, true}) {
            SCOPED_TRACE(td::Narrow(stream.source) +
                         (pick ? ", own format picked" : ", cancelled"));
            bool chooser_seen = false;
            const std::wstring output = L"out" + std::to_wstring(++n);
            Outcome run = compress(app, 2, stream.source, L"", output, Answer::kOk, [&](HWND d) {
                HWND streams = td::ControlByClass(d, L"ComboBox");
                ASSERT_TRUE(streams);
                td::SelectListItem(streams, 1); // the audio stream
                td::Sync(d);
                ASSERT_TRUE(td::Click(td::ControlByText(d, L"&Options...")));
                HWND chooser = app.wait_dialog(10000, d);
                ASSERT_TRUE(chooser);
                chooser_seen = true;
                if (pick) {
                    HWND tags = td::ControlByClass(chooser, L"ComboBox", 1);
                    HWND attributes = td::ControlByClass(chooser, L"ComboBox", 2);
                    ASSERT_TRUE(tags && attributes);
                    auto find = [](HWND list, const wchar_t* a, const wchar_t* b) {
                        std::vector<std::wstring> items = td::ListItems(list);
                        for (size_t i = 0; i < items.size(); ++i)
                            if (items[i].find(a) != std::wstring::npos &&
                                items[i].find(b) != std::wstring::npos)
                                return int(i);
                        return -1;
                    };
                    int tag = find(tags, stream.tag, L"");
                    ASSERT_GE(tag, 0) << td::Narrow(joined(td::ListItems(tags)));
                    td::SelectListItem(tags, tag);
                    td::Sync(chooser);
                    int own = find(attributes, stream.rate, L"Mono");
                    ASSERT_GE(own, 0) << td::Narrow(joined(td::ListItems(attributes)));
                    td::SelectListItem(attributes, own);
                    td::Sync(chooser);
                    td::Screenshot("tamsel_format_chooser_own_format_" + std::to_string(n));
                }
                EXPECT_TRUE(td::PressBoxButton(chooser, pick ? IDOK : IDCANCEL));
                td::Sync(d);
                EXPECT_TRUE(td::PressBoxButton(d, IDOK));
            });
            EXPECT_TRUE(chooser_seen);
            EXPECT_TRUE(run.messages.empty()) << texts(run);
            ASSERT_EQ(probe(output + L".avi"), "video,audio");
            expect_same_stream(output + L".avi", 0, "v", 0, stream.source, 0);
            expect_same_stream(output + L".avi", 1, "a", 0, stream.source, 0);
        }
    }
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, ACancelAfterPickingAnAudioFormatLeavesTheHeapSound) {
    // Under Wine's heap checks: a block freed twice or the wrong way is a warning on
    // TAMSEL's standard error.
    const std::wstring log = L"heap.log";
    {
        App app(L"TAMSEL.EXE", work_, {L"WINEDEBUG=warn+heap"}, "exec 2>'" + unix(log) + "'");
        bool chooser_seen = false;
        Outcome run =
            compress(app, 0, L"v1.avi", L"audio2.avi", L"out", Answer::kCancel, [&](HWND d) {
                // The second stream is the first audio stream; its Options... is the format
                // chooser.
                HWND streams = td::ControlByClass(d, L"ComboBox");
                ASSERT_TRUE(streams);
                td::SelectListItem(streams, 1);
                td::Sync(d);
                ASSERT_TRUE(td::Click(td::ControlByText(d, L"&Options...")));
                HWND chooser = app.wait_dialog(10000, d);
                ASSERT_TRUE(chooser);
                chooser_seen = true;
                // Another format than the stream's own: the last of the attribute list.
                HWND attributes = td::ControlByClass(chooser, L"ComboBox", 2);
                ASSERT_TRUE(attributes);
                int count = int(SendMessageW(attributes, CB_GETCOUNT, 0, 0));
                ASSERT_GT(count, 1);
                td::SelectListItem(attributes, count - 1);
                td::Sync(chooser);
                td::Screenshot("tamsel_format_chooser");
                EXPECT_TRUE(td::PressBoxButton(chooser, IDOK));
                td::Sync(d);
                EXPECT_TRUE(td::PressBoxButton(d, IDCANCEL));
            });
        EXPECT_TRUE(chooser_seen);
        EXPECT_TRUE(run.messages.empty());
        EXPECT_FALSE(exists(path(L"out.avi")));
        run = compress(app, 0, L"v1.avi", L"audio2.avi", L"out");
        EXPECT_TRUE(run.messages.empty());
        EXPECT_TRUE(app.close());
    }
    EXPECT_EQ(probe(L"out.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audio_md5(L"out.avi", 1), audio_md5(L"audio2.avi", 0));
    ASSERT_TRUE(exists(path(log)));
    const std::string warnings = readFile(path(log));
    EXPECT_EQ(warnings.find(":heap:"), std::string::npos) << warnings;
}

TEST_F(Tamsel, CompressQueuedBeforeTheSaveIsIgnored) {
    App app(L"TAMSEL.EXE", work_);
    // OK and a second click on Compress in one go: the click waits in the queue until
    // the events are pumped before the save.
    Outcome run = compress(app, 2, L"v1.avi", L"", L"out", Answer::kOk, [&](HWND d) {
        PostMessageW(td::Control(d, IDOK), BM_CLICK, 0, 0);
        PostMessageW(app.control(kIdCommand1), BM_CLICK, 0, 0);
        td::WaitFor([&] { return !IsWindow(d); }, 10000);
    });
    EXPECT_EQ(run.input_boxes, 1);
    EXPECT_EQ(run.compression_dialogs.size(), 1u);
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_EQ(probe(L"out.avi"), "video,audio");
    EXPECT_TRUE(app.close());
}

TEST_F(Tamsel, NamesOfEveryScriptUnderTheUtf8CodePage) {
    // Windows set to use UTF-8 as its ANSI code page; under Wine a locale without a code
    // page of its own gives that. Every name then has an exact ANSI form.
    unixOutput("cd '" + td::UnixPath(work_) + "' && cp v1.avi '音声.avi' && cp audio2.avi 'Ō.avi'");
    App app(L"TAMSEL.EXE", work_, {L"LC_ALL=hi_IN.UTF-8"});
    Outcome run = compress(app, 0, L"音声.avi", L"Ō.avi", L"音声Ō");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_EQ(run.compression_dialogs.size(), 1u);
    run = compress(app, 2, L"音声.avi", L"", L"Ō2");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_TRUE(app.close());
    EXPECT_EQ(probe(L"音声Ō.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audio_md5(L"音声Ō.avi", 2), audio_md5(L"Ō.avi", 1));
    EXPECT_EQ(probe(L"Ō2.avi"), "video,audio");
}

TEST_F(Tamsel, NamesOutsideTheCodePageReachNoOtherFile) {
    // "O" is the best-fit ANSI form of "\u014C" here, and the platform's AVIFile reaches
    // files by ANSI names: such a name is refused before anything opens.
    char ansi[8] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u014C", -1, ansi, sizeof ansi, nullptr, nullptr);
    ASSERT_STREQ(ansi, "O");
    unixOutput("cd '" + td::UnixPath(work_) +
               "' && cp v1.avi '\xc5\x8c.avi' && cp v2.avi O.avi && printf keep > O2.avi");
    const std::string other = readFile(path(L"O.avi"));
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"\u014C.avi", L"", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C.avi\rファイル名に使えない文字があります。");
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    run = compress(app, 0, L"v1.avi", L"\u014C.avi", L"out");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C.avi\rファイル名に使えない文字があります。");
    run = compress(app, 2, L"v1.avi", L"", L"\u014C2");
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, L"\u014C2.avi\rファイル名に使えない文字があります。");
    EXPECT_TRUE(run.compression_dialogs.empty());
    EXPECT_TRUE(app.close());
    EXPECT_TRUE(readFile(path(L"O2.avi")) == "keep");
    EXPECT_TRUE(readFile(path(L"O.avi")) == other);
    EXPECT_FALSE(exists(path(L"out.avi")));
    EXPECT_FALSE(exists(path(L"\u014C2.avi")));
}

// The failures of a save, each with an earlier output of the name: it stays byte for byte
// and its folder holds what it held.
TEST_F(Tamsel, AnOutputHeldWithoutDeleteSharingIsKeptWhole) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::FolderContents(work_);
    common::UniqueFile held(CreateFileW(path(L"out.avi").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"v1.avi", L"", L"out");
    held.reset();
    EXPECT_TRUE(app.close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(
                  path(L"out.avi") + L"\r既存のファイルを削除できないため、保存しませんでした。\r"),
              0u)
        << td::Narrow(run.messages[0].text);
    EXPECT_EQ(run.messages[0].icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(td::FolderContents(work_) == before);
}

TEST_F(Tamsel, AReadOnlyOutputIsRefusedBeforeTheCompressionDialog) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    ASSERT_TRUE(SetFileAttributesW(path(L"out.avi").c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = td::FolderContents(work_);
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"v1.avi", L"", L"out");
    EXPECT_TRUE(app.close());
    EXPECT_TRUE(run.compression_dialogs.empty());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text.find(
                  path(L"out.avi") + L"\r既存のファイルを削除できないため、保存しませんでした。\r"),
              0u);
    EXPECT_TRUE(td::FolderContents(work_) == before);
    EXPECT_NE(GetFileAttributesW(path(L"out.avi").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(Tamsel, AFullDiskKeepsAnExistingOutputWhole) {
    const std::wstring small = td::SmallDiskFolder(L"tamsel");
    if (small.empty()) GTEST_SKIP() << "no small file system: ./run test mounts one";
    ASSERT_TRUE(td::WriteBytes(td::Join(small, L"out.avi"), "old"));
    // v1.avi's video alone is about 180 KB.
    ASSERT_TRUE(td::FillDisk(small, 64 * 1024));
    const auto before = td::FolderContents(small);
    App app(L"TAMSEL.EXE", work_);
    Outcome run = compress(app, 2, L"v1.avi", L"", td::Join(small, L"out"));
    EXPECT_TRUE(app.close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::FolderContents(small) == before);
    td::RemoveTree(small);
}

TEST_F(Tamsel, AFixUpThatFailsKeepsAnExistingOutputWhole) {
    // A test build whose corrections change the written file and then fail.
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::FolderContents(work_);
    App app(L"TAMSEL_FIXUP_FAILS.exe", work_);
    Outcome run = compress(app, 2, L"v1.avi", L"", L"out");
    EXPECT_TRUE(app.close());
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::FolderContents(work_) == before);
}

TEST_F(Tamsel, AFormatThePlatformCannotWriteKeepsAnExistingOutputWhole) {
    unixOutput("printf old > '" + unix(L"out.avi") + "'");
    const auto before = td::FolderContents(work_);
    App app(L"TAMSEL.EXE", work_);
    std::wstring chosen;
    Outcome run = compress(app, 2, L"v1.avi", L"", L"out", Answer::kOk, [&](HWND d) {
        // The first stream is the video; its Options... is the compressor chooser. The
        // platform lists Cinepak but cannot compress with it.
        ASSERT_TRUE(td::Click(td::ControlByText(d, L"&Options...")));
        HWND chooser = app.wait_dialog(10000, d);
        ASSERT_TRUE(chooser);
        HWND list = td::ControlByClass(chooser, L"ComboBox");
        ASSERT_TRUE(list);
        std::string all;
        for (const std::wstring& item : td::ListItems(list)) {
            all += td::Narrow(item) + "|";
            if (chosen.empty() && item.find(L"Cinepak") != std::wstring::npos) chosen = item;
        }
        ASSERT_FALSE(chosen.empty()) << all;
        td::SelectListItem(list, chosen);
        td::Sync(chooser);
        td::Screenshot("tamsel_compressor_chooser");
        EXPECT_TRUE(td::PressBoxButton(chooser, IDOK));
        td::Sync(d);
        EXPECT_TRUE(td::PressBoxButton(d, IDOK));
    });
    EXPECT_TRUE(app.close());
    EXPECT_FALSE(chosen.empty());
    ASSERT_EQ(run.messages.size(), 1u) << texts(run);
    EXPECT_EQ(run.messages[0].text, kNotCreated);
    EXPECT_TRUE(td::FolderContents(work_) == before);
}

namespace {

// What TAMSEL.EXE started with arguments wrote and returned.
struct CommandRun {
    int status = -1;
    std::vector<std::wstring> lines;
};

CommandRun parse_command_run(const std::string& bytes) {
    CommandRun run;
    std::wistringstream lines(td::Widen(bytes, 932));
    for (std::wstring line; std::getline(lines, line);) {
        while (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (line.compare(0, 3, L"rc=") == 0)
            run.status = _wtoi(line.c_str() + 3);
        else if (!line.empty())
            run.lines.push_back(line);
    }
    return run;
}

const char kJapanese[] = "LC_ALL=ja_JP.UTF-8";

} // namespace

// The command line as a build script runs it: standard output into a file, read in the
// Japanese code page; the outputs judged as the window's are.
class TamselCommandLine : public TamselStreams {
  protected:
    // `args` as a Unix shell reads them (quote what holds "\").
    CommandRun tamsel(const std::string& args) const {
        const std::string exe = td::UnixPath(td::Join(td::ExeFolder(), L"TAMSEL.EXE"));
        return parse_command_run(unixOutput("cd '" + td::UnixPath(work_) + "' && env " + kJapanese +
                                            " wine '" + exe + "' " + args +
                                            " > cli.log 2>/dev/null; echo \"rc=$?\"; cat cli.log"));
    }
    std::vector<std::wstring> one(const std::wstring& line) const { return {line}; }
};

TEST_F(TamselCommandLine, EachOperationComposesAsTheButtonDoes) {
    unixOutput("mkdir -p '" + unix(L"sub") + "' && cp '" + unix(L"v1.avi") + "' '" + unix(L"sub") +
               "/'");
    CommandRun run = tamsel("/add v1.avi audio2.avi /out add");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v1.avi: add.avi"));
    ASSERT_EQ(probe(L"add.avi"), "video,audio,audio,audio");
    expect_same_stream(L"add.avi", 0, "v", 0, L"v1.avi", 0);
    expect_same_stream(L"add.avi", 1, "a", 0, L"v1.avi", 0);
    expect_same_stream(L"add.avi", 2, "a", 1, L"audio2.avi", 0);
    expect_same_stream(L"add.avi", 3, "a", 2, L"audio2.avi", 1);

    // A name with "\" is used as it is, from the current folder.
    run = tamsel("/REPLACE v2.avi audio2.avi /out 'sub\\rep.AVI'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v2.avi: sub\\rep.AVI"));
    ASSERT_EQ(probe(L"sub/rep.AVI"), "video,audio,audio");
    expect_same_stream(L"sub\\rep.AVI", 2, "a", 1, L"audio2.avi", 1);

    // A name without "\" goes into the video file's folder.
    run = tamsel("/out kept /Keep 'sub\\v1.avi'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"sub\\v1.avi: sub\\kept.avi"));
    EXPECT_FALSE(exists(path(L"kept.avi")));
    ASSERT_EQ(probe(L"sub/kept.avi"), "video,audio");
    expect_same_stream(L"sub\\kept.avi", 1, "a", 0, L"v1.avi", 0);

    run = tamsel("/delete v2.avi /out del");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v2.avi: del.avi"));
    ASSERT_EQ(probe(L"del.avi"), "video");
    expect_same_stream(L"del.avi", 0, "v", 0, L"v2.avi", 0);
    for (const wchar_t* name : {L"add.avi", L"sub\\rep.AVI", L"sub\\kept.avi", L"del.avi"})
        EXPECT_EQ(bytes_after_riff(path(name)), 0u) << td::Narrow(name);
}

TEST_F(TamselCommandLine, CompressedStreamsAreCopiedAsTheyAreWithoutOptions) {
    // Microsoft Video 1 and MS ADPCM; mu-law beside IMA ADPCM and A-law.
    CommandRun run = tamsel("/keep vcram.avi /out cram");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"vcram.avi: cram.avi"));
    ASSERT_EQ(probe(L"cram.avi"), "video,audio");
    expect_same_stream(L"cram.avi", 0, "v", 0, L"vcram.avi", 0);
    expect_same_stream(L"cram.avi", 1, "a", 0, L"vcram.avi", 0);
    run = tamsel("/add vmulaw.avi ima_alaw.avi /out added");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(probe(L"added.avi"), "video,audio,audio,audio");
    expect_same_stream(L"added.avi", 1, "a", 0, L"vmulaw.avi", 0);
    expect_same_stream(L"added.avi", 2, "a", 1, L"ima_alaw.avi", 0);
    expect_same_stream(L"added.avi", 3, "a", 2, L"ima_alaw.avi", 1);
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
    const auto before = td::FolderContents(work_);
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
    ASSERT_EQ(run.lines[0].rfind(head, 0), 0u) << td::Narrow(run.lines[0]);
    EXPECT_TRUE(missingFolderReason(run.lines[0].substr(head.size()),
                                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)))
        << td::Narrow(run.lines[0]);
    // A name without an exact form in the code page: the line's own bytes lose it.
    run = tamsel("/keep v1.avi /out '\xc5\x8c'");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_NE(run.lines[0].find(L".avi; ファイル名に使えない文字があります。"), std::wstring::npos);
    unixOutput("rm -f '" + unix(L"cli.log") + "'");
    EXPECT_TRUE(td::FolderContents(work_) == before);
}

TEST_F(TamselCommandLine, JapaneseNames) {
    unixOutput("cd '" + td::UnixPath(work_) +
               "' && cp v1.avi '映像.avi' && cp audio2.avi '音声.avi'");
    CommandRun run = tamsel("/add 映像.avi 音声.avi /out 出力");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"映像.avi: 出力.avi"));
    ASSERT_EQ(probe(L"出力.avi"), "video,audio,audio,audio");
    EXPECT_EQ(audio_md5(L"出力.avi", 2), audio_md5(L"audio2.avi", 1));
    run = tamsel("/keep 映像.avi /out 映像");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines, one(L"映像.avi: 保存ファイル名が変換元ファイル名と同じです。"));
}

TEST_F(TamselCommandLine, UsageErrorsPrintTheUsageAndDoNothing) {
    const auto before = td::FolderContents(work_);
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
    EXPECT_TRUE(td::FolderContents(work_) == before);
}

TEST_F(TamselCommandLine, OptionsAsksInThePlatformsDialogConfirmedOrCancelled) {
    unixOutput("printf keep > '" + unix(L"opt.avi") + "'");
    for (Answer answer : {Answer::kCancel, Answer::kOk}) {
        SCOPED_TRACE(answer == Answer::kOk ? "confirmed" : "cancelled");
        DWORD code = 99;
        {
            td::App app(L"TAMSEL.EXE", work_, {td::Widen(kJapanese)},
                        "exec >'" + unix(L"cli.log") + "' 2>/dev/null",
                        L"/keep v1.avi /out opt /options");
            HWND dialog = nullptr;
            td::WaitFor(
                [&] {
                    for (HWND w : app.TopWindows())
                        if (td::ClassOf(w) == L"#32770") dialog = w;
                    return dialog != nullptr;
                },
                10000);
            ASSERT_TRUE(dialog) << "the compression dialog was not seen";
            EXPECT_EQ(td::Text(dialog), L"圧縮オプション"); // "Compress options", in Japanese
            td::Screenshot("tamsel_command_line_options");
            EXPECT_TRUE(td::PressBoxButton(dialog, answer == Answer::kOk ? IDOK : IDCANCEL));
            EXPECT_TRUE(app.WaitExit(30000, &code));
        }
        CommandRun run = parse_command_run(readFile(path(L"cli.log")));
        if (answer == Answer::kCancel) {
            EXPECT_EQ(code, 1u);
            EXPECT_EQ(run.lines, one(L"v1.avi: キャンセルされました。"));
            EXPECT_EQ(readFile(path(L"opt.avi")), "keep");
        } else {
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(run.lines, one(L"v1.avi: opt.avi"));
            ASSERT_EQ(probe(L"opt.avi"), "video,audio");
            expect_same_stream(L"opt.avi", 0, "v", 0, L"v1.avi", 0);
            expect_same_stream(L"opt.avi", 1, "a", 0, L"v1.avi", 0);
        }
    }
}

TEST_F(TamselCommandLine, WithoutAConsoleTheLineComesInAMessageBox) {
    // Started as the Explorer starts a dropped file: no standard handles, no console.
    td::App app(L"TAMSEL.EXE", work_, {}, {}, L"/keep none.avi /out out", DETACHED_PROCESS);
    HWND box = app.WaitMessageBox(10000);
    ASSERT_TRUE(box);
    td::Box seen = td::ReadBox(box);
    EXPECT_EQ(seen.caption, L"Tamsel");
    EXPECT_EQ(seen.text, L"none.avi: none.avi; AVIファイルが開けません。");
    EXPECT_EQ(seen.icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(td::PressBoxButton(box, IDOK));
    DWORD code = 99;
    EXPECT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(code, 1u);
}

namespace {

const char kMedia[] = QUILLON_MEDIA_DIR;

} // namespace

// Files other programs wrote: the public ones, and variations of their kinds that ffmpeg
// makes here. Driven through the command line, which shares the window's run.
class TamselOtherPrograms : public TamselCommandLine {
  protected:
    void SetUp() override {
        TamselCommandLine::SetUp();
        const std::string copied =
            unixOutput("cp '" + std::string(kMedia) + "'/*.avi '" + td::UnixPath(work_) +
                       "' && chmod u+w '" + td::UnixPath(work_) + "'/*.avi && echo copied");
        ASSERT_NE(copied.find("copied"), std::string::npos)
            << "the public media files are not in " << kMedia;
    }

    // Makes `name` with ffmpeg from a test picture and a tone: `codecs` as ffmpeg takes them.
    void make(const std::wstring& name, const std::string& codecs) const {
        unixOutput("ffmpeg -y -v error -f lavfi -i testsrc=size=64x48:rate=10:duration=3 -f lavfi "
                   "-i sine=frequency=440:sample_rate=44100:duration=3 -map 0:v -map 1:a " +
                   codecs + " '" + unix(name) + "'");
        ASSERT_TRUE(exists(path(name))) << td::Narrow(name);
    }

    // The key-frame flag of every packet of the first video stream, as ffprobe reads the
    // file's index: "K" or "_" each.
    std::string key_frames(const std::wstring& name) const {
        std::string flags = unixOutput("ffprobe -v error -select_streams v:0 -show_entries "
                                       "packet=flags -of csv=p=0 '" +
                                       unix(name) + "' | cut -c1 | tr -d '\\n'");
        return flags;
    }

    // The key-frame flag of every idx1 entry of the first video stream, "K" or "_" each.
    std::string index_keys(const std::wstring& name) const {
        shell::Win32File store;
        avi::AviLayout layout;
        std::vector<avi::IndexEntry> entries;
        if (!store.open(path(name), false) || !avi::readAviLayout(store, layout)) return "?";
        for (size_t n = 0; n < layout.streams.size(); ++n)
            if (layout.streams[n].fccType == riff::fourCC("vids") &&
                avi::readIndex(store, n, entries))
                break;
        std::string keys;
        for (const avi::IndexEntry& e : entries)
            keys += (e.flags & 0x10) ? 'K' : '_';
        return keys;
    }

    std::vector<std::wstring> temporary_files() const {
        std::vector<std::wstring> names;
        for (const auto& [name, content] : td::FolderContents(work_))
            if (name.rfind(L"QLN", 0) == 0) names.push_back(name);
        return names;
    }
};

TEST_F(TamselOtherPrograms, AStreamWhoseHeaderPromisesMoreThanItsIndexIsToldNotCrashedOn) {
    // Variable-rate MP3 (the public file and one ffmpeg makes), a PCM stream whose header
    // promises more samples than its chunks hold, one whose index lists only empty chunks
    // (as an empty WAV converted by PURNIX has one), and one without any chunk.
    make(L"mp3.avi", "-c:v mpeg4 -c:a libmp3lame");
    make(L"empty.avi", "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -frames:a 0");
    unixOutput("cd '" + td::UnixPath(work_) + "' && cp v1.avi long.avi && cp v1.avi hollow.avi");
    rewrite_first_audio(path(L"long.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strh + avi::kStrhLength, uint32_t(s.dataBytes / 2 + 100)}};
    });
    rewrite_first_audio(path(L"hollow.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strh + avi::kStrhLength, 0}};
    });
    {
        shell::Win32File store;
        avi::AviLayout layout;
        ASSERT_TRUE(store.open(path(L"hollow.avi"), true) && avi::readAviLayout(store, layout));
        const uint8_t none[4] = {};
        for (uint64_t e = layout.idx1; e < layout.idx1 + layout.idx1Size; e += 16) {
            uint8_t id[4];
            ASSERT_TRUE(store.Read(e, id, 4));
            if (avi::streamOfChunk(riff::loadU32(id)) == 1) {
                ASSERT_TRUE(store.Write(e + 12, none, 4));
            }
        }
    }
    // A temporary file a run that ended inside a system library left behind.
    unixOutput("printf stale > '" + unix(L"QLN7F.tmp") + "'");
    const std::wstring leftOut =
        L"; オーディオ ストリーム1は、ヘッダーが示す長さのデータがないため保存されません。";

    CommandRun run = tamsel("/keep infer_sample.avi /out keep");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::wstring>{L"infer_sample.avi: infer_sample.avi" + leftOut,
                                                    L"infer_sample.avi: keep.avi"}));
    ASSERT_EQ(probe(L"keep.avi"), "video");
    EXPECT_EQ(packets_md5(L"keep.avi", "v:0"), packets_md5(L"infer_sample.avi", "v:0"));

    run = tamsel("/add v1.avi mp3.avi /out add");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::wstring>{L"v1.avi: mp3.avi" + leftOut, L"v1.avi: add.avi"}));
    ASSERT_EQ(probe(L"add.avi"), "video,audio");
    expect_same_stream(L"add.avi", 1, "a", 0, L"v1.avi", 0);

    run = tamsel("/replace v2.avi long.avi /out rep");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::wstring>{L"v2.avi: long.avi" + leftOut, L"v2.avi: rep.avi"}));
    EXPECT_EQ(probe(L"rep.avi"), "video");
    run = tamsel("/add v2.avi hollow.avi /out hollow2");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::wstring>{
                             L"v2.avi: hollow.avi; オーディオ ストリーム1は、データがないため"
                             L"保存されません。",
                             L"v2.avi: hollow2.avi"}));
    EXPECT_EQ(probe(L"hollow2.avi"), "video,audio,audio");
    // Nothing promised and nothing there: an empty stream, copied as it is.
    run = tamsel("/add v2.avi empty.avi /out added");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"v2.avi: added.avi"));
    ASSERT_EQ(probe(L"added.avi"), "video,audio,audio,audio");
    expect_same_stream(L"added.avi", 3, "a", 2, L"empty.avi", 0);

    // Such a video stream stops the run; an existing output stays as it was.
    unixOutput("printf keep > '" + unix(L"out.avi") + "'");
    {
        shell::Win32File store;
        ASSERT_TRUE(store.open(path(L"long.avi"), true));
        avi::AviLayout layout;
        ASSERT_TRUE(avi::readAviLayout(store, layout));
        uint8_t b[4];
        riff::storeU32(b, layout.streams[0].dataChunks + 1);
        ASSERT_TRUE(store.Write(layout.streams[0].strh + avi::kStrhLength, b, 4));
    }
    run = tamsel("/delete long.avi /out out");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines,
              one(L"long.avi: long.avi; ビデオ ストリームは、ヘッダーが示す長さのデータが"
                  L"ないため保存できません。"));
    EXPECT_EQ(readFile(path(L"out.avi")), "keep");
    EXPECT_TRUE(temporary_files().empty()) << td::Narrow(joined(temporary_files()));
}

TEST_F(TamselOtherPrograms, KeyFramesAreCopiedFrameForFrame) {
    // ffmpeg marks its files AVIF_TRUSTCKTYPE. Its Microsoft Video 1 has no parser in
    // ffprobe, so ffprobe's flags are the index's, as a player seeking by it sees them.
    make(L"cram.avi", "-c:v msvideo1 -g 5 -c:a pcm_s16le");
    const std::string source = index_keys(L"infer_sample.avi");
    ASSERT_EQ(std::count(source.begin(), source.end(), 'K'), 32) << source;
    CommandRun run = tamsel("/delete infer_sample.avi /out del");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(index_keys(L"del.avi"), source);
    expect_same_stream(L"del.avi", 0, "v", 0, L"infer_sample.avi", 0);

    run = tamsel("/add cram.avi v1.avi /out cram2");
    EXPECT_EQ(run.status, 0);
    const std::string cram = key_frames(L"cram.avi");
    ASSERT_GT(std::count(cram.begin(), cram.end(), 'K'), 1) << cram;
    EXPECT_EQ(key_frames(L"cram2.avi"), cram);
    EXPECT_EQ(index_keys(L"cram2.avi"), index_keys(L"cram.avi"));
    expect_same_stream(L"cram2.avi", 0, "v", 0, L"cram.avi", 0);
    expect_same_stream(L"cram2.avi", 2, "a", 1, L"v1.avi", 0);
}

TEST_F(TamselOtherPrograms, TheVideoFormatRecordIsCopiedByteForByte) {
    // Lossless video whose record has biBitCount 0 and codec data after it.
    make(L"huff.avi", "-c:v ffvhuff -c:a pcm_s16le");
    CommandRun run = tamsel("/keep mediafileinfo_sample.avi /out info");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"mediafileinfo_sample.avi: info.avi"));
    ASSERT_EQ(probe(L"info.avi"), "video,audio");
    expect_same_stream(L"info.avi", 0, "v", 0, L"mediafileinfo_sample.avi", 0);
    expect_same_stream(L"info.avi", 1, "a", 0, L"mediafileinfo_sample.avi", 0);
    run = tamsel("/delete huff.avi /out huff2");
    EXPECT_EQ(run.status, 0);
    expect_same_stream(L"huff2.avi", 0, "v", 0, L"huff.avi", 0);
}
