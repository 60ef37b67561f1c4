#include "wave_reader.h"
#include "wave_builder.h"

#include <gtest/gtest.h>

using namespace wave_test;
using riff_test::append;
using riff_test::chunk;
using wavconv::WaveStatus;

namespace {

WaveStatus readWave(const Bytes& file, wavconv::WaveData& data) {
    riff::MemoryStore store(file);
    return wavconv::readWaveFile(store, data);
}

WaveStatus readWave(const Bytes& file) {
    wavconv::WaveData data;
    return readWave(file, data);
}

Bytes canonical(const Bytes& samples) {
    Bytes chunks = chunk("fmt ", fmt16());
    append(chunks, chunk("data", samples));
    return riffFile(chunks);
}

Bytes samplesOf(const wavconv::WaveData& d) {
    return Bytes(d.samples, d.samples + d.size);
}

} // namespace

TEST(ReadWaveFile, CanonicalPcmFile) {
    Bytes file = canonical(sampleBytes(400));
    ASSERT_EQ(file.size(), 444u);
    wavconv::WaveData d;
    ASSERT_EQ(readWave(file, d), WaveStatus::kOk);
    EXPECT_EQ(d.format.wFormatTag, 1);
    EXPECT_EQ(d.format.nChannels, 2);
    EXPECT_EQ(d.format.nSamplesPerSec, 44100);
    EXPECT_EQ(d.format.nAvgBytesPerSec, 176400);
    EXPECT_EQ(d.format.nBlockAlign, 4);
    EXPECT_EQ(d.format.wBitsPerSample, 16);
    EXPECT_EQ(d.format.cbSize, 0);
    EXPECT_EQ(d.dataOffset, 44u);
    EXPECT_EQ(d.size, 400u);
    EXPECT_EQ(d.declaredSize, 400u);
    EXPECT_EQ(samplesOf(d), sampleBytes(400));
    // The record as stored: the 16 bytes of the chunk, then two zero bytes.
    Bytes stored(file.begin() + 20, file.begin() + 36);
    stored.resize(18, 0);
    EXPECT_EQ(Bytes(d.formatBytes, d.formatBytes + 18), stored);
}

TEST(ReadWaveFile, ShortFormatChunkNeverBorrowsFromTheNextChunk) {
    Bytes chunks = chunk("fmt ", fmt16());
    append(chunks, chunk("data", Bytes(8, 0xAB)));
    wavconv::WaveData d;
    ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.formatBytes[16], 0);
    EXPECT_EQ(d.formatBytes[17], 0);
    EXPECT_EQ(d.format.cbSize, 0);

    // A 14-byte chunk: wBitsPerSample lies beyond it and counts as 0.
    Bytes fmt14 = fmt16();
    fmt14.resize(14);
    chunks = chunk("fmt ", fmt14);
    append(chunks, chunk("data", Bytes(8, 0xAB)));
    ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.format.nBlockAlign, 4);
    EXPECT_EQ(d.format.wBitsPerSample, 0);
}

TEST(ReadWaveFile, ChunksBetweenFormatAndDataAreSkippedButNotBeforeFormat) {
    for (const char* tag : {"fact", "LIST"}) {
        Bytes chunks = chunk("fmt ", fmt16());
        append(chunks, chunk(tag, Bytes(12, 'x')));
        append(chunks, chunk("data", sampleBytes(40)));
        wavconv::WaveData d;
        ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk) << tag;
        EXPECT_EQ(samplesOf(d), sampleBytes(40));

        Bytes before = chunk(tag, Bytes(12, 'x'));
        append(before, chunk("fmt ", fmt16()));
        append(before, chunk("data", sampleBytes(40)));
        EXPECT_EQ(readWave(riffFile(before)), WaveStatus::kRefused) << tag;
    }
}

TEST(ReadWaveFile, OddChunksAreSkippedWithTheirPadByte) {
    // An odd format chunk (the record and the one extension byte its cbSize announces)
    // and an odd chunk before data, each followed by a pad byte.
    Bytes fmt = fmt16();
    fmt.push_back(1);
    fmt.push_back(0);
    fmt.push_back(0x55);
    Bytes chunks = chunk("fmt ", fmt);
    append(chunks, chunk("odd ", Bytes(5, 'o')));
    append(chunks, chunk("data", sampleBytes(12)));
    wavconv::WaveData d;
    ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.formatExtension, Bytes{0x55});
    EXPECT_EQ(samplesOf(d), sampleBytes(12));
}

TEST(ReadWaveFile, TagsAreCaseSensitive) {
    Bytes chunks = chunk("fmt ", fmt16());
    append(chunks, chunk("data", sampleBytes(4)));
    EXPECT_EQ(readWave(riffFile(chunks, "riff")), WaveStatus::kRefused);
    EXPECT_EQ(readWave(riffFile(chunks, "RIFF", "wave")), WaveStatus::kRefused);
    Bytes upper = chunk("FMT ", fmt16());
    append(upper, chunk("data", sampleBytes(4)));
    EXPECT_EQ(readWave(riffFile(upper)), WaveStatus::kRefused);
    // "DATA" is just another chunk, so no data chunk is found.
    Bytes upperData = chunk("fmt ", fmt16());
    append(upperData, chunk("DATA", sampleBytes(4)));
    EXPECT_EQ(readWave(riffFile(upperData)), WaveStatus::kRefused);
}

TEST(ReadWaveFile, RiffSizeIsNotExamined) {
    Bytes chunks = chunk("fmt ", fmt16());
    append(chunks, chunk("data", sampleBytes(4)));
    for (int64_t size : {int64_t(0), int64_t(3), int64_t(0x7FFFFFFF), int64_t(0xFFFFFFFF)})
        EXPECT_EQ(readWave(riffFile(chunks, "RIFF", "WAVE", size)), WaveStatus::kOk) << size;
}

TEST(ReadWaveFile, CompressedFormatsPassAndOnlyEighteenBytesAreTaken) {
    Bytes fmt = riff_test::waveFormat(0x11, 1, 22050, 512, 4); // IMA ADPCM
    fmt[16] = 2;                                               // cbSize: two extra bytes follow
    fmt.push_back(0xF9);
    fmt.push_back(0x03);
    Bytes chunks = chunk("fmt ", fmt);
    append(chunks, chunk("fact", Bytes(4, 0)));
    append(chunks, chunk("data", sampleBytes(1024)));
    wavconv::WaveData d;
    ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.format.wFormatTag, 0x11);
    EXPECT_EQ(d.format.cbSize, 2);
    EXPECT_EQ(Bytes(d.formatBytes, d.formatBytes + 18), Bytes(fmt.begin(), fmt.begin() + 18));
    EXPECT_EQ(d.size, 1024u);
    // The stream gets the record and the two bytes its cbSize announces.
    EXPECT_EQ(wavconv::streamFormat(d), fmt);
}

TEST(ReadWaveFile, FormatChunkMustHoldTheWholeExtensionItAnnounces) {
    // WAVE_FORMAT_EXTENSIBLE: a 40-byte chunk, cbSize 22.
    Bytes ext = riff_test::waveFormat(0xFFFE, 2, 48000, 6, 24);
    ext[16] = 22;
    for (int i = 0; i < 22; i++)
        ext.push_back(uint8_t(0xA0 + i));
    Bytes chunks = chunk("fmt ", ext);
    append(chunks, chunk("data", sampleBytes(60)));
    wavconv::WaveData d;
    ASSERT_EQ(readWave(riffFile(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(wavconv::streamFormat(d), ext);

    // cbSize claims more than the chunk holds: part of the extension, or none of it
    // (the bare 18-byte record, followed directly by the data chunk).
    for (size_t cut : {size_t(30), size_t(18)}) {
        chunks = chunk("fmt ", Bytes(ext.begin(), ext.begin() + cut));
        append(chunks, chunk("data", sampleBytes(60)));
        EXPECT_EQ(readWave(riffFile(chunks)), WaveStatus::kRefused) << cut;
    }
}

TEST(ReadWaveFile, HostileStructuresAreRefused) {
    // No data chunk at all, and a header cut short where data would begin.
    Bytes noData = chunk("fmt ", fmt16());
    append(noData, chunk("LIST", Bytes(4, 'i')));
    EXPECT_EQ(readWave(riffFile(noData)), WaveStatus::kRefused);
    Bytes cut = canonical(sampleBytes(8));
    cut.resize(40);
    EXPECT_EQ(readWave(cut), WaveStatus::kRefused);

    // A chunk that runs past the end of the file while walking.
    Bytes pastEnd = chunk("fmt ", fmt16());
    append(pastEnd, chunk("LIST", Bytes(4, 'i'), 1000));
    append(pastEnd, chunk("data", sampleBytes(8)));
    EXPECT_EQ(readWave(riffFile(pastEnd)), WaveStatus::kRefused);

    // Negative sizes: format chunk, a chunk in the walk, the data chunk.
    Bytes negFmt = chunk("fmt ", fmt16(), 0xFFFFFFFE);
    append(negFmt, chunk("data", sampleBytes(8)));
    EXPECT_EQ(readWave(riffFile(negFmt)), WaveStatus::kRefused);
    Bytes negWalk = chunk("fmt ", fmt16());
    append(negWalk, chunk("LIST", Bytes(4, 'i'), 0xFFFFFFF8)); // -8 would loop back
    append(negWalk, chunk("data", sampleBytes(8)));
    EXPECT_EQ(readWave(riffFile(negWalk)), WaveStatus::kRefused);
    Bytes negData = chunk("fmt ", fmt16());
    append(negData, chunk("data", sampleBytes(8), 0x80000000));
    EXPECT_EQ(readWave(riffFile(negData)), WaveStatus::kRefused);

    // A format chunk larger than the file.
    Bytes bigFmt = chunk("fmt ", fmt16(), 5000);
    EXPECT_EQ(readWave(riffFile(bigFmt)), WaveStatus::kRefused);

    // Too short to be anything.
    EXPECT_EQ(readWave(Bytes{'R', 'I', 'F', 'F'}), WaveStatus::kRefused);
    EXPECT_EQ(readWave(Bytes{}), WaveStatus::kRefused);
}

TEST(ReadWaveFile, UnusableFormatsAreRefused) {
    auto withFmt = [](const Bytes& fmt) {
        Bytes chunks = chunk("fmt ", fmt);
        append(chunks, chunk("data", sampleBytes(8)));
        return riffFile(chunks);
    };
    EXPECT_EQ(readWave(withFmt(fmt16(2, 44100, 0))), WaveStatus::kRefused);      // nBlockAlign 0
    EXPECT_EQ(readWave(withFmt(fmt16(2, 44100, 0x8000))), WaveStatus::kRefused); // negative
    EXPECT_EQ(readWave(withFmt(fmt16(2, 0, 4))), WaveStatus::kRefused);          // no rate
    // 32767 x 65539 does not fit in 32 signed bits; 32767 x 65538 does.
    EXPECT_EQ(readWave(withFmt(fmt16(2, 65539, 32767))), WaveStatus::kRefused);
    EXPECT_EQ(readWave(withFmt(fmt16(2, 65538, 32767))), WaveStatus::kOk);
    EXPECT_EQ(readWave(withFmt(fmt16(2, 0x80000000u, 1))), WaveStatus::kRefused); // negative rate
}

TEST(ReadWaveFile, DataRunningPastTheEndGivesTheBytesThatAreThere) {
    Bytes chunks = chunk("fmt ", fmt16());
    Bytes data = chunk("data", sampleBytes(10), 4000);
    append(chunks, data);
    Bytes file = riffFile(chunks);
    wavconv::WaveData d;
    ASSERT_EQ(readWave(file, d), WaveStatus::kOk);
    EXPECT_EQ(d.declaredSize, 4000u);
    EXPECT_EQ(d.size, 10u);
    EXPECT_EQ(samplesOf(d), sampleBytes(10));
}

TEST(ReadWaveFile, EmptyDataChunkIsAccepted) {
    wavconv::WaveData d;
    ASSERT_EQ(readWave(canonical(Bytes{}), d), WaveStatus::kOk);
    EXPECT_EQ(d.size, 0u);
}

namespace {

// A store that claims more than 2 GB without holding it.
class HugeStore : public riff::ByteStore {
  public:
    explicit HugeStore(Bytes head) : head_(std::move(head)) {}
    uint64_t Size() const override { return 0x80000000ull; }
    bool Read(uint64_t off, void* dst, size_t n) override {
        riff::MemoryStore m(head_);
        return m.Read(off, dst, n);
    }
    bool Write(uint64_t, const void*, size_t) override { return false; }

  private:
    Bytes head_;
};

class FailingStore : public riff::MemoryStore {
  public:
    FailingStore(riff_test::Bytes bytes, uint64_t failFrom)
        : riff::MemoryStore(std::move(bytes)), failFrom_(failFrom) {}
    bool Read(uint64_t off, void* dst, size_t n) override {
        return off < failFrom_ && MemoryStore::Read(off, dst, n);
    }
    const uint8_t* View(uint64_t, size_t) override { return nullptr; }

  private:
    uint64_t failFrom_;
};

} // namespace

TEST(ReadWaveFile, FilesOverTwoGigabytesAreRefused) {
    HugeStore huge(canonical(sampleBytes(8)));
    wavconv::WaveData d;
    EXPECT_EQ(wavconv::readWaveFile(huge, d), WaveStatus::kRefused);
}

TEST(ReadWaveFile, ReadFailuresAreReportedAsSuch) {
    FailingStore store(canonical(sampleBytes(8)), 44);
    wavconv::WaveData d;
    EXPECT_EQ(wavconv::readWaveFile(store, d), WaveStatus::kReadError);
    EXPECT_FALSE(d.buffer);
}

namespace {

// A store that can only copy: the reader then fills its own buffer.
class CopyOnlyStore : public riff::MemoryStore {
  public:
    using riff::MemoryStore::MemoryStore;
    const uint8_t* View(uint64_t, size_t) override { return nullptr; }
};

} // namespace

TEST(ReadWaveFile, SamplesAreSharedInPlaceOrCopiedAlike) {
    Bytes file = canonical(sampleBytes(400));
    riff::MemoryStore viewable(file);
    CopyOnlyStore copyOnly(file);
    wavconv::WaveData inPlace, copied;
    ASSERT_EQ(wavconv::readWaveFile(viewable, inPlace), WaveStatus::kOk);
    ASSERT_EQ(wavconv::readWaveFile(copyOnly, copied), WaveStatus::kOk);
    EXPECT_EQ(inPlace.samples, viewable.bytes().data() + 44); // no copy
    EXPECT_FALSE(inPlace.buffer);
    EXPECT_TRUE(copied.buffer);
    EXPECT_EQ(samplesOf(inPlace), samplesOf(copied));
}
