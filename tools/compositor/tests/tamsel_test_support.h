// What TAMSEL's Wine tests share: a work folder per test holding the inputs make_data.sh
// wrote, one click of Compress with whatever comes up answered, the command line run as a
// build script runs it, and the checkers (ffprobe and ffmpeg through /bin/sh, the written
// file's own records).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "avi_fixup.h"
#include "testdriver/driver.h"

namespace tamsel_test {

extern const wchar_t kSameName[];
extern const wchar_t kNotCreated[];
extern const char kJapanese[]; // the Unix locale that gives code page 932

// What a Unix command printed (the checkers ffprobe, ffmpeg, sox).
std::string unixOutput(const std::string& command);
std::string readFile(const std::wstring& path);
bool exists(const std::wstring& path);
std::string testName();
// List entries one a line, for a failure message.
std::wstring joined(const std::vector<std::wstring>& items);
// The reason the system gives for a folder that does not exist, in the language of
// `language` (0: the test's own).
bool missingFolderReason(const std::wstring& text, LANGID language = 0);
// Bytes after the file's RIFF chunk (and its pad byte).
uint64_t bytesAfterRiff(const std::wstring& path);

// Rewrites 32-bit fields of a file's first audio stream: `fields` gives file offsets and
// values from the stream's layout.
using Fields = std::vector<std::pair<uint64_t, uint32_t>>;
void rewriteFirstAudio(const std::wstring& path,
                       const std::function<Fields(const avi::StreamLayout&)>& fields);

enum class Answer { kOk, kCancel };

// What the user met during one click of Command1.
struct Outcome {
    std::vector<td::Box> messages;
    std::vector<std::wstring> compressionDialogs; // captions of the real dialog, when seen
    bool inputBoxSeen = false;
    int inputBoxes = 0;
};
std::string texts(const Outcome& run); // the messages, one a line

// Answers the platform's compression dialog in place of a plain OK or Cancel.
using DialogAnswer = std::function<void(HWND dialog)>;

// What TAMSEL.EXE started with arguments wrote and returned.
struct CommandRun {
    int status = -1;
    std::vector<std::wstring> lines;
};
// The lines of a run's output read in code page 932, and its "rc=" line.
CommandRun parseCommandRun(const std::string& bytes);

class Tamsel : public ::testing::Test {
  protected:
    void SetUp() override;

    std::wstring path(const std::wstring& name) const { return work_ + name; }
    std::string unix(const std::wstring& name) const { return td::unixPath(work_ + name); }

    // Starts `exe` in `folder` (the work folder when empty) and finds its main window.
    // `env` and `unixSetup` as for td::App: a locale, debug channels, a redirection.
    void start(const std::wstring& exe = L"TAMSEL.EXE", const std::vector<std::wstring>& env = {},
               const std::string& unixSetup = {}, const std::wstring& folder = {});
    HWND control(int id) const { return td::control(form1_, id); }
    void select(int id, const std::wstring& name);
    void click(int id) { td::click(control(id)); }
    void settle() { td::sync(form1_); }
    // Waits until the dialog is gone and the run behind it has gone on to its next stop.
    void waitClosed(HWND dialog);
    bool close();

    // Sets the operation and selections, clicks Command1 and answers whatever comes up.
    Outcome compress(int operation, const std::wstring& video, const std::wstring& audio,
                     const std::wstring& answer, Answer dialog = Answer::kOk,
                     const DialogAnswer& answerDialog = nullptr);

    // TAMSEL.EXE with `args` as a Unix shell reads them (quote what holds "\"), in the work
    // folder under the Japanese code page, its standard output into a file.
    CommandRun tamsel(const std::string& args) const;
    std::vector<std::wstring> one(const std::wstring& line) const { return {line}; }

    // Stream types in file order, e.g. "video,audio".
    std::string probe(const std::wstring& name) const;
    // Checksum of the PCM samples of audio stream `index` as ffmpeg decodes them.
    std::string audioMd5(const std::wstring& name, int index) const;
    std::string videoMd5(const std::wstring& name) const;
    // The bytes of every packet of a stream ("v:0", "a:1") as ffmpeg reads them.
    std::string packetsMd5(const std::wstring& name, const std::string& stream) const;
    // Output stream `index` (of type "v" or "a", numbered `nth` among its type) holds the
    // same bytes and format record as stream `sourceNth` of that type in `source`. A
    // 16-byte PCM format may come out in its 18-byte form with cbSize 0, nothing else.
    void expectSameStream(const std::wstring& output, size_t index, const std::string& kind,
                          int nth, const std::wstring& source, int sourceNth);

    std::wstring work_;
    std::unique_ptr<td::App> app_;
    HWND form1_ = nullptr;
};

} // namespace tamsel_test
