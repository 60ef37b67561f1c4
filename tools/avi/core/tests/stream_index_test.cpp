#include "stream_index.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

using namespace riff_test;
using Data = avi::StreamMeasure::Data;

namespace {

struct Entry {
    std::string id;
    uint32_t flags;
    uint32_t size;
};

// An AVI whose movi list holds a chunk of `size` bytes per entry and whose idx1 lists them
// (or not, without `indexed`).
Bytes indexedAvi(const Bytes& streamLists, const std::vector<Entry>& entries, bool indexed = true) {
    Bytes hdrl = chunk("avih", Bytes(56, 0));
    append(hdrl, streamLists);
    Bytes movi, index;
    uint32_t offset = 4;
    for (const Entry& e : entries) {
        append(movi, chunk(e.id, Bytes(e.size, 7)));
        putTag(index, e.id);
        putU32(index, e.flags);
        putU32(index, offset);
        putU32(index, e.size);
        offset += 8 + e.size + (e.size & 1);
    }
    Bytes body;
    putTag(body, "AVI ");
    append(body, list("LIST", "hdrl", hdrl));
    append(body, list("LIST", "movi", movi));
    if (indexed) append(body, chunk("idx1", index));
    return chunk("RIFF", body);
}

// Variable-rate audio as encoders write it: no sample size, dwLength counting chunks, and an
// nBlockAlign (a whole frame's samples) that a reader may take for the sample size.
Bytes variableRateAudio(uint32_t length, uint32_t start = 0) {
    Bytes strh = strhChunk("auds", 9, 125, length, 0);
    std::copy_n(Bytes{uint8_t(start), uint8_t(start >> 8), 0, 0}.begin(), 4,
                strh.begin() + 8 + avi::kStrhStart);
    Bytes strl = strh;
    append(strl, chunk("strf", waveFormat(0x55, 1, 8000, 576, 0)));
    return list("LIST", "strl", strl);
}

std::vector<avi::StreamMeasure> measure(const Bytes& avi) {
    riff::MemoryStore store(avi);
    std::vector<avi::StreamMeasure> m;
    EXPECT_TRUE(avi::measureStreams(store, m));
    return m;
}

} // namespace

TEST(MeasureStreams, CountsWhatTheIndexHoldsInTheHeadersUnits) {
    Bytes streams = videoStreamList(3);
    append(streams, variableRateAudio(3));
    append(streams, audioStreamList(50, 4));
    std::vector<Entry> entries = {{"00dc", 0x10, 100}, {"01wb", 0x10, 72}, {"02wb", 0x10, 120},
                                  {"00dc", 0, 0},      {"01wb", 0x10, 72}, {"02wb", 0x10, 80},
                                  {"00dc", 0, 30},     {"01wb", 0x10, 500}};
    std::vector<avi::StreamMeasure> m = measure(indexedAvi(streams, entries));
    ASSERT_EQ(m.size(), 3u);
    // Video: every chunk is a frame, an empty one too.
    EXPECT_EQ(m[0].unit, 0u);
    EXPECT_EQ(m[0].held(), 3u);
    EXPECT_EQ(m[0].data(), Data::kWhole);
    // Variable-rate audio is read in its blocks: 644 bytes hold one of 576, not 3 chunks.
    EXPECT_EQ(m[1].unit, 576u);
    EXPECT_EQ(m[1].bytes, 644u);
    EXPECT_EQ(m[1].held(), 1u);
    EXPECT_EQ(m[1].data(), Data::kShort);
    // PCM in its sample size: 200 bytes of 4-byte samples where the header says 50.
    EXPECT_EQ(m[2].unit, 4u);
    EXPECT_EQ(m[2].held(), 50u);
    EXPECT_EQ(m[2].data(), Data::kWhole);
}

TEST(MeasureStreams, EmptyStreamsShortIndexesAndLateStarts) {
    Bytes streams = videoStreamList(4);       // 3 frames indexed
    append(streams, audioStreamList(1, 4));   // no data at all, one sample promised
    append(streams, audioStreamList(0, 4));   // no chunk, none promised: an empty copy
    append(streams, variableRateAudio(1, 1)); // one block, but starting one late
    append(streams, audioStreamList(0, 4));   // one chunk of 0 bytes, none promised
    append(streams, audioStreamList(1, 4));   // one sample in three chunks: three are read
    std::vector<Entry> entries = {{"00dc", 0x10, 10},  {"00dc", 0, 10},   {"00dc", 0, 10},
                                  {"03wb", 0x10, 576}, {"04wb", 0x10, 0}, {"05wb", 0x10, 2},
                                  {"05wb", 0x10, 2},   {"05wb", 0x10, 2}};
    std::vector<avi::StreamMeasure> m = measure(indexedAvi(streams, entries));
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(m[0].data(), Data::kShort);
    EXPECT_EQ(m[1].data(), Data::kEmpty);
    EXPECT_EQ(m[2].data(), Data::kWhole);
    EXPECT_EQ(m[3].data(), Data::kShort);
    EXPECT_EQ(m[4].data(), Data::kEmpty);
    EXPECT_EQ(m[5].held(), 1u);
    EXPECT_EQ(m[5].data(), Data::kShort);
}

TEST(MeasureStreams, WithoutAnIndexTheChunksCountAndTheIndexWinsOverThem) {
    Bytes streams = videoStreamList(2);
    std::vector<Entry> two = {{"00dc", 0x10, 10}, {"00dc", 0, 10}};
    EXPECT_EQ(measure(indexedAvi(streams, two, false))[0].held(), 2u);
    // An index that lists fewer chunks than the movi list holds is what the reader follows.
    Bytes avi = indexedAvi(streams, two);
    riff::MemoryStore store(avi);
    avi::AviLayout layout;
    ASSERT_TRUE(avi::readAviLayout(store, layout));
    Bytes cut = avi;
    cut[size_t(layout.idx1) + 16] = 'X'; // the second entry names no stream now
    std::vector<avi::StreamMeasure> m = measure(cut);
    EXPECT_EQ(m[0].held(), 1u);
    EXPECT_EQ(m[0].data(), Data::kShort);
    riff::MemoryStore damaged(Bytes(avi.begin(), avi.end() - 20));
    std::vector<avi::StreamMeasure> none;
    EXPECT_FALSE(avi::measureStreams(damaged, none));
}

TEST(RestoreKeyFrames, CopiesTheFlagsFrameForFrameAndOnlyOntoTheSameFrames) {
    Bytes streams = videoStreamList(4);
    append(streams, audioStreamList(2, 4));
    // What the platform wrote: key frames lost after the first; audio entries between.
    std::vector<Entry> written = {{"00dc", 0x10, 50}, {"01wb", 0, 4}, {"00dc", 0, 20},
                                  {"00dc", 0, 0},     {"01wb", 0, 4}, {"00dc", 0x2, 40}};
    Bytes avi = indexedAvi(streams, written);
    std::vector<avi::IndexEntry> source = {{0x10, 50}, {0, 20}, {0x10, 0}, {0x10, 40}};
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::restoreKeyFrames(store, 0, source);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    std::vector<avi::IndexEntry> now;
    ASSERT_TRUE(avi::readIndex(store, 0, now));
    ASSERT_EQ(now.size(), 4u);
    const uint32_t flags[] = {0x10, 0, 0x10, 0x12}; // other flags kept
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(now[i].flags, flags[i]) << i;
    ASSERT_TRUE(avi::readIndex(store, 1, now));
    EXPECT_EQ(now[0].flags, 0u); // audio untouched
    EXPECT_EQ(now[1].flags, 0u);
    EXPECT_EQ(avi::restoreKeyFrames(store, 0, source).corrected, 0);

    // Other frames (recompressed, or one missing) are left as they are.
    riff::MemoryStore other(avi);
    source[1].size = 21;
    EXPECT_FALSE(avi::restoreKeyFrames(other, 0, source).ok);
    source[1].size = 20;
    source.pop_back();
    EXPECT_FALSE(avi::restoreKeyFrames(other, 0, source).ok);
    EXPECT_EQ(other.bytes(), avi);
}
