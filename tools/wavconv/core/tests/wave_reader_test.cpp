#include "wave_reader.h"
#include "wave_builder.h"

#include <gtest/gtest.h>

using namespace wave_test;
using riff_test::Append;
using riff_test::Chunk;
using wavconv::WaveStatus;

namespace {

WaveStatus Read(const Bytes& file, wavconv::WaveData& data) {
    riff::MemoryStore store(file);
    return wavconv::readWaveFile(store, data);
}

WaveStatus Read(const Bytes& file) {
    wavconv::WaveData data;
    return Read(file, data);
}

Bytes Canonical(const Bytes& samples) {
    Bytes chunks = Chunk("fmt ", Fmt16());
    Append(chunks, Chunk("data", samples));
    return Riff(chunks);
}

Bytes SamplesOf(const wavconv::WaveData& d) {
    return Bytes(d.samples, d.samples + d.size);
}

} // namespace

TEST(ReadWaveFile, CanonicalPcmFile) {
    Bytes file = Canonical(Samples(400));
    ASSERT_EQ(file.size(), 444u);
    wavconv::WaveData d;
    ASSERT_EQ(Read(file, d), WaveStatus::kOk);
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
    EXPECT_EQ(SamplesOf(d), Samples(400));
    // The record as stored: the 16 bytes of the chunk, then two zero bytes.
    Bytes stored(file.begin() + 20, file.begin() + 36);
    stored.resize(18, 0);
    EXPECT_EQ(Bytes(d.formatBytes, d.formatBytes + 18), stored);
}

TEST(ReadWaveFile, ShortFormatChunkNeverBorrowsFromTheNextChunk) {
    Bytes chunks = Chunk("fmt ", Fmt16());
    Append(chunks, Chunk("data", Bytes(8, 0xAB)));
    wavconv::WaveData d;
    ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.formatBytes[16], 0);
    EXPECT_EQ(d.formatBytes[17], 0);
    EXPECT_EQ(d.format.cbSize, 0);

    // A 14-byte chunk: wBitsPerSample lies beyond it and counts as 0.
    Bytes fmt14 = Fmt16();
    fmt14.resize(14);
    chunks = Chunk("fmt ", fmt14);
    Append(chunks, Chunk("data", Bytes(8, 0xAB)));
    ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.format.nBlockAlign, 4);
    EXPECT_EQ(d.format.wBitsPerSample, 0);
}

TEST(ReadWaveFile, ChunksBetweenFormatAndDataAreSkippedButNotBeforeFormat) {
    for (const char* tag : {"fact", "LIST"}) {
        Bytes chunks = Chunk("fmt ", Fmt16());
        Append(chunks, Chunk(tag, Bytes(12, 'x')));
        Append(chunks, Chunk("data", Samples(40)));
        wavconv::WaveData d;
        ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk) << tag;
        EXPECT_EQ(SamplesOf(d), Samples(40));

        Bytes before = Chunk(tag, Bytes(12, 'x'));
        Append(before, Chunk("fmt ", Fmt16()));
        Append(before, Chunk("data", Samples(40)));
        EXPECT_EQ(Read(Riff(before)), WaveStatus::kRefused) << tag;
    }
}

TEST(ReadWaveFile, OddChunksAreSkippedWithTheirPadByte) {
    // An odd format chunk (the record and the one extension byte its cbSize announces)
    // and an odd chunk before data, each followed by a pad byte.
    Bytes fmt = Fmt16();
    fmt.push_back(1);
    fmt.push_back(0);
    fmt.push_back(0x55);
    Bytes chunks = Chunk("fmt ", fmt);
    Append(chunks, Chunk("odd ", Bytes(5, 'o')));
    Append(chunks, Chunk("data", Samples(12)));
    wavconv::WaveData d;
    ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.formatExtension, Bytes{0x55});
    EXPECT_EQ(SamplesOf(d), Samples(12));
}

TEST(ReadWaveFile, TagsAreCaseSensitive) {
    Bytes chunks = Chunk("fmt ", Fmt16());
    Append(chunks, Chunk("data", Samples(4)));
    EXPECT_EQ(Read(Riff(chunks, "riff")), WaveStatus::kRefused);
    EXPECT_EQ(Read(Riff(chunks, "RIFF", "wave")), WaveStatus::kRefused);
    Bytes upper = Chunk("FMT ", Fmt16());
    Append(upper, Chunk("data", Samples(4)));
    EXPECT_EQ(Read(Riff(upper)), WaveStatus::kRefused);
    // "DATA" is just another chunk, so no data chunk is found.
    Bytes upperData = Chunk("fmt ", Fmt16());
    Append(upperData, Chunk("DATA", Samples(4)));
    EXPECT_EQ(Read(Riff(upperData)), WaveStatus::kRefused);
}

TEST(ReadWaveFile, RiffSizeIsNotExamined) {
    Bytes chunks = Chunk("fmt ", Fmt16());
    Append(chunks, Chunk("data", Samples(4)));
    for (int64_t size : {int64_t(0), int64_t(3), int64_t(0x7FFFFFFF), int64_t(0xFFFFFFFF)})
        EXPECT_EQ(Read(Riff(chunks, "RIFF", "WAVE", size)), WaveStatus::kOk) << size;
}

TEST(ReadWaveFile, CompressedFormatsPassAndOnlyEighteenBytesAreTaken) {
    Bytes fmt = riff_test::WaveFormat(0x11, 1, 22050, 512, 4); // IMA ADPCM
    fmt[16] = 2;                                               // cbSize: two extra bytes follow
    fmt.push_back(0xF9);
    fmt.push_back(0x03);
    Bytes chunks = Chunk("fmt ", fmt);
    Append(chunks, Chunk("fact", Bytes(4, 0)));
    Append(chunks, Chunk("data", Samples(1024)));
    wavconv::WaveData d;
    ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(d.format.wFormatTag, 0x11);
    EXPECT_EQ(d.format.cbSize, 2);
    EXPECT_EQ(Bytes(d.formatBytes, d.formatBytes + 18), Bytes(fmt.begin(), fmt.begin() + 18));
    EXPECT_EQ(d.size, 1024u);
    // The stream gets the record and the two bytes its cbSize announces.
    EXPECT_EQ(wavconv::streamFormat(d), fmt);
}

TEST(ReadWaveFile, FormatChunkMustHoldTheWholeExtensionItAnnounces) {
    // WAVE_FORMAT_EXTENSIBLE: a 40-byte chunk, cbSize 22.
    Bytes ext = riff_test::WaveFormat(0xFFFE, 2, 48000, 6, 24);
    ext[16] = 22;
    for (int i = 0; i < 22; i++)
        ext.push_back(uint8_t(0xA0 + i));
    Bytes chunks = Chunk("fmt ", ext);
    Append(chunks, Chunk("data", Samples(60)));
    wavconv::WaveData d;
    ASSERT_EQ(Read(Riff(chunks), d), WaveStatus::kOk);
    EXPECT_EQ(wavconv::streamFormat(d), ext);

    // cbSize claims more than the chunk holds: part of the extension, or none of it
    // (the bare 18-byte record, followed directly by the data chunk).
    for (size_t cut : {size_t(30), size_t(18)}) {
        chunks = Chunk("fmt ", Bytes(ext.begin(), ext.begin() + cut));
        Append(chunks, Chunk("data", Samples(60)));
        EXPECT_EQ(Read(Riff(chunks)), WaveStatus::kRefused) << cut;
    }
}

TEST(ReadWaveFile, HostileStructuresAreRefused) {
    // No data chunk at all, and a header cut short where data would begin.
    Bytes noData = Chunk("fmt ", Fmt16());
    Append(noData, Chunk("LIST", Bytes(4, 'i')));
    EXPECT_EQ(Read(Riff(noData)), WaveStatus::kRefused);
    Bytes cut = Canonical(Samples(8));
    cut.resize(40);
    EXPECT_EQ(Read(cut), WaveStatus::kRefused);

    // A chunk that runs past the end of the file while walking.
    Bytes pastEnd = Chunk("fmt ", Fmt16());
    Append(pastEnd, Chunk("LIST", Bytes(4, 'i'), 1000));
    Append(pastEnd, Chunk("data", Samples(8)));
    EXPECT_EQ(Read(Riff(pastEnd)), WaveStatus::kRefused);

    // Negative sizes: format chunk, a chunk in the walk, the data chunk.
    Bytes negFmt = Chunk("fmt ", Fmt16(), 0xFFFFFFFE);
    Append(negFmt, Chunk("data", Samples(8)));
    EXPECT_EQ(Read(Riff(negFmt)), WaveStatus::kRefused);
    Bytes negWalk = Chunk("fmt ", Fmt16());
    Append(negWalk, Chunk("LIST", Bytes(4, 'i'), 0xFFFFFFF8)); // -8 would loop back
    Append(negWalk, Chunk("data", Samples(8)));
    EXPECT_EQ(Read(Riff(negWalk)), WaveStatus::kRefused);
    Bytes negData = Chunk("fmt ", Fmt16());
    Append(negData, Chunk("data", Samples(8), 0x80000000));
    EXPECT_EQ(Read(Riff(negData)), WaveStatus::kRefused);

    // A format chunk larger than the file.
    Bytes bigFmt = Chunk("fmt ", Fmt16(), 5000);
    EXPECT_EQ(Read(Riff(bigFmt)), WaveStatus::kRefused);

    // Too short to be anything.
    EXPECT_EQ(Read(Bytes{'R', 'I', 'F', 'F'}), WaveStatus::kRefused);
    EXPECT_EQ(Read(Bytes{}), WaveStatus::kRefused);
}

TEST(ReadWaveFile, UnusableFormatsAreRefused) {
    auto withFmt = [](const Bytes& fmt) {
        Bytes chunks = Chunk("fmt ", fmt);
        Append(chunks, Chunk("data", Samples(8)));
        return Riff(chunks);
    };
    EXPECT_EQ(Read(withFmt(Fmt16(2, 44100, 0))), WaveStatus::kRefused);      // nBlockAlign 0
    EXPECT_EQ(Read(withFmt(Fmt16(2, 44100, 0x8000))), WaveStatus::kRefused); // negative
    EXPECT_EQ(Read(withFmt(Fmt16(2, 0, 4))), WaveStatus::kRefused);          // no rate
    // 32767 x 65539 does not fit in 32 signed bits; 32767 x 65538 does.
    EXPECT_EQ(Read(withFmt(Fmt16(2, 65539, 32767))), WaveStatus::kRefused);
    EXPECT_EQ(Read(withFmt(Fmt16(2, 65538, 32767))), WaveStatus::kOk);
    EXPECT_EQ(Read(withFmt(Fmt16(2, 0x80000000u, 1))), WaveStatus::kRefused); // negative rate
}

TEST(ReadWaveFile, DataRunningPastTheEndGivesTheBytesThatAreThere) {
    Bytes chunks = Chunk("fmt ", Fmt16());
    Bytes data = Chunk("data", Samples(10), 4000);
    Append(chunks, data);
    Bytes file = Riff(chunks);
    wavconv::WaveData d;
    ASSERT_EQ(Read(file, d), WaveStatus::kOk);
    EXPECT_EQ(d.declaredSize, 4000u);
    EXPECT_EQ(d.size, 10u);
    EXPECT_EQ(SamplesOf(d), Samples(10));
}

TEST(ReadWaveFile, EmptyDataChunkIsAccepted) {
    wavconv::WaveData d;
    ASSERT_EQ(Read(Canonical(Bytes{}), d), WaveStatus::kOk);
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
    HugeStore huge(Canonical(Samples(8)));
    wavconv::WaveData d;
    EXPECT_EQ(wavconv::readWaveFile(huge, d), WaveStatus::kRefused);
}

TEST(ReadWaveFile, ReadFailuresAreReportedAsSuch) {
    FailingStore store(Canonical(Samples(8)), 44);
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
    Bytes file = Canonical(Samples(400));
    riff::MemoryStore viewable(file);
    CopyOnlyStore copyOnly(file);
    wavconv::WaveData inPlace, copied;
    ASSERT_EQ(wavconv::readWaveFile(viewable, inPlace), WaveStatus::kOk);
    ASSERT_EQ(wavconv::readWaveFile(copyOnly, copied), WaveStatus::kOk);
    EXPECT_EQ(inPlace.samples, viewable.bytes().data() + 44); // no copy
    EXPECT_FALSE(inPlace.buffer);
    EXPECT_TRUE(copied.buffer);
    EXPECT_EQ(SamplesOf(inPlace), SamplesOf(copied));
}
