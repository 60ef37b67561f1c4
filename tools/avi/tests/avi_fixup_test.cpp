#include "avi_fixup.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

using namespace riff_test;
using riff::FourCC;

namespace {

// Offset of the first stream header's dwLength in an Avi() image.
size_t LengthOffset(const Bytes& avi, int stream) {
    riff::MemoryStore store(avi);
    avi::AviLayout layout;
    EXPECT_TRUE(avi::ReadAviLayout(store, layout));
    return size_t(layout.streams.at(stream).strh + avi::kStrhLength);
}

} // namespace

TEST(BlockCount, RoundsHalvesToEven) {
    EXPECT_EQ(avi::BlockCount(400, 4), 100u);
    EXPECT_EQ(avi::BlockCount(6, 4), 2u);  // 1.5
    EXPECT_EQ(avi::BlockCount(10, 4), 2u); // 2.5
    EXPECT_EQ(avi::BlockCount(14, 4), 4u); // 3.5
    EXPECT_EQ(avi::BlockCount(5, 4), 1u);  // 1.25
    EXPECT_EQ(avi::BlockCount(0, 3), 0u);
}

TEST(StreamOfChunk, ReadsTwoDigitStreamNumbers) {
    EXPECT_EQ(avi::StreamOfChunk(FourCC("00wb")), 0);
    EXPECT_EQ(avi::StreamOfChunk(FourCC("12dc")), 12);
    EXPECT_EQ(avi::StreamOfChunk(FourCC("ix00")), -1);
    EXPECT_EQ(avi::StreamOfChunk(FourCC("JUNK")), -1);
}

TEST(ReadAviLayout, FindsHeadersFormatsAndDataPerStream) {
    Bytes streams = VideoStreamList(2);
    Append(streams, AudioStreamList(1, 4));
    Bytes movi = Chunk("00dc", Bytes(30, 0));
    Append(movi, Chunk("01wb", Bytes(400, 0)));
    Append(movi, List("LIST", "rec ", Chunk("01wb", Bytes(100, 0))));
    Append(movi, Chunk("00dc", Bytes(31, 0)));
    riff::MemoryStore store(Avi(streams, movi));
    avi::AviLayout layout;
    std::string why;
    ASSERT_TRUE(avi::ReadAviLayout(store, layout, &why)) << why;
    ASSERT_EQ(layout.streams.size(), 2u);
    EXPECT_NE(layout.avih, 0u);
    EXPECT_EQ(layout.avihSize, 56u);
    EXPECT_NE(layout.idx1, 0u);
    EXPECT_EQ(layout.streams[0].fccType, FourCC("vids"));
    EXPECT_EQ(layout.streams[0].dataBytes, 61u);
    EXPECT_EQ(layout.streams[0].dataChunks, 2u);
    EXPECT_EQ(layout.streams[1].fccType, FourCC("auds"));
    EXPECT_EQ(layout.streams[1].dataBytes, 500u);
    EXPECT_EQ(layout.streams[1].strfSize, 18u);
}

TEST(FixAudioLengths, SetsTheLengthToTheBlocksReallyStored) {
    // What the platform writes after one write call: a length of 1.
    Bytes movi = Chunk("00wb", Bytes(4000, 3));
    Append(movi, Chunk("00wb", Bytes(402, 3)));
    Bytes avi = Avi(AudioStreamList(1, 4), movi);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::FixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    size_t at = LengthOffset(avi, 0);
    EXPECT_EQ(U32At(store.Bytes(), at), 1100u); // 4402 / 4 = 1100.5 -> 1100
    // Nothing else changed.
    Bytes expected = avi;
    expected[at] = store.Bytes()[at];
    expected[at + 1] = store.Bytes()[at + 1];
    EXPECT_EQ(store.Bytes(), expected);
}

TEST(FixAudioLengths, IsANoOpOnCorrectFiles) {
    Bytes avi = Avi(AudioStreamList(100, 4), Chunk("00wb", Bytes(400, 3)));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::FixAudioLengths(store);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(store.Bytes(), avi);
}

TEST(FixAudioLengths, LeavesVideoAndUnusableFormatsAlone) {
    Bytes streams = VideoStreamList(7);
    Append(streams, AudioStreamList(1, 0)); // nBlockAlign 0: nothing to count by
    Append(streams, AudioStreamList(1, 2));
    Bytes movi = Chunk("00dc", Bytes(10, 0));
    Append(movi, Chunk("01wb", Bytes(10, 0)));
    Append(movi, Chunk("02wb", Bytes(10, 0)));
    Bytes avi = Avi(streams, movi);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::FixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    EXPECT_EQ(U32At(store.Bytes(), LengthOffset(avi, 0)), 7u);
    EXPECT_EQ(U32At(store.Bytes(), LengthOffset(avi, 1)), 1u);
    EXPECT_EQ(U32At(store.Bytes(), LengthOffset(avi, 2)), 5u);
}

TEST(FixAudioLengths, EmptyAudioStreamGetsLengthZero) {
    Bytes avi = Avi(AudioStreamList(1, 4), Bytes{});
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::FixAudioLengths(store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(U32At(store.Bytes(), LengthOffset(avi, 0)), 0u);
}

TEST(FixAudioLengths, RefusesTruncatedFilesAndChangesNothing) {
    Bytes avi = Avi(AudioStreamList(1, 4), Chunk("00wb", Bytes(400, 3)));
    avi.resize(avi.size() - 30);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::FixAudioLengths(store);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.why.empty());
    EXPECT_EQ(store.Bytes(), avi);
}
