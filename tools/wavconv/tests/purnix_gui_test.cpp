// PURNIX.EXE driven through its window under Wine. Inputs come from sox and ffmpeg, the
// written AVI files are judged by ffprobe and ffmpeg.
#include "common/owned.h"
#include "form1_ids.h"
#include "riff.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

using namespace wavconv;

namespace {

const wchar_t kSelect[] = L"WAVEファイルを選択してください。";
const wchar_t kRefused[] = L"WAVEファイルの形式が認識できません。";
const wchar_t kCannotOpen[] = L"AVIファイルをオープンできません。";
const wchar_t kCreated[] = L"AVIファイルを作成しました。";

// The little-endian 32-bit value at `at`.
uint32_t u32At(const std::string& bytes, size_t at) {
    return riff::loadU32(reinterpret_cast<const uint8_t*>(bytes.data()) + at);
}

// Data of the first chunk with this tag (a plain search: the test files are small and
// their tags do not occur in their sample data).
std::string chunkData(const std::string& file, const std::string& tag) {
    size_t at = file.find(tag);
    if (at == std::string::npos || at + 8 > file.size()) return {};
    return file.substr(at + 8, u32At(file, at + 4));
}

// What a folder holds: name -> bytes.
std::map<std::wstring, std::string> snapshot(const std::wstring& folder) {
    return td::folderContents(folder);
}

class Purnix : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = td::makeTempFolder(L"purnix");
        unix_ = td::unixPath(folder_);
    }
    void TearDown() override {
        app_.reset();
        td::removeTree(folder_);
    }

    // Runs a shell command in the test folder; its output, or a test failure.
    std::string sh(const std::string& command) {
        std::string out;
        int rc = td::runUnix("cd '" + unix_ + "' && " + command, &out, 60000);
        EXPECT_EQ(rc, 0) << command << "\n" << out;
        return out;
    }

    void start(const std::vector<std::wstring>& env = {}, const wchar_t* exe = L"PURNIX.EXE") {
        app_ = std::make_unique<td::App>(exe, folder_, env);
        form_ = app_->waitWindow(L"Purnix");
        ASSERT_TRUE(form_);
        file1_ = td::control(form_, shell::kIdFile1);
        text1_ = td::control(form_, kIdText1);
        text3_ = td::control(form_, kIdText3);
        command1_ = td::control(form_, kIdCommand1);
        ASSERT_TRUE(file1_ && text1_ && text3_ && command1_);
    }

    std::wstring path(const std::wstring& name) const { return td::join(folder_, name); }
    std::string fileBytes(const std::wstring& name) const {
        std::string b;
        td::readBytes(path(name), b);
        return b;
    }

    // Selects a file (unless name is empty), presses Convert and reads the message box,
    // which stays open: the caller looks at the files while it is up.
    td::Box clickConvert(const std::wstring& name) {
        if (!name.empty()) {
            EXPECT_TRUE(td::selectListItem(file1_, name)) << td::narrow(name);
            td::sync(form_);
        }
        EXPECT_TRUE(td::click(command1_));
        HWND box = app_->waitMessageBox(60000);
        EXPECT_TRUE(box);
        return box ? td::readBox(box) : td::Box{};
    }
    void closeBox(const td::Box& box) { EXPECT_TRUE(td::pressBoxButton(box.hwnd, IDOK)); }

    // Converts `wav` with `exe` and expects the warning `text` (or one that starts with it,
    // unless `whole`); the folder, an earlier output in it included, stays as it was.
    void expectKeptFolder(const wchar_t* exe, const std::wstring& wav, const std::wstring& text,
                          bool whole) {
        auto before = snapshot(folder_);
        start({}, exe);
        td::Box box = clickConvert(wav);
        EXPECT_EQ(whole ? box.text : box.text.substr(0, text.size()), text) << td::narrow(box.text);
        EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
        closeBox(box);
        app_.reset();
        EXPECT_TRUE(snapshot(folder_) == before);
    }

    // ffprobe's view of every stream: key=value lines.
    std::multimap<std::string, std::string> probeStreams(const std::string& avi) {
        std::string out = sh("ffprobe -v error -show_entries stream=codec_type,codec_name,"
                             "sample_rate,channels,sample_fmt:stream_tags=title -of "
                             "default=nw=1 '" +
                             avi + "'");
        std::multimap<std::string, std::string> values;
        size_t pos = 0;
        while (pos < out.size()) {
            size_t end = out.find('\n', pos);
            if (end == std::string::npos) end = out.size();
            std::string line = out.substr(pos, end - pos);
            size_t eq = line.find('=');
            if (eq != std::string::npos) values.emplace(line.substr(0, eq), line.substr(eq + 1));
            pos = end + 1;
        }
        return values;
    }
    static std::string one(const std::multimap<std::string, std::string>& m,
                           const std::string& key) {
        auto it = m.find(key);
        return it == m.end() ? "<none>" : it->second;
    }

    std::wstring folder_;
    std::string unix_;
    std::unique_ptr<td::App> app_;
    HWND form_ = nullptr, file1_ = nullptr, text1_ = nullptr, text3_ = nullptr, command1_ = nullptr;
};

struct Case {
    std::string name;  // file name without ".wav"
    std::string make;  // command writing name.wav
    std::string codec; // ffprobe codec_name
    std::string rate;  // ffprobe sample_rate
    std::string channels;
    std::string layout; // a chunk tag the input must hold before "data", or ""
};

TEST_F(Purnix, ConvertsEveryKindOfPcmFileExactly) {
    const std::vector<Case> cases = {
        {"s16", "sox -n -r 44100 -c 2 -b 16 s16.wav synth 0.5 sine 440 sine 660", "pcm_s16le",
         "44100", "2", ""},
        {"u8", "sox -n -r 11025 -c 1 -b 8 u8.wav synth 0.4 sine 300", "pcm_u8", "11025", "1", ""},
        // sox writes 24-bit as WAVE_FORMAT_EXTENSIBLE: a 40-byte format chunk.
        {"s24", "sox -n -r 48000 -c 2 -b 24 s24.wav synth 0.3 sine 500", "pcm_s24le", "48000", "2",
         ""},
        {"list",
         "ffmpeg -v error -f lavfi -i sine=f=440:d=0.5:sample_rate=22050 -metadata title=Lied "
         "-metadata artist=Someone list.wav",
         "pcm_s16le", "22050", "1", "LIST"},
        // bext of 602 + 3 bytes ("ab" and its NUL): an odd chunk with a pad byte before the data.
        {"odd",
         "ffmpeg -v error -f lavfi -i sine=d=0.3:sample_rate=8000 -write_bext 1 -metadata "
         "coding_history=ab odd.wav",
         "pcm_s16le", "8000", "1", "bext"},
    };
    for (const Case& c : cases)
        sh(c.make);
    // The inputs really have the structure each case is about.
    std::string list = fileBytes(L"list.wav"), odd = fileBytes(L"odd.wav");
    ASSERT_LT(list.find("LIST"), list.find("data"));
    ASSERT_NE(odd.find("bext"), std::string::npos);
    ASSERT_EQ(u32At(odd, odd.find("bext") + 4) % 2, 1u);
    ASSERT_EQ(u32At(fileBytes(L"s24.wav"), 16), 40u);

    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring wav = td::widen(c.name + ".wav"), avi = td::widen(c.name + ".avi");
        td::Box box = clickConvert(wav);
        EXPECT_EQ(box.text, kCreated);
        EXPECT_EQ(box.icon, 0);
        EXPECT_EQ(box.caption, L"Purnix");
        // Complete while the success message is up.
        auto probe = probeStreams(c.name + ".avi");
        EXPECT_EQ(probe.count("codec_type"), 1u);
        EXPECT_EQ(one(probe, "codec_type"), "audio");
        EXPECT_EQ(one(probe, "codec_name"), c.codec);
        EXPECT_EQ(one(probe, "sample_rate"), c.rate);
        EXPECT_EQ(one(probe, "channels"), c.channels);
        EXPECT_EQ(one(probe, "TAG:title"), c.name); // the name File1_Click proposed
        sh("sox '" + c.name + ".wav' -t raw '" + c.name + ".wav.raw' && ffmpeg -v error -y -i '" +
           c.name + ".avi' -map 0:a:0 -c copy -f data '" + c.name + ".avi.raw' && cmp '" + c.name +
           ".wav.raw' '" + c.name + ".avi.raw'");
        // The stream header tells the real number of blocks.
        std::string aviBytes = fileBytes(avi), strh = chunkData(aviBytes, "strh");
        ASSERT_GE(strh.size(), 48u);
        uint32_t blockAlign = u32At(strh, 44);
        ASSERT_GT(blockAlign, 0u);
        size_t rawSize = fileBytes(td::widen(c.name + ".wav.raw")).size();
        EXPECT_EQ(u32At(strh, 32), rawSize / blockAlign);
        EXPECT_EQ(u32At(strh, 20), blockAlign);
        EXPECT_EQ(u32At(strh, 28), 0u); // dwStart
        // The file ends with its RIFF chunk (the platform leaves zero bytes after it).
        EXPECT_EQ(aviBytes.size(), 8 + u32At(aviBytes, 4));
        closeBox(box);
    }
    // 16-bit stereo at 44100 Hz: the header values a reader computes with.
    std::string strh = chunkData(fileBytes(L"s16.avi"), "strh");
    EXPECT_EQ(u32At(strh, 20), 4u);
    EXPECT_EQ(u32At(strh, 24), 176400u);
    EXPECT_EQ(u32At(strh, 44), 4u);
    EXPECT_EQ(u32At(strh, 32), 22050u);
}

TEST_F(Purnix, NameUpToTheFirstDotAndExistingAviOverwritten) {
    sh("sox -n -r 22050 -c 1 -b 16 a.b.wav synth 0.2 sine 440 && echo old > a.avi");
    start();
    ASSERT_TRUE(td::selectListItem(file1_, L"a.b.wav"));
    EXPECT_TRUE(td::waitFor([&] { return td::text(text3_) == L"a"; }))
        << td::narrow(td::text(text3_));
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, kCreated);
    closeBox(box);
    auto probe = probeStreams("a.avi");
    EXPECT_EQ(one(probe, "codec_name"), "pcm_s16le");
    EXPECT_EQ(one(probe, "TAG:title"), "a");
    EXPECT_EQ(GetFileAttributesW(path(L"a.b.avi").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Purnix, NothingSelectedWarnsAndTouchesNoFile) {
    sh("sox -n -r 8000 -c 1 -b 8 x.wav synth 0.1 sine 440 && echo keep > x.avi");
    auto before = snapshot(folder_);
    start();
    ASSERT_EQ(td::listIndex(file1_), -1);
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, kSelect);
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    EXPECT_EQ(box.caption, L"Purnix");
    td::screenshot("purnix-select-warning");
    closeBox(box);
    EXPECT_EQ(snapshot(folder_), before);
}

TEST_F(Purnix, RefusedFilesWriteNothing) {
    // Text named .wav; a WAV cut inside its header (no data chunk); an 18-byte format
    // chunk whose cbSize announces 22 more bytes.
    sh("echo 'not a wave file' > text.wav && sox -n -r 8000 -c 1 -b 16 cut.wav synth 0.1 sine "
       "440 && head -c 40 cut.wav > nodata.wav && rm cut.wav && echo keep > nodata.avi");
    const unsigned char shortExt[] = {
        'R', 'I', 'F',  'F',  0x26, 0,   0,    0,    'W', 'A', 'V', 'E',  'f', 'm', 't', ' ', 18, 0,
        0,   0,   0xFE, 0xFF, 2,    0,   0x80, 0xBB, 0,   0,   0,   0x65, 4,   0,   6,   0,   24, 0,
        22,  0,   'd',  'a',  't',  'a', 6,    0,    0,   0,   1,   2,    3,   4,   5,   6};
    ASSERT_TRUE(
        td::writeBytes(path(L"shortext.wav"),
                       std::string(reinterpret_cast<const char*>(shortExt), sizeof shortExt)));
    auto before = snapshot(folder_);
    start();
    for (const wchar_t* name : {L"text.wav", L"nodata.wav", L"shortext.wav"}) {
        SCOPED_TRACE(td::narrow(name));
        td::Box box = clickConvert(name);
        EXPECT_EQ(box.text, kRefused);
        EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
        closeBox(box);
    }
    EXPECT_EQ(snapshot(folder_), before);
}

TEST_F(Purnix, WaveFileGoneSinceListedShowsTheSystemReason) {
    sh("sox -n -r 8000 -c 1 -b 16 gone.wav synth 0.1 sine 440");
    start();
    ASSERT_TRUE(td::selectListItem(file1_, L"gone.wav"));
    ASSERT_TRUE(DeleteFileW(path(L"gone.wav").c_str()));
    td::Box box = clickConvert(L"");
    const std::wstring lead = L"WAVEファイルを読み込めません。\r";
    EXPECT_EQ(box.text.substr(0, lead.size()), lead);
    EXPECT_GT(box.text.size(), lead.size()); // the system's text follows
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    closeBox(box);
    EXPECT_EQ(GetFileAttributesW(path(L"gone.avi").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Purnix, LongStreamNameIsCutSoTheFieldEndsInANul) {
    sh("sox -n -r 8000 -c 1 -b 16 n.wav synth 0.1 sine 440");
    start();
    ASSERT_TRUE(td::selectListItem(file1_, L"n.wav"));
    ASSERT_TRUE(td::waitFor([&] { return td::text(text3_) == L"n"; }));
    td::setText(text3_, std::wstring(100, L'x'));
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, kCreated);
    closeBox(box);
    std::string strn = chunkData(fileBytes(L"n.avi"), "strn");
    ASSERT_GE(strn.size(), 64u);
    EXPECT_EQ(strn.substr(0, 64), std::string(63, 'x') + '\0');
    EXPECT_EQ(one(probeStreams("n.avi"), "TAG:title"), std::string(63, 'x'));
}

TEST_F(Purnix, JapaneseStreamNameIsStoredInTheAnsiCodePageAndCutBetweenCharacters) {
    sh("sox -n -r 8000 -c 1 -b 16 j.wav synth 0.1 sine 440");
    start({L"LC_ALL=ja_JP.UTF-8"});
    ASSERT_TRUE(td::selectListItem(file1_, L"j.wav"));
    ASSERT_TRUE(td::waitFor([&] { return td::text(text3_) == L"j"; }));
    // 40 two-byte characters: 80 bytes in Shift-JIS; 31 of them fit before the NUL.
    td::setText(text3_, std::wstring(40, L'\u97F3'));
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, kCreated);
    td::screenshot("purnix-created");
    closeBox(box);
    std::string strn = chunkData(fileBytes(L"j.avi"), "strn");
    std::string sjis;
    for (int i = 0; i < 31; i++)
        sjis += "\x89\xb9";
    ASSERT_GE(strn.size(), 63u);
    EXPECT_EQ(strn.substr(0, 63), sjis + '\0');
}

TEST_F(Purnix, UnderTheUtf8CodePageNamesConvertAndLongStreamNamesAreCutBetweenCharacters) {
    // Windows set to use UTF-8 as its ANSI code page; under Wine a locale without a code
    // page of its own gives that.
    sh("sox -n -r 8000 -c 1 -b 16 '音声.wav' synth 0.1 sine 440 && cp '音声.wav' 'Ō.wav' && "
       "cp '音声.wav' long.wav");
    start({L"LC_ALL=hi_IN.UTF-8"});
    for (const wchar_t* name : {L"音声", L"Ō"}) {
        SCOPED_TRACE(td::narrow(name));
        td::Box box = clickConvert(name + std::wstring(L".wav"));
        EXPECT_EQ(box.text, kCreated);
        closeBox(box);
        // The stream name in the code page: UTF-8.
        std::string strn = chunkData(fileBytes(name + std::wstring(L".avi")), "strn");
        EXPECT_EQ(strn.substr(0, strn.find('\0')), td::narrow(name));
    }
    ASSERT_TRUE(td::selectListItem(file1_, L"long.wav"));
    ASSERT_TRUE(td::waitFor([&] { return td::text(text3_) == L"long"; }));
    // 70 characters, 208 bytes: 7 for the first three, then three bytes each. 21 of them
    // take 61 bytes; 63 would end inside the 22nd.
    const std::wstring name = L"第1話" + std::wstring(67, L'\u97F3');
    td::setText(text3_, name);
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, kCreated);
    closeBox(box);
    std::string strn = chunkData(fileBytes(L"long.avi"), "strn");
    const std::string kept = td::narrow(name.substr(0, 21));
    ASSERT_EQ(kept.size(), 61u);
    ASSERT_GE(strn.size(), 62u);
    EXPECT_EQ(strn.substr(0, 62), kept + '\0');
    EXPECT_EQ(one(probeStreams("long.avi"), "TAG:title"), kept);
}

TEST_F(Purnix, InterruptedRecordingConvertsTheBytesThatAreThere) {
    // The header still declares the full length; 1001 bytes are gone from the end.
    sh("sox -n -r 8000 -c 2 -b 16 rec.wav synth 0.5 sine 440 && truncate -s -1001 rec.wav");
    std::string wav = fileBytes(L"rec.wav");
    ASSERT_EQ(wav.substr(36, 4), "data");
    ASSERT_GT(u32At(wav, 40), wav.size() - 44);
    start();
    td::Box box = clickConvert(L"rec.wav");
    EXPECT_EQ(box.text, kCreated);
    closeBox(box);
    // Every byte: the last 3 are a partial block of 4, filled up with a zero byte.
    ASSERT_EQ((wav.size() - 44) % 4, 3u);
    sh("ffmpeg -v error -y -i rec.avi -map 0:a:0 -c copy -f data rec.avi.raw && { tail -c +45 "
       "rec.wav; printf '\\0'; } > rec.wav.raw && cmp rec.wav.raw rec.avi.raw");
    std::string strh = chunkData(fileBytes(L"rec.avi"), "strh");
    ASSERT_GE(strh.size(), 48u);
    EXPECT_EQ(u32At(strh, 32), (wav.size() - 44) / 4 + 1);
}

TEST_F(Purnix, AFileThatCannotBeFinishedIsRemovedWithTheReasonInJapanese) {
    // The platform stores a double-byte stream name by characters (8 bytes for these 13).
    // A 1838-byte format leaves 2 bytes of padding after the header list, too little to put
    // the name back. An earlier output of that name stays as it was.
    auto le32 = [](uint32_t v) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; i++)
            b[i] = char(v >> (8 * i));
        return b;
    };
    const uint32_t formatBytes = 1838;
    // Extensible, mono, 8000 Hz, 16000 bytes/s, blocks of 2, 16 bits, cbSize 1820.
    const unsigned char record[18] = {0xFE, 0xFF, 1, 0, 0x40, 0x1F, 0, 0,    0x80,
                                      0x3E, 0,    0, 2, 0,    16,   0, 0x1C, 0x07};
    std::string body = "WAVEfmt " + le32(formatBytes) +
                       std::string(reinterpret_cast<const char*>(record), sizeof record) +
                       std::string(formatBytes - 18, '\x11') + "data" + le32(400) +
                       std::string(400, '\x22');
    ASSERT_TRUE(td::writeBytes(path(L"wide.wav"), "RIFF" + le32(uint32_t(body.size())) + body));
    ASSERT_TRUE(td::writeBytes(path(L"wide.avi"), "old"));
    auto before = snapshot(folder_);
    start({L"LC_ALL=ja_JP.UTF-8"});
    ASSERT_TRUE(td::selectListItem(file1_, L"wide.wav"));
    td::sync(form_);
    td::setText(text3_, L"音音音音音ab");
    td::sync(form_);
    td::Box box = clickConvert(L"");
    EXPECT_EQ(box.text, L"AVIファイルを書き込めません。\rヘッダーを書き直す領域が足りません。");
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    td::screenshot("purnix-cannot-finish");
    closeBox(box);
    EXPECT_TRUE(snapshot(folder_) == before); // the unfinished file is removed
}

// The later failures, each with an earlier output of the name: it stays byte for byte and
// the folder holds what it held.
TEST_F(Purnix, AnOutputHeldWithoutDeleteSharingIsKeptWhole) {
    sh("sox -n -r 8000 -c 1 -b 16 h.wav synth 0.1 sine 440 && echo old > h.avi");
    common::UniqueFile held(CreateFileW(path(L"h.avi").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    expectKeptFolder(L"PURNIX.EXE", L"h.wav", kCannotOpen + std::wstring(L"\r"), false);
    held.reset();
}

TEST_F(Purnix, AFullDiskKeepsAnExistingOutputWhole) {
    std::wstring small = td::smallDiskFolder(L"purnix");
    if (small.empty()) GTEST_SKIP() << "no small file system: ./run test mounts one";
    td::removeTree(folder_);
    folder_ = small;
    unix_ = td::unixPath(folder_);
    // About 530 KB of samples, with 128 KB left on the disk.
    sh("sox -n -r 44100 -c 2 -b 16 big.wav synth 3 sine 440 && echo old > big.avi");
    ASSERT_TRUE(td::fillDisk(folder_, 128 * 1024));
    expectKeptFolder(L"PURNIX.EXE", L"big.wav", L"AVIファイルを書き込めません。\r", false);
}

TEST_F(Purnix, AFixUpThatFailsKeepsAnExistingOutputWhole) {
    // A test build whose corrections change the written file and then fail.
    sh("sox -n -r 8000 -c 1 -b 16 f.wav synth 0.1 sine 440 && echo old > f.avi");
    expectKeptFolder(L"PURNIX_FIXUP_FAILS.exe", L"f.wav",
                     L"AVIファイルを書き込めません。\rAVIファイルを修正できません。", true);
}

TEST_F(Purnix, OutputThatCannotBeCreatedOrIsTheSourceIsRefused) {
    // w.avi is a folder; s.avi is a WAV file that would be its own output.
    sh("sox -n -r 8000 -c 1 -b 16 w.wav synth 0.1 sine 440 && mkdir w.avi && cp w.wav s.avi");
    auto before = snapshot(folder_);
    start();
    td::Box box = clickConvert(L"w.wav");
    EXPECT_EQ(box.text.substr(0, wcslen(kCannotOpen)), kCannotOpen);
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    closeBox(box);
    td::setText(text1_, L"*.avi");
    td::sync(form_);
    box = clickConvert(L"s.avi");
    EXPECT_EQ(box.text.substr(0, wcslen(kCannotOpen)), kCannotOpen);
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    closeBox(box);
    EXPECT_EQ(snapshot(folder_), before);
}

TEST_F(Purnix, ANameWithoutAnExactAnsiFormIsRefusedAndItsBestFitTwinKept) {
    // "O" is the best-fit ANSI form of "\u014C" here: an ANSI copy of the output name
    // would overwrite O.avi.
    char ansi[8] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u014C", -1, ansi, sizeof ansi, nullptr, nullptr);
    ASSERT_STREQ(ansi, "O");
    sh("sox -n -r 8000 -c 1 -b 16 '\xc5\x8c.wav' synth 0.1 sine 440 && echo keep > O.avi");
    auto before = snapshot(folder_);
    start();
    td::Box box = clickConvert(L"\u014C.wav");
    EXPECT_EQ(box.text, std::wstring(kCannotOpen) + L"\rファイル名に使えない文字があります。");
    EXPECT_EQ(box.icon, MB_ICONEXCLAMATION);
    closeBox(box);
    EXPECT_EQ(snapshot(folder_), before);
}

TEST_F(Purnix, PatternFollowsEveryKeystrokeAndBadPatternsChangeNothing) {
    sh("sox -n -r 8000 -c 1 -b 8 x.wav synth 0.1 sine 440 && echo y > y.txt && echo z > z.txt");
    start();
    using L = std::vector<std::wstring>;
    auto listShows = [&](const L& want) {
        return td::waitFor([&] { return td::listItems(file1_) == want; });
    };
    EXPECT_TRUE(listShows(L{L"x.wav"}));
    td::setText(text1_, L"");
    EXPECT_TRUE(listShows(L{L"x.wav", L"y.txt", L"z.txt"})); // no pattern: every file
    td::typeChars(text1_, L"*.t");
    EXPECT_TRUE(listShows(L{}));
    td::typeChars(text1_, L"xt");
    EXPECT_TRUE(listShows(L{L"y.txt", L"z.txt"}));
    td::typeChars(text1_, L"|");
    ASSERT_TRUE(td::waitFor([&] { return td::text(text1_) == L"*.txt|"; }));
    td::sync(form_);
    EXPECT_EQ(td::listItems(file1_), (L{L"y.txt", L"z.txt"}));
    EXPECT_TRUE(app_->noMessageBox());
}

TEST_F(Purnix, WindowLayoutTabOrderAndStartState) {
    sh("sox -n -r 8000 -c 1 -b 8 x.wav synth 0.1 sine 440 && echo y > y.txt");
    start({L"LC_ALL=ja_JP.UTF-8"});
    RECT client = td::clientRect(form_);
    EXPECT_EQ(client.right - client.left, shell::twipsToPixelsX(6075));
    EXPECT_EQ(client.bottom - client.top, shell::twipsToPixelsY(4140));

    struct Place {
        int id;
        const wchar_t* text;
        int left, top, width, height;
    };
    const Place places[] = {
        {kIdLabel1, L"Dri&ve:", 60, 60, 435, 180},
        {shell::kIdDrive1, nullptr, 60, 300, 2475, -1}, // a drop-down sets its own height
        {kIdLabel2, L"&Directory/Folder:", 60, 720, 1305, 180},
        {shell::kIdDir1, nullptr, 60, 960, 2475, 1980},
        {kIdLabel3, L"File &pattern:", 60, 3000, 915, 180},
        {kIdText1, L"*.wav", 60, 3240, 2475, 315},
        {kIdLabel4, L"&Wave file:", 2700, 60, 735, 180},
        {shell::kIdFile1, nullptr, 2640, 300, 3375, 2610},
        {kIdLabel6, L"Stream &name:", 2640, 3000, 1035, 180},
        {kIdText3, L"", 2640, 3240, 3375, 315},
        {kIdCommand1, L"&Convert Wave file into AVI file", 2640, 3660, 3375, 375},
    };
    std::vector<int> expectedOrder, order;
    for (const Place& p : places) {
        SCOPED_TRACE(p.id);
        expectedOrder.push_back(p.id);
        HWND h = td::control(form_, p.id);
        ASSERT_TRUE(h);
        if (p.text) {
            EXPECT_EQ(td::text(h), p.text);
        }
        RECT r = td::rectInParent(h);
        EXPECT_NEAR(r.left, shell::twipsToPixelsX(p.left), 1);
        EXPECT_NEAR(r.top, shell::twipsToPixelsY(p.top), 1);
        if (td::classOf(h) == L"Static") {
            // Labels grow to fit the Japanese font, never shrink.
            EXPECT_GE(r.right - r.left, shell::twipsToPixelsX(p.width) - 1);
        } else {
            EXPECT_NEAR(r.right - r.left, shell::twipsToPixelsX(p.width), 1);
        }
        if (p.height > 0 && td::classOf(h) != L"Static") {
            EXPECT_NEAR(r.bottom - r.top, shell::twipsToPixelsY(p.height), 1);
        }
    }
    // Tab order is the order of the child windows.
    for (HWND h = GetWindow(form_, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(h));
    EXPECT_EQ(order, expectedOrder);
    EXPECT_EQ(td::listItems(file1_), std::vector<std::wstring>{L"x.wav"});
    EXPECT_EQ(td::listIndex(file1_), -1);
    EXPECT_TRUE(td::enabled(command1_));
    td::selectListItem(file1_, L"x.wav");
    EXPECT_TRUE(td::waitFor([&] { return td::text(text3_) == L"x"; }));
    td::screenshot("purnix-window");
}

TEST_F(Purnix, HelpAboutAndClosingEndsTheProgram) {
    td::copyBeside(L"PURNIX.TXT", folder_);
    start({L"LC_ALL=ja_JP.UTF-8"});
    td::chooseMenu(form_, shell::kIdMenuAbout);
    HWND about = app_->waitMessageBox();
    ASSERT_TRUE(about);
    td::Box b = td::readBox(about);
    EXPECT_EQ(b.caption, L"ﾊﾞｰｼﾞｮﾝ情報"); // half-width, unlike TAMSEL's
    EXPECT_EQ(b.icon, MB_ICONINFORMATION);
    EXPECT_EQ(std::count(b.text.begin(), b.text.end(), L'\r'), 3);
    EXPECT_EQ(b.text.substr(0, 11), L"PURNIX.EXE\r");
    td::screenshot("purnix-about");
    EXPECT_TRUE(td::pressBoxButton(about, IDOK));

    td::chooseMenu(form_, shell::kIdMenuHelp);
    HWND help = app_->waitWindow(L"Purnix の使い方");
    ASSERT_TRUE(help);
    HWND text = td::controlByClass(help, L"Edit");
    ASSERT_TRUE(text);
    EXPECT_EQ(td::text(text).substr(0, 11), L"Purnix の使い方");
    td::screenshot("purnix-help");
    // Closing the main window closes the viewer, and the program ends.
    td::close(form_);
    DWORD code = 1;
    EXPECT_TRUE(app_->waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace
