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

namespace {

// An AVI laid out as the platform writes it: header list, JUNK up to a boundary, movi.
Bytes AviWithJunk(const Bytes& strf, uint32_t junkSize, const std::string& name = "") {
    Bytes strl = Strh("auds", 6, 288000, 10, 6);
    Append(strl, Chunk("strf", strf));
    if (!name.empty()) Append(strl, Chunk("strn", Bytes(name.begin(), name.end())));
    Bytes hdrl = Chunk("avih", Bytes(56, 0));
    Append(hdrl, List("LIST", "strl", strl));
    Bytes body;
    PutTag(body, "AVI ");
    Append(body, List("LIST", "hdrl", hdrl));
    Append(body, Chunk("JUNK", Bytes(junkSize, 0)));
    Append(body, List("LIST", "movi", Chunk("00wb", Bytes(60, 5))));
    Append(body, Chunk("idx1", Bytes(16, 0)));
    return Chunk("RIFF", body);
}

Bytes ExtensibleFormat() {
    Bytes f = WaveFormat(0xFFFE, 2, 48000, 6, 24);
    f[16] = 22;
    for (int i = 0; i < 22; i++)
        f.push_back(uint8_t(0x30 + i));
    return f;
}

Bytes StoredFormat(const Bytes& avi, size_t stream = 0) {
    riff::MemoryStore store(avi);
    avi::AviLayout layout;
    EXPECT_TRUE(avi::ReadAviLayout(store, layout));
    const avi::StreamLayout& s = layout.streams.at(stream);
    return Bytes(avi.begin() + s.strf, avi.begin() + s.strf + s.strfSize);
}

} // namespace

TEST(RestoreStreamFormat, GrowsACutFormatIntoTheJunkRoom) {
    Bytes full = ExtensibleFormat();
    Bytes avi = AviWithJunk(Bytes(full.begin(), full.begin() + 18), 200, "voice");
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::RestoreStreamFormat(store, 0, full);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    const Bytes& out = store.Bytes();
    EXPECT_EQ(out.size(), avi.size());
    std::string why;
    riff::MemoryStore check(out);
    ASSERT_TRUE(riff::CheckStructure(check, FourCC("AVI "), &why)) << why;
    EXPECT_EQ(StoredFormat(out), full);
    // The name after the format moved with it; the data did not move at all.
    riff::MemoryStore after(out);
    avi::AviLayout before, now;
    riff::MemoryStore orig(avi);
    ASSERT_TRUE(avi::ReadAviLayout(orig, before));
    ASSERT_TRUE(avi::ReadAviLayout(after, now));
    EXPECT_EQ(now.streams[0].dataBytes, 60u);
    EXPECT_EQ(now.idx1, before.idx1);
    EXPECT_NE(std::search(out.begin(), out.end(), std::begin("strn"), std::end("strn") - 1),
              out.end());
    EXPECT_EQ(Bytes(out.end() - 100, out.end()), Bytes(avi.end() - 100, avi.end()));
    // A second run finds nothing to do.
    r = avi::RestoreStreamFormat(after, 0, full);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
}

TEST(RestoreStreamFormat, OddFormatsKeepTheirPadByte) {
    Bytes full = WaveFormat(2, 1, 22050, 256, 4);
    full[16] = 3;
    full.insert(full.end(), {1, 2, 3}); // 21 bytes
    Bytes avi = AviWithJunk(Bytes(full.begin(), full.begin() + 18), 100);
    riff::MemoryStore store(avi);
    ASSERT_TRUE(avi::RestoreStreamFormat(store, 0, full).ok);
    riff::MemoryStore check(store.Bytes());
    EXPECT_TRUE(riff::CheckStructure(check, FourCC("AVI ")));
    EXPECT_EQ(StoredFormat(store.Bytes()), full);
}

TEST(RestoreStreamFormat, RefusesWithoutRoomOrWithAnotherFormat) {
    Bytes full = ExtensibleFormat();
    Bytes tight = AviWithJunk(Bytes(full.begin(), full.begin() + 18), 10);
    riff::MemoryStore store(tight);
    EXPECT_FALSE(avi::RestoreStreamFormat(store, 0, full).ok);
    EXPECT_EQ(store.Bytes(), tight);

    Bytes other = full;
    other[0] = 1;
    Bytes avi = AviWithJunk(Bytes(other.begin(), other.begin() + 18), 200);
    riff::MemoryStore mismatch(avi);
    EXPECT_FALSE(avi::RestoreStreamFormat(mismatch, 0, full).ok);
    EXPECT_EQ(mismatch.Bytes(), avi);
    EXPECT_FALSE(avi::RestoreStreamFormat(mismatch, 3, full).ok);
}

TEST(RestoreStreamName, RewritesANameCutByCharacterCount) {
    const std::string name = "\x89\xb9\x89\xb9"
                             "ab"; // two double-byte characters, then ab
    // What the platform writes: (4 characters + 1) bytes, no NUL.
    Bytes avi = AviWithJunk(WaveFormat(1, 1, 8000, 2, 16), 200, name.substr(0, 5));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::RestoreStreamName(store, 0, name);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    const Bytes& out = store.Bytes();
    riff::MemoryStore check(out);
    ASSERT_TRUE(riff::CheckStructure(check, FourCC("AVI ")));
    std::string s(out.begin(), out.end());
    size_t at = s.find("strn");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(U32At(out, at + 4), 7u);
    EXPECT_EQ(s.substr(at + 8, 7), name + '\0');
    EXPECT_EQ(StoredFormat(out), WaveFormat(1, 1, 8000, 2, 16));
    EXPECT_EQ(Bytes(out.end() - 100, out.end()), Bytes(avi.end() - 100, avi.end()));

    // Right already: nothing changes. A shorter name shrinks the chunk and grows the JUNK.
    Bytes before = out;
    riff::MemoryStore again(before);
    r = avi::RestoreStreamName(again, 0, name);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(again.Bytes(), before);
    ASSERT_TRUE(avi::RestoreStreamName(again, 0, "x").ok);
    riff::MemoryStore shrunk(again.Bytes());
    EXPECT_TRUE(riff::CheckStructure(shrunk, FourCC("AVI ")));
    std::string t(again.Bytes().begin(), again.Bytes().end());
    EXPECT_EQ(t.substr(t.find("strn") + 8, 2), std::string("x\0", 2));
}

TEST(RestoreStreamName, EmptyNameWithoutChunkIsLeftAlone) {
    Bytes avi = AviWithJunk(WaveFormat(1, 1, 8000, 2, 16), 200);
    riff::MemoryStore store(avi);
    EXPECT_TRUE(avi::RestoreStreamName(store, 0, "").ok);
    EXPECT_EQ(store.Bytes(), avi);
    EXPECT_FALSE(avi::RestoreStreamName(store, 0, "name").ok); // nowhere to put it
    EXPECT_EQ(store.Bytes(), avi);
}
