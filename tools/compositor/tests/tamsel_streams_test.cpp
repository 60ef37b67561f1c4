// What TAMSEL writes, stream by stream: every output stream holds its source's packets and
// format record, the headers tell the truth about the content, and files other programs
// wrote (PURNIX, ffmpeg, the public media files) come through whole or are told about.
#include <algorithm>

#include "../../wavconv/win/form1_ids.h"
#include "riff.h"
#include "shell/shell.h"
#include "shell/win_file.h"
#include "stream_index.h"
#include "tamsel_test_support.h"

using namespace tamsel_test;

namespace {

// Header fields as a reader that trusts them sees the file.
struct Headers {
    uint32_t microSecPerFrame = 0;
    std::vector<uint32_t> audioLengths; // strh dwLength of each audio stream
    std::vector<uint32_t> audioBlocks;  // blocks its chunks really hold
    int videoEntries = 0, videoKeyEntries = 0;
};

Headers readHeaders(const std::wstring& path) {
    Headers h;
    shell::Win32File store;
    EXPECT_TRUE(store.open(path, false));
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout));
    uint8_t b[4];
    if (store.Read(layout.avih, b, 4)) h.microSecPerFrame = riff::loadU32(b);
    for (const auto& s : layout.streams) {
        if (s.fccType != riff::fourCC("auds")) continue;
        store.Read(s.strh + avi::kStrhLength, b, 4);
        h.audioLengths.push_back(riff::loadU32(b));
        store.Read(s.strf + avi::kWaveBlockAlign, b, 2);
        h.audioBlocks.push_back(static_cast<uint32_t>(s.dataBytes / riff::loadU16(b)));
    }
    for (uint64_t e = 0; e + 16 <= layout.idx1Size; e += 16) {
        uint8_t entry[16];
        store.Read(layout.idx1 + e, entry, 16);
        int n = avi::streamOfChunk(riff::loadU32(entry));
        if (n < 0 || layout.streams[n].fccType != riff::fourCC("vids")) continue;
        ++h.videoEntries;
        if (riff::loadU32(entry + 4) & 0x10) ++h.videoKeyEntries;
    }
    return h;
}

} // namespace

TEST_F(Tamsel, TheWrittenFileDescribesItsContentTruthfully) {
    start();
    compress(0, L"v1.avi", L"audio2.avi", L"out");
    EXPECT_TRUE(close());
    Headers h = readHeaders(path(L"out.avi"));
    EXPECT_EQ(h.microSecPerFrame, 100000u); // 10 frames per second
    ASSERT_EQ(h.audioLengths.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(h.audioLengths[i], h.audioBlocks[i]) << i;
        EXPECT_EQ(h.audioBlocks[i], 44100u) << i; // 2 s at 22050 Hz
    }
    EXPECT_EQ(h.videoEntries, 20);
    EXPECT_EQ(h.videoKeyEntries, 20);
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
        HWND form = purnix.waitWindow(L"Purnix", 10000, L"PurnixForm1");
        ASSERT_TRUE(form);
        ASSERT_TRUE(td::selectListItem(td::control(form, shell::kIdFile1), L"tone.wav"));
        td::sync(form);
        td::click(td::control(form, wavconv::kIdCommand1)); // "&Convert Wave file into AVI file"
        HWND box = purnix.waitMessageBox(10000);
        ASSERT_TRUE(box);
        td::pressBoxButton(box, IDOK);
        td::close(form);
        EXPECT_TRUE(purnix.waitExit(10000));
    }
    ASSERT_EQ(readHeaders(path(L"tone.avi")).audioLengths, std::vector<uint32_t>{33075});
    start();
    Outcome run = compress(0, L"v0.avi", L"tone.avi", L"out");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(close());
    EXPECT_EQ(probe(L"out.avi"), "video,audio");
    EXPECT_EQ(audioMd5(L"out.avi", 0),
              unixOutput("ffmpeg -v error -i '" + unix(L"tone.wav") + "' -f s16le - | md5sum"));
    EXPECT_EQ(readHeaders(path(L"out.avi")).audioLengths, std::vector<uint32_t>{33075});
}

// Every output stream compared with its source.
class TamselStreams : public Tamsel {};

TEST_F(TamselStreams, CompressedAudioIsCopiedWithItsFormat) {
    start();
    Outcome run = compress(2, L"vadpcm.avi", L"", L"adpcm");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    run = compress(0, L"vmulaw.avi", L"ima_alaw.avi", L"added");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    ASSERT_EQ(run.compressionDialogs.size(), 1u);
    EXPECT_TRUE(close());

    ASSERT_EQ(probe(L"adpcm.avi"), "video,audio");
    expectSameStream(L"adpcm.avi", 0, "v", 0, L"vadpcm.avi", 0);
    expectSameStream(L"adpcm.avi", 1, "a", 0, L"vadpcm.avi", 0);
    ASSERT_EQ(probe(L"added.avi"), "video,audio,audio,audio");
    expectSameStream(L"added.avi", 0, "v", 0, L"vmulaw.avi", 0);
    expectSameStream(L"added.avi", 1, "a", 0, L"vmulaw.avi", 0);
    expectSameStream(L"added.avi", 2, "a", 1, L"ima_alaw.avi", 0);
    expectSameStream(L"added.avi", 3, "a", 2, L"ima_alaw.avi", 1);
    for (const wchar_t* name : {L"adpcm.avi", L"added.avi"})
        EXPECT_EQ(bytesAfterRiff(path(name)), 0u) << td::narrow(name);
}

TEST_F(TamselStreams, AStreamCountedInPairsOfBlocksIsNeverCutShort) {
    // Stereo mu-law (blocks of 2 bytes) whose header counts pairs of blocks: a sample size
    // of 4, a rate of 11025 such samples a second. Wine's reader copies dwLength blocks of
    // 2 bytes, half the stream: a file without all of it is not reported as written.
    rewriteFirstAudio(path(L"vmulaw2.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strh + avi::kStrhScale, 1},
                      {s.strh + avi::kStrhRate, 11025},
                      {s.strh + avi::kStrhLength, uint32_t(s.dataBytes / 4)},
                      {s.strh + avi::kStrhSampleSize, 4}};
    });
    start();
    Outcome run = compress(2, L"vmulaw2.avi", L"", L"pairs");
    EXPECT_TRUE(close());
    if (run.messages.empty()) { // a platform that copies it whole
        ASSERT_EQ(probe(L"pairs.avi"), "video,audio");
        expectSameStream(L"pairs.avi", 1, "a", 0, L"vmulaw2.avi", 0);
    } else {
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_EQ(run.messages[0].text, kNotCreated);
        EXPECT_FALSE(exists(path(L"pairs.avi")));
    }
}

TEST_F(TamselStreams, PcmFormatsComeOutWhole) {
    start();
    Outcome run = compress(0, L"v2.avi", L"audio2.avi", L"pcm");
    EXPECT_TRUE(run.messages.empty()) << texts(run);
    EXPECT_TRUE(close());
    ASSERT_EQ(probe(L"pcm.avi"), "video,audio,audio,audio,audio");
    expectSameStream(L"pcm.avi", 0, "v", 0, L"v2.avi", 0);
    expectSameStream(L"pcm.avi", 1, "a", 0, L"v2.avi", 0);
    expectSameStream(L"pcm.avi", 2, "a", 1, L"v2.avi", 1);
    expectSameStream(L"pcm.avi", 3, "a", 2, L"audio2.avi", 0);
    expectSameStream(L"pcm.avi", 4, "a", 3, L"audio2.avi", 1);
    EXPECT_EQ(bytesAfterRiff(path(L"pcm.avi")), 0u);
}

TEST_F(TamselStreams, TheFormatChooserLeavesACompressedStreamAsItIs) {
    // Opening the chooser raises a record's size to the largest format's (MS ADPCM's 50
    // bytes here), even when it is cancelled; the stream's own format picked there is no
    // change either. Both streams' formats are offered by the platform's codecs.
    // MS ADPCM: the platform's codec says 44100 * 1024 / 2036 bytes per second; the encoder
    // that made the file wrote another figure.
    rewriteFirstAudio(path(L"vadpcm44.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strf + 8, 22179}};
    });
    const struct {
        const wchar_t* source;
        const wchar_t* tag;  // in the chooser's tag list
        const wchar_t* rate; // in its attribute list, beside "Mono"
    } kStreams[] = {{L"vmulaw.avi", L"U-Law", L"22050 Hz"},
                    {L"vadpcm44.avi", L"Microsoft ADPCM", L"44100 Hz"}};
    start();
    int n = 0;
    for (const auto& stream : kStreams) {
        for (bool pick : {false, true}) {
            SCOPED_TRACE(td::narrow(stream.source) +
                         (pick ? ", own format picked" : ", cancelled"));
            bool chooserSeen = false;
            const std::wstring output = L"out" + std::to_wstring(++n);
            Outcome run = compress(2, stream.source, L"", output, Answer::kOk, [&](HWND d) {
                HWND streams = td::controlByClass(d, L"ComboBox");
                ASSERT_TRUE(streams);
                td::selectListItem(streams, 1); // the audio stream
                td::sync(d);
                ASSERT_TRUE(td::click(td::controlByText(d, L"&Options...")));
                HWND chooser = app_->waitMessageBox(10000, d);
                ASSERT_TRUE(chooser);
                chooserSeen = true;
                if (pick) {
                    HWND tags = td::controlByClass(chooser, L"ComboBox", 1);
                    HWND attributes = td::controlByClass(chooser, L"ComboBox", 2);
                    ASSERT_TRUE(tags && attributes);
                    auto find = [](HWND list, const wchar_t* a, const wchar_t* b) {
                        std::vector<std::wstring> items = td::listItems(list);
                        for (size_t i = 0; i < items.size(); ++i)
                            if (items[i].find(a) != std::wstring::npos &&
                                items[i].find(b) != std::wstring::npos)
                                return int(i);
                        return -1;
                    };
                    int tag = find(tags, stream.tag, L"");
                    ASSERT_GE(tag, 0) << td::narrow(joined(td::listItems(tags)));
                    td::selectListItem(tags, tag);
                    td::sync(chooser);
                    int own = find(attributes, stream.rate, L"Mono");
                    ASSERT_GE(own, 0) << td::narrow(joined(td::listItems(attributes)));
                    td::selectListItem(attributes, own);
                    td::sync(chooser);
                    td::screenshot("tamsel_format_chooser_own_format_" + std::to_string(n));
                }
                EXPECT_TRUE(td::pressBoxButton(chooser, pick ? IDOK : IDCANCEL));
                td::sync(d);
                EXPECT_TRUE(td::pressBoxButton(d, IDOK));
            });
            EXPECT_TRUE(chooserSeen);
            EXPECT_TRUE(run.messages.empty()) << texts(run);
            ASSERT_EQ(probe(output + L".avi"), "video,audio");
            expectSameStream(output + L".avi", 0, "v", 0, stream.source, 0);
            expectSameStream(output + L".avi", 1, "a", 0, stream.source, 0);
        }
    }
    EXPECT_TRUE(close());
}

// Files other programs wrote: the public ones, and variations of their kinds that ffmpeg
// makes here. Driven through the command line, which shares the window's run.
class TamselOtherPrograms : public Tamsel {
  protected:
    void SetUp() override {
        Tamsel::SetUp();
        const std::string copied =
            unixOutput("cp '" + std::string(QUILLON_MEDIA_DIR) + "'/*.avi '" + td::unixPath(work_) +
                       "' && chmod u+w '" + td::unixPath(work_) + "'/*.avi && echo copied");
        ASSERT_NE(copied.find("copied"), std::string::npos)
            << "the public media files are not in " << QUILLON_MEDIA_DIR;
    }

    // Makes `name` with ffmpeg from a test picture and a tone: `codecs` as ffmpeg takes them.
    void make(const std::wstring& name, const std::string& codecs) const {
        unixOutput("ffmpeg -y -v error -f lavfi -i testsrc=size=64x48:rate=10:duration=3 -f lavfi "
                   "-i sine=frequency=440:sample_rate=44100:duration=3 -map 0:v -map 1:a " +
                   codecs + " '" + unix(name) + "'");
        ASSERT_TRUE(exists(path(name))) << td::narrow(name);
    }

    // The key-frame flag of every packet of the first video stream, as ffprobe reads the
    // file's index: "K" or "_" each.
    std::string keyFrames(const std::wstring& name) const {
        std::string flags = unixOutput("ffprobe -v error -select_streams v:0 -show_entries "
                                       "packet=flags -of csv=p=0 '" +
                                       unix(name) + "' | cut -c1 | tr -d '\\n'");
        return flags;
    }

    // The key-frame flag of every idx1 entry of the first video stream, "K" or "_" each.
    std::string indexKeys(const std::wstring& name) const {
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

    std::vector<std::wstring> temporaryFiles() const {
        std::vector<std::wstring> names;
        for (const auto& [name, content] : td::folderContents(work_))
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
    unixOutput("cd '" + td::unixPath(work_) + "' && cp v1.avi long.avi && cp v1.avi hollow.avi");
    rewriteFirstAudio(path(L"long.avi"), [](const avi::StreamLayout& s) {
        return Fields{{s.strh + avi::kStrhLength, uint32_t(s.dataBytes / 2 + 100)}};
    });
    rewriteFirstAudio(path(L"hollow.avi"), [](const avi::StreamLayout& s) {
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
    EXPECT_EQ(packetsMd5(L"keep.avi", "v:0"), packetsMd5(L"infer_sample.avi", "v:0"));

    run = tamsel("/add v1.avi mp3.avi /out add");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::wstring>{L"v1.avi: mp3.avi" + leftOut, L"v1.avi: add.avi"}));
    ASSERT_EQ(probe(L"add.avi"), "video,audio");
    expectSameStream(L"add.avi", 1, "a", 0, L"v1.avi", 0);

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
    expectSameStream(L"added.avi", 3, "a", 2, L"empty.avi", 0);

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
    EXPECT_TRUE(temporaryFiles().empty()) << td::narrow(joined(temporaryFiles()));
}

TEST_F(TamselOtherPrograms, KeyFramesAreCopiedFrameForFrame) {
    // ffmpeg marks its files AVIF_TRUSTCKTYPE. Its Microsoft Video 1 has no parser in
    // ffprobe, so ffprobe's flags are the index's, as a player seeking by it sees them.
    make(L"cram.avi", "-c:v msvideo1 -g 5 -c:a pcm_s16le");
    const std::string source = indexKeys(L"infer_sample.avi");
    ASSERT_EQ(std::count(source.begin(), source.end(), 'K'), 32) << source;
    CommandRun run = tamsel("/delete infer_sample.avi /out del");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(indexKeys(L"del.avi"), source);
    expectSameStream(L"del.avi", 0, "v", 0, L"infer_sample.avi", 0);

    run = tamsel("/add cram.avi v1.avi /out cram2");
    EXPECT_EQ(run.status, 0);
    const std::string cram = keyFrames(L"cram.avi");
    ASSERT_GT(std::count(cram.begin(), cram.end(), 'K'), 1) << cram;
    EXPECT_EQ(keyFrames(L"cram2.avi"), cram);
    EXPECT_EQ(indexKeys(L"cram2.avi"), indexKeys(L"cram.avi"));
    expectSameStream(L"cram2.avi", 0, "v", 0, L"cram.avi", 0);
    expectSameStream(L"cram2.avi", 2, "a", 1, L"v1.avi", 0);
}

TEST_F(TamselOtherPrograms, TheVideoFormatRecordIsCopiedByteForByte) {
    // Lossless video whose record has biBitCount 0 and codec data after it.
    make(L"huff.avi", "-c:v ffvhuff -c:a pcm_s16le");
    CommandRun run = tamsel("/keep mediafileinfo_sample.avi /out info");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, one(L"mediafileinfo_sample.avi: info.avi"));
    ASSERT_EQ(probe(L"info.avi"), "video,audio");
    expectSameStream(L"info.avi", 0, "v", 0, L"mediafileinfo_sample.avi", 0);
    expectSameStream(L"info.avi", 1, "a", 0, L"mediafileinfo_sample.avi", 0);
    run = tamsel("/delete huff.avi /out huff2");
    EXPECT_EQ(run.status, 0);
    expectSameStream(L"huff2.avi", 0, "v", 0, L"huff.avi", 0);
}
