#include "tamsel_test_support.h"

#include <algorithm>
#include <sstream>

#include "form1_ids.h"
#include "riff.h"
#include "shell/shell.h"
#include "shell/win_file.h"

namespace tamsel_test {

const wchar_t kSameName[] = L"保存ファイル名が変換元ファイル名と同じです。";
const wchar_t kNotCreated[] = L"圧縮ファイルは作成できませんでした。";
const char kJapanese[] = "LC_ALL=ja_JP.UTF-8";

std::string unixOutput(const std::string& command) {
    std::string out;
    td::runUnix(command, &out, 60000);
    return out;
}

std::string readFile(const std::wstring& path) {
    std::string bytes;
    td::readBytes(path, bytes);
    return bytes;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

std::wstring joined(const std::vector<std::wstring>& items) {
    std::wstring all;
    for (const auto& item : items)
        all += item + L"\n";
    return all;
}

bool missingFolderReason(const std::wstring& text, LANGID language) {
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

uint64_t bytesAfterRiff(const std::wstring& path) {
    std::string bytes = readFile(path);
    if (bytes.size() < 8) return bytes.size();
    uint64_t end = 8 + uint64_t(riff::loadU32(reinterpret_cast<const uint8_t*>(&bytes[4])));
    return bytes.size() - std::min<uint64_t>(end + (end & 1), bytes.size());
}

void rewriteFirstAudio(const std::wstring& path,
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
    FAIL() << "no audio stream in " << td::narrow(path);
}

std::string texts(const Outcome& run) {
    std::string all;
    for (const auto& box : run.messages)
        all += td::narrow(box.text) + "\n";
    return all;
}

CommandRun parseCommandRun(const std::string& bytes) {
    CommandRun run;
    std::wistringstream lines(td::widen(bytes, 932));
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

namespace {

// A stream's header and format records as stored in the file.
struct StreamRecords {
    uint32_t type = 0;
    std::string strh, strf;
    uint32_t u32(size_t at) const {
        return riff::loadU32(reinterpret_cast<const uint8_t*>(&strh[at]));
    }
};

std::vector<StreamRecords> streamRecords(const std::wstring& path) {
    std::vector<StreamRecords> out;
    shell::Win32File store;
    EXPECT_TRUE(store.open(path, false));
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout)) << td::narrow(path);
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

} // namespace

void Tamsel::SetUp() {
    work_ = td::join(td::exeFolder(), L"tamsel_work\\") + td::widen(testName()) + L"\\";
    unixOutput("rm -rf '" + td::unixPath(work_) + "' && mkdir -p '" + td::unixPath(work_) +
               "' && cp '" + td::unixPath(td::exeFolder()) + "/../tamsel_data/'*.avi '" +
               td::unixPath(work_) + "'");
}

void Tamsel::start(const std::wstring& exe, const std::vector<std::wstring>& env,
                   const std::string& unixSetup, const std::wstring& folder) {
    app_ = std::make_unique<td::App>(exe, folder.empty() ? work_ : folder, env, unixSetup);
    form1_ = app_->waitWindow(L"Tamsel", 10000, L"TamselForm1");
}

void Tamsel::select(int id, const std::wstring& name) {
    if (name.empty())
        td::selectListItem(control(id), -1);
    else
        EXPECT_TRUE(td::selectListItem(control(id), name)) << td::narrow(name);
    td::sync(form1_);
}

void Tamsel::waitClosed(HWND dialog) {
    td::waitFor([&] { return !IsWindow(dialog); }, 10000);
    td::sync(form1_);
    Sleep(200);
    td::sync(form1_);
}

bool Tamsel::close() {
    td::close(form1_);
    return app_->waitExit(10000);
}

Outcome Tamsel::compress(int operation, const std::wstring& video, const std::wstring& audio,
                         const std::wstring& answer, Answer dialog,
                         const DialogAnswer& answerDialog) {
    click(compositor::option1Id(operation));
    settle();
    select(shell::kIdFile1, video);
    if (!audio.empty()) select(shell::kIdFile2, audio);
    click(compositor::kIdCommand1);
    Outcome run;
    HWND last = nullptr;
    // No run asks more than a few times: two boxes that never close would otherwise be
    // answered in turn until ctest's limit.
    int dialogs = 0;
    for (HWND d = app_->waitMessageBox(10000); d; d = app_->waitMessageBox(1500, last)) {
        if (++dialogs > 12) {
            ADD_FAILURE() << "dialogs keep coming up: " << td::narrow(td::text(d));
            break;
        }
        last = d;
        td::Box box = td::readBox(d);
        if (box.caption == L"Tamsel" && td::boxEdit(d)) { // our input box
            if (!run.inputBoxSeen) td::screenshot("tamsel_" + testName() + "_input");
            run.inputBoxSeen = true;
            ++run.inputBoxes;
            EXPECT_EQ(box.text, L"保存ファイル名を入力してください。");
            td::setText(td::boxEdit(d), answer);
            td::pressBoxButton(d, answer.empty() ? IDCANCEL : IDOK);
        } else if (box.caption == L"Tamsel") { // our message boxes
            run.messages.push_back(box);
            if (run.messages.size() == 1) td::screenshot("tamsel_" + testName() + "_message");
            td::pressBoxButton(d, IDOK);
        } else { // the platform's compression dialog
            run.compressionDialogs.push_back(box.caption);
            if (run.compressionDialogs.size() == 1) td::screenshot("tamsel_" + testName());
            if (answerDialog && run.compressionDialogs.size() == 1)
                answerDialog(d);
            else
                td::pressBoxButton(d, dialog == Answer::kOk ? IDOK : IDCANCEL);
        }
        waitClosed(d);
    }
    return run;
}

CommandRun Tamsel::tamsel(const std::string& args) const {
    const std::string exe = td::unixPath(td::join(td::exeFolder(), L"TAMSEL.EXE"));
    return parseCommandRun(unixOutput("cd '" + td::unixPath(work_) + "' && env " + kJapanese +
                                      " wine '" + exe + "' " + args +
                                      " > cli.log 2>/dev/null; echo \"rc=$?\"; cat cli.log"));
}

std::string Tamsel::probe(const std::wstring& name) const {
    std::string out = unixOutput("ffprobe -v error -show_entries stream=codec_type -of "
                                 "csv=p=0 '" +
                                 unix(name) + "'");
    std::string joined;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) joined += (joined.empty() ? "" : ",") + line;
    return joined;
}

std::string Tamsel::audioMd5(const std::wstring& name, int index) const {
    return unixOutput("ffmpeg -v error -i '" + unix(name) + "' -map 0:a:" + std::to_string(index) +
                      " -f s16le - | md5sum");
}

std::string Tamsel::videoMd5(const std::wstring& name) const {
    return unixOutput("ffmpeg -v error -i '" + unix(name) +
                      "' -map 0:v:0 -f rawvideo -pix_fmt bgr24 - | md5sum");
}

std::string Tamsel::packetsMd5(const std::wstring& name, const std::string& stream) const {
    return unixOutput("ffmpeg -v error -i '" + unix(name) + "' -map 0:" + stream +
                      " -c copy -f data - | md5sum");
}

void Tamsel::expectSameStream(const std::wstring& output, size_t index, const std::string& kind,
                              int nth, const std::wstring& source, int sourceNth) {
    SCOPED_TRACE(td::narrow(output) + " stream " + std::to_string(index) + " from " +
                 td::narrow(source));
    std::string outSpec = kind + ":" + std::to_string(nth);
    std::string srcSpec = kind + ":" + std::to_string(sourceNth);
    EXPECT_EQ(packetsMd5(output, outSpec), packetsMd5(source, srcSpec));
    std::vector<StreamRecords> out = streamRecords(path(output));
    std::vector<StreamRecords> src = streamRecords(path(source));
    uint32_t type = riff::fourCC(kind == "v" ? "vids" : "auds");
    std::vector<const StreamRecords*> ofType;
    for (const auto& r : src)
        if (r.type == type) ofType.push_back(&r);
    ASSERT_LT(index, out.size());
    ASSERT_LT(size_t(sourceNth), ofType.size());
    const StreamRecords& o = out[index];
    const StreamRecords& s = *ofType[sourceNth];
    EXPECT_EQ(o.type, type);
    if (s.strf.size() == 16 && type == riff::fourCC("auds")) {
        EXPECT_EQ(o.strf.substr(0, 16), s.strf);
        EXPECT_EQ(o.strf.substr(16), std::string(2, '\0'));
    } else {
        EXPECT_EQ(o.strf, s.strf);
    }
    if (type == riff::fourCC("auds")) { // the same time base: rate / scale
        EXPECT_EQ(uint64_t(o.u32(avi::kStrhRate)) * s.u32(avi::kStrhScale),
                  uint64_t(s.u32(avi::kStrhRate)) * o.u32(avi::kStrhScale));
        // and the same length in the same units
        EXPECT_EQ(o.u32(avi::kStrhSampleSize), s.u32(avi::kStrhSampleSize));
        EXPECT_EQ(o.u32(avi::kStrhLength), s.u32(avi::kStrhLength));
    }
    const bool video = kind == "v";
    EXPECT_EQ(video ? videoMd5(output) : audioMd5(output, nth),
              video ? videoMd5(source) : audioMd5(source, sourceNth));
}

} // namespace tamsel_test
