// PURNIX.EXE run with arguments under Wine, as a build script runs it: its result lines
// through a file, a pipe, a console (a pseudo-terminal) and a message box, its exit status,
// and the AVI files judged by ffprobe and ffmpeg. The Japanese lines are read under the
// Japanese code page.
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <vfw.h>

#include <cstring>
#include <map>

namespace {

const char kJapanese[] = "LC_ALL=ja_JP.UTF-8";
const std::wstring kMadeEarlier =
    L"同じ名前のAVIファイルをこの実行で先に作成したため、変換しませんでした。";

struct Outcome {
    int status = -1;
    std::vector<std::wstring> lines;
};

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        while (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (!line.empty()) lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

class PurnixCommandLine : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = td::makeTempFolder(L"purnix-cli");
        unix_ = td::unixPath(folder_);
        exe_ = td::unixPath(td::join(td::exeFolder(), L"PURNIX.EXE"));
    }
    void TearDown() override { td::removeTree(folder_); }

    std::string sh(const std::string& command) {
        std::string out;
        int rc = td::runUnix("cd '" + unix_ + "' && " + command, &out, 60000);
        EXPECT_EQ(rc, 0) << command << "\n" << out;
        return out;
    }

    // Runs PURNIX in the test folder under the Japanese code page, its standard output a
    // pipe or a file; the status comes last on the same channel.
    Outcome purnix(const std::string& args, bool pipe) {
        std::string wine = "env " + std::string(kJapanese) + " wine '" + exe_ + "' " + args;
        std::string command = pipe ? "{ " + wine + " 2>/dev/null; echo \"rc=$?\"; } | cat"
                                   : wine + " > log.txt 2>/dev/null; echo \"rc=$?\"; cat log.txt";
        std::string out = sh(command);
        return parse(td::widen(out, 932));
    }

    static Outcome parse(const std::wstring& text) {
        Outcome run;
        for (const std::wstring& line : splitLines(text)) {
            if (line.compare(0, 3, L"rc=") == 0)
                run.status = _wtoi(line.c_str() + 3);
            else
                run.lines.push_back(line);
        }
        return run;
    }

    std::string fileBytes(const std::wstring& name) const {
        std::string b;
        td::readBytes(td::join(folder_, name), b);
        return b;
    }
    bool exists(const std::wstring& name) const {
        return GetFileAttributesW(td::join(folder_, name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // ffprobe's codec, rate and title of the first stream, and how many streams there are.
    std::string probe(const std::string& avi) {
        return sh("ffprobe -v error -show_entries stream=codec_name,sample_rate:stream_tags=title "
                  "-of csv=p=0 '" +
                  avi + "'");
    }
    // The stream name field of the AVI file, up to its NUL.
    std::string streamName(const std::wstring& avi) {
        std::string b = fileBytes(avi);
        size_t at = b.find("strn");
        if (at == std::string::npos) return "<none>";
        return std::string(b.c_str() + at + 8);
    }

    std::vector<std::wstring> fileNames() const {
        std::vector<std::wstring> names;
        for (const auto& f : td::folderContents(folder_))
            names.push_back(f.first);
        return names;
    }

    std::wstring folder_;
    std::string unix_, exe_;
};

TEST_F(PurnixCommandLine, ARefusedFileInTheMiddleStopsAndDamagesNothingElse) {
    sh("sox -n -r 44100 -c 2 -b 16 a.wav synth 0.3 sine 440 && echo 'not a wave' > bad.wav && "
       "sox -n -r 11025 -c 1 -b 8 c.wav synth 0.2 sine 300");
    Outcome run = purnix("a.wav bad.wav c.wav", true);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines, (std::vector<std::wstring>{
                             L"a.wav: a.avi", L"bad.wav: WAVEファイルの形式が認識できません。",
                             L"c.wav: c.avi"}));
    EXPECT_EQ(probe("a.avi"), "pcm_s16le,44100,a\n");
    EXPECT_EQ(probe("c.avi"), "pcm_u8,11025,c\n");
    sh("sox a.wav -t raw a.wav.raw && ffmpeg -v error -i a.avi -map 0:a:0 -c copy -f data "
       "a.avi.raw && cmp a.wav.raw a.avi.raw && rm a.wav.raw a.avi.raw");
    // Nothing for the refused file, no temporary file left.
    EXPECT_EQ(fileNames(),
              (std::vector<std::wstring>{L"a.avi", L"a.wav", L"bad.wav", L"c.avi", L"c.wav"}));
}

TEST_F(PurnixCommandLine, QuotedWildcardsExpandInNameOrderAndASecondTakeIsRefused) {
    sh("mkdir sub && sox -n -r 8000 -c 1 -b 16 sub/c.wav synth 0.1 sine 440 && cp sub/c.wav "
       "sub/B.wav && cp sub/c.wav sub/a.wav && echo x > sub/notes.txt && mkdir sub/d.wav && "
       "sox -n -r 8000 -c 1 -b 16 take.1.wav synth 0.1 sine 440 && sox -n -r 11025 -c 1 -b 16 "
       "take.2.wav synth 0.1 sine 440");
    // Quoted: the Unix shell leaves the patterns to PURNIX. The output goes to a file.
    Outcome run = purnix("'sub\\*.wav' 'take.?.wav' 'none*.wav'", false);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines,
              (std::vector<std::wstring>{L"sub\\a.wav: sub\\a.avi", L"sub\\B.wav: sub\\B.avi",
                                         L"sub\\c.wav: sub\\c.avi", L"take.1.wav: take.avi",
                                         L"take.2.wav: " + kMadeEarlier,
                                         L"none*.wav: 該当するファイルが見つかりません。"}));
    // The first take's output stays.
    EXPECT_EQ(probe("take.avi"), "pcm_s16le,8000,take\n");
    EXPECT_EQ(probe("sub/B.avi"), "pcm_s16le,8000,B\n");
}

TEST_F(PurnixCommandLine, AWildcardTakesLongNamesOnlyAndAnUnsearchableFolderSaysWhy) {
    // Their 8.3 aliases (MUSIC~xx.WAV, TAKEWA~x.WAV) end in .WAV: the system's search finds
    // them for "*.wav".
    sh("sox -n -r 8000 -c 1 -b 16 a.wav synth 0.1 sine 440 && cp a.wav music.wave && "
       "cp a.wav take.wav_backup && ffmpeg -v error -f lavfi -i testsrc=size=32x24:rate=5 "
       "-t 0.4 -c:v rawvideo -pix_fmt bgr24 music.avi");
    const std::string video = fileBytes(L"music.avi");
    ASSERT_GT(video.size(), 1000u);
    Outcome run = purnix("'*.wav'", true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, std::vector<std::wstring>{L"a.wav: a.avi"});
    EXPECT_TRUE(fileBytes(L"music.avi") == video);

    // A missing folder is not "no matching file": the system's reason, nothing converted.
    Outcome missing = purnix("'nowhere\\*.wav'", true);
    EXPECT_EQ(missing.status, 1);
    ASSERT_EQ(missing.lines.size(), 1u);
    const std::wstring lead = L"nowhere\\*.wav: ";
    EXPECT_EQ(missing.lines[0].substr(0, lead.size()), lead);
    EXPECT_GT(missing.lines[0].size(), lead.size());
    EXPECT_EQ(missing.lines[0].find(L"該当するファイルが見つかりません。"), std::wstring::npos);
}

TEST_F(PurnixCommandLine, AReadOnlyAviIsRefusedBeforeAnythingIsWritten) {
    sh("sox -n -r 8000 -c 1 -b 16 a.wav synth 0.1 sine 440 && echo keep > a.avi");
    const std::wstring avi = td::join(folder_, L"a.avi");
    ASSERT_TRUE(SetFileAttributesW(avi.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesW(avi.c_str());
    ASSERT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    // A temporary file made and removed in the folder would change its time.
    const std::string folderTime = sh("stat -c %y .");
    Outcome run = purnix("a.wav", true);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    const std::wstring lead = L"a.wav: AVIファイルをオープンできません。; ";
    EXPECT_EQ(run.lines[0].substr(0, lead.size()), lead);
    EXPECT_GT(run.lines[0].size(), lead.size()); // the system's reason
    EXPECT_EQ(fileBytes(L"a.avi"), "keep\n");
    EXPECT_EQ(GetFileAttributesW(avi.c_str()), attributes);
    EXPECT_EQ(fileNames(), (std::vector<std::wstring>{L"a.avi", L"a.wav"}));
    EXPECT_EQ(sh("stat -c %y ."), folderTime);
}

TEST_F(PurnixCommandLine, NameGivesEveryFileItsStreamName) {
    sh("sox -n -r 8000 -c 1 -b 16 one.wav synth 0.1 sine 440 && cp one.wav two.wav");
    Outcome run = purnix("/NAME 'ナレーション 1' one.wav two.wav", true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::wstring>{L"one.wav: one.avi", L"two.wav: two.avi"}));
    // In the ANSI code page, as the window writes it.
    const std::string sjis = td::narrow(L"ナレーション 1", 932);
    EXPECT_EQ(streamName(L"one.avi"), sjis);
    EXPECT_EQ(streamName(L"two.avi"), sjis);
}

uint32_t u32At(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4); // little-endian, as the files
    return v;
}

// The bytes of a WAV file's "data" chunk that the file holds, and its block alignment.
std::string waveData(const std::string& wav, uint32_t* blockAlign) {
    *blockAlign = u32At(wav, 32) & 0xFFFF;
    for (size_t at = 12; at + 8 <= wav.size(); at += 8 + (u32At(wav, at + 4) + 1) / 2 * 2)
        if (wav.compare(at, 4, "data") == 0) return wav.substr(at + 8, u32At(wav, at + 4));
    return "<no data chunk>";
}

// How many bytes the platform's own reader gives of the file's audio stream, -1 when it
// fails. Its reader ends the process when the header promises a partial block.
long readThroughAviFile(const std::wstring& avi) {
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    LONG bytes = -1;
    if (AVIStreamOpenFromFileW(&stream, avi.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr) == 0) {
        std::vector<char> buffer(1 << 20);
        if (AVIStreamRead(stream, 0, AVIStreamLength(stream), buffer.data(), LONG(buffer.size()),
                          &bytes, nullptr) != 0)
            bytes = -1;
        AVIStreamRelease(stream);
    }
    AVIFileExit();
    return bytes;
}

TEST_F(PurnixCommandLine, EveryByteOfTheDataIsKeptAndAnEmptyDataChunkIsRefused) {
    // Data that ends inside a block: MP3 in WAV (blocks of 1152 that its frames do not
    // follow), IMA ADPCM cut in a block and in its first block; files other programs wrote:
    // MP3 again, and a data chunk of 0 bytes.
    sh("cp '" QUILLON_MEDIA_DIR "/tinytag_mp3_audio.wav' '" QUILLON_MEDIA_DIR
       "/small_wav.wav' . && chmod u+w *.wav && "
       "ffmpeg -v error -f lavfi -i sine=f=440:d=0.7 -c:a libmp3lame -b:a 48k -f wav mp3.wav && "
       "ffmpeg -v error -f lavfi -i sine=d=0.5 -ac 2 -c:a adpcm_ima_wav ima.wav && "
       "head -c 600 ima.wav > short.wav && truncate -s -300 ima.wav");
    Outcome run = purnix("tinytag_mp3_audio.wav mp3.wav ima.wav short.wav small_wav.wav", true);
    EXPECT_EQ(run.lines, (std::vector<std::wstring>{
                             L"tinytag_mp3_audio.wav: tinytag_mp3_audio.avi", L"mp3.wav: mp3.avi",
                             L"ima.wav: ima.avi", L"short.wav: short.avi",
                             L"small_wav.wav: WAVEファイルの形式が認識できません。; "
                             L"音声データがありません。"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(exists(L"small_wav.avi"));
    for (const char* name : {"tinytag_mp3_audio", "mp3", "ima", "short"}) {
        SCOPED_TRACE(name);
        const std::wstring wide = td::widen(name);
        uint32_t blockAlign = 0;
        std::string data = waveData(fileBytes(wide + L".wav"), &blockAlign);
        ASSERT_GT(blockAlign, 0u);
        ASSERT_NE(data.size() % blockAlign, 0u);
        // Every byte, then zeros to the end of the block.
        data.resize((data.size() / blockAlign + 1) * blockAlign, '\0');
        sh(std::string("ffmpeg -v quiet -i ") + name + ".avi -map 0:a:0 -c:a copy -f data " + name +
           ".raw");
        const std::string raw = fileBytes(wide + L".raw");
        EXPECT_TRUE(raw == data) << raw.size() << " bytes, " << data.size() << " expected";
        const std::string avi = fileBytes(wide + L".avi");
        EXPECT_EQ(u32At(avi, avi.find("strh") + 8 + 32), data.size() / blockAlign); // dwLength
        EXPECT_EQ(readThroughAviFile(td::join(folder_, wide + L".avi")), long(data.size()));
    }
}

TEST_F(PurnixCommandLine, HelpAndUsageErrors) {
    sh("sox -n -r 8000 -c 1 -b 16 a.wav synth 0.1 sine 440");
    Outcome help = purnix("/?", true);
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.lines.empty());
    EXPECT_EQ(help.lines[0], L"使い方: PURNIX.EXE [/name ストリーム名] WAVEファイル...");
    const size_t usage = help.lines.size();
    struct Case {
        std::string args;
        std::wstring first;
    };
    // Without any argument the window opens (every window test starts it so).
    for (const Case& c : std::vector<Case>{{"/name x", L"変換するファイルが指定されていません。"},
                                           {"a.wav /x", L"/x: 不明なスイッチです。"},
                                           {"a.wav /name", L"/name: 名前が指定されていません。"}}) {
        SCOPED_TRACE(c.args);
        Outcome run = purnix(c.args, false);
        EXPECT_EQ(run.status, 2);
        ASSERT_EQ(run.lines.size(), usage + 1);
        EXPECT_EQ(run.lines[0], c.first);
        EXPECT_EQ(run.lines[1], help.lines[0]);
    }
    EXPECT_FALSE(exists(L"a.avi"));
}

TEST_F(PurnixCommandLine, OnAConsoleJapaneseShowsWhateverTheCodePage) {
    // A pseudo-terminal: Wine gives the program a console there. The lines arrive as the
    // terminal's UTF-8 although the ANSI code page is Shift-JIS, so they went through the
    // console, not as ANSI bytes. (AttachConsole to a parent's console always fails under
    // Wine: that path cannot be observed here.)
    sh("sox -n -r 8000 -c 1 -b 16 '音声.wav' synth 0.1 sine 440 && cp '音声.wav' 'Ō.wav' && "
       "echo keep > O.avi");
    std::string out = sh("script -qec \"env " + std::string(kJapanese) + " wine '" + exe_ +
                         "' '音声.wav' 'Ō.wav' 2>/dev/null; echo rc=\\$?\" /dev/null < /dev/null");
    std::wstring text = td::widen(out);
    EXPECT_NE(text.find(L"音声.wav: 音声.avi\r"), std::wstring::npos) << out;
    EXPECT_NE(text.find(L"Ō.wav: AVIファイルをオープンできません。; "
                        L"ファイル名に使えない文字があります。\r"),
              std::wstring::npos)
        << out;
    EXPECT_NE(text.find(L"rc=1"), std::wstring::npos) << out;
    EXPECT_EQ(streamName(L"音声.avi"), td::narrow(L"音声", 932));
    EXPECT_EQ(fileBytes(L"O.avi"), "keep\n");
    EXPECT_FALSE(exists(L"Ō.avi"));
}

TEST_F(PurnixCommandLine, WithoutStandardOutputOrConsoleOneMessageBoxSumsUpTheLines) {
    // As from a file dropped on the program: no standard handles and no console. (Started
    // from Unix with its descriptors closed, Wine hands the program whatever file took their
    // numbers.) The box shows wide text whatever the code page.
    sh("sox -n -r 8000 -c 1 -b 16 a.wav synth 0.1 sine 440");
    td::App app(L"PURNIX.EXE", folder_, {}, {}, L"a.wav gone.wav", DETACHED_PROCESS);
    HWND box = app.waitMessageBox(30000);
    ASSERT_TRUE(box);
    // The icon is read from the screen: a window of a test running beside this one may
    // cover the box for a moment.
    td::Box b;
    td::waitFor([&] { return (b = td::readBox(box)).icon == MB_ICONEXCLAMATION; }, 10000);
    EXPECT_EQ(b.caption, L"Purnix");
    EXPECT_EQ(b.icon, MB_ICONEXCLAMATION);
    const std::wstring lead = L"a.wav: a.avi\rgone.wav: WAVEファイルを読み込めません。; ";
    EXPECT_EQ(b.text.substr(0, lead.size()), lead) << td::narrow(b.text);
    EXPECT_EQ(b.text.find(L'\r', lead.size()), std::wstring::npos); // one line a file
    EXPECT_EQ(app.topWindows().size(), 1u);                         // no window but the box
    td::pressBoxButton(box, IDOK);
    DWORD code = 0;
    EXPECT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(exists(L"a.avi"));
}

TEST_F(PurnixCommandLine, InAWindowStationNobodySeesTheRunEndsWithoutABox) {
    // As under a scheduled task that runs whether the user is logged on or not: a window
    // station of its own, not visible, and no standard handles or console.
    sh("sox -n -r 8000 -c 1 -b 16 a.wav synth 0.1 sine 440");
    const std::wstring name = L"QuillonTest" + std::to_wstring(GetCurrentProcessId());
    HWINSTA station = CreateWindowStationW(name.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    USEROBJECTFLAGS flags = {};
    ASSERT_TRUE(GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr));
    EXPECT_EQ(flags.dwFlags & WSF_VISIBLE, 0u);
    HWINSTA own = GetProcessWindowStation();
    SetProcessWindowStation(station);
    HDESK desktop = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    SetProcessWindowStation(own);
    ASSERT_TRUE(desktop);
    std::wstring where = name + L"\\Default";
    std::wstring line = L"\"" + td::join(td::exeFolder(), L"PURNIX.EXE") + L"\" a.wav gone.wav";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.lpDesktop = &where[0];
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS,
                               nullptr, folder_.c_str(), &si, &pi));
    DWORD code = 0;
    // A box there could never be closed: the run would last until it is killed.
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, td::patience(30000)), WAIT_OBJECT_0);
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(exists(L"a.avi"));
    for (HANDLE h : {pi.hThread, pi.hProcess})
        CloseHandle(h);
    CloseDesktop(desktop);
    CloseWindowStation(station);
}

} // namespace
