#include "avi_video_fixup.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

using namespace riff_test;

namespace {

Bytes IndexEntry(const std::string& id, uint32_t flags) {
    Bytes e;
    PutTag(e, id);
    PutU32(e, flags);
    PutU32(e, 4);
    PutU32(e, 8);
    return e;
}

// An AVI with a 10 fps video stream (strf compression given) and a PCM stream, the main
// header's frame period set to `period` and the given idx1 entries.
Bytes VideoAvi(uint32_t period, uint32_t compression, const Bytes& index) {
    Bytes avih;
    PutU32(avih, period);
    avih.resize(56, 0);
    Bytes bitmap(40, 0);
    bitmap[16] = uint8_t(compression);
    bitmap[17] = uint8_t(compression >> 8);
    bitmap[18] = uint8_t(compression >> 16);
    bitmap[19] = uint8_t(compression >> 24);
    Bytes video = Strh("vids", 1, 10, 3, 0);
    Append(video, Chunk("strf", bitmap));
    Bytes hdrl = Chunk("avih", avih);
    Append(hdrl, List("LIST", "strl", video));
    Append(hdrl, AudioStreamList(6, 4));
    Bytes movi = Chunk("00db", Bytes(8, 0));
    Append(movi, Chunk("01wb", Bytes(8, 0)));
    Bytes body;
    PutTag(body, "AVI ");
    Append(body, List("LIST", "hdrl", hdrl));
    Append(body, List("LIST", "movi", movi));
    Append(body, Chunk("idx1", index));
    return Chunk("RIFF", body);
}

Bytes WineIndex() {
    Bytes index = IndexEntry("00db", 0x10);
    Append(index, IndexEntry("01wb", 0x10));
    Append(index, IndexEntry("00db", 0)); // later frames lost their flag
    Append(index, IndexEntry("00db", 0));
    return index;
}

// Flags of idx1 entry i in a VideoAvi() image (the index is the file's last chunk).
uint32_t FlagsAt(const Bytes& avi, size_t entries, size_t i) {
    return U32At(avi, avi.size() - 16 * entries + 16 * i + 4);
}

} // namespace

TEST(MicroSecondsPerFrame, RoundsTheFramePeriod) {
    EXPECT_EQ(avi::microSecondsPerFrame(1, 10), 100000u);
    EXPECT_EQ(avi::microSecondsPerFrame(1001, 30000), 33367u);
    EXPECT_EQ(avi::microSecondsPerFrame(1, 3), 333333u);
    EXPECT_EQ(avi::microSecondsPerFrame(1, 0), 0u);
}

TEST(FixVideoHeaders, CorrectsAnInvertedPeriodAndLostKeyFrameFlags) {
    riff::MemoryStore store(VideoAvi(10000000, 0, WineIndex()));
    auto r = avi::fixVideoHeaders(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 2);
    const Bytes& out = store.bytes();
    avi::AviLayout layout;
    riff::MemoryStore check(out);
    ASSERT_TRUE(avi::readAviLayout(check, layout));
    EXPECT_EQ(U32At(out, size_t(layout.avih)), 100000u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(FlagsAt(out, 4, i), 0x10u) << i;
    // A second pass finds nothing left to do.
    auto again = avi::fixVideoHeaders(store);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.corrected, 0);
}

TEST(FixVideoHeaders, LeavesRightHeadersAndCompressedVideoAlone) {
    // A period off by one microsecond is rounding, not a fault.
    Bytes right = VideoAvi(100001, 0, [] {
        Bytes index = IndexEntry("00db", 0x10);
        Append(index, IndexEntry("00db", 0x10));
        return index;
    }());
    riff::MemoryStore store(right);
    auto r = avi::fixVideoHeaders(store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(store.bytes(), right);

    // Run-length frames depend on earlier ones: their flags are the compressor's.
    Bytes rle = VideoAvi(100000, 1, WineIndex());
    riff::MemoryStore rle_store(rle);
    r = avi::fixVideoHeaders(rle_store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(FlagsAt(rle_store.bytes(), 4, 2), 0u);
    // The audio stream's entries are never touched.
    Bytes audio_unflagged = IndexEntry("01wb", 0);
    riff::MemoryStore audio_store(VideoAvi(100000, 0, audio_unflagged));
    r = avi::fixVideoHeaders(audio_store);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(FlagsAt(audio_store.bytes(), 1, 0), 0u);
}

TEST(FixVideoHeaders, RefusesADamagedFile) {
    Bytes avi = VideoAvi(10000000, 0, WineIndex());
    avi.resize(avi.size() - 20);
    riff::MemoryStore store(avi);
    auto r = avi::fixVideoHeaders(store);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(store.bytes(), avi);
}

TEST(FixVideoHeaders, TheLongestFramePeriodIsCorrectedOnceAndThenLeftAlone) {
    // A stored period of 0xFFFFFFFF: right for a stream of 0xFFFFFFFF s per frame, wrong
    // for 10 fps; either way a second run has nothing to correct.
    Bytes slow = VideoAvi(0xFFFFFFFFu, 0, WineIndex());
    const size_t scale = 8 + 4 + 8 + 4 + 8 + 56 + 8 + 4 + 8 + 20;
    for (int i = 0; i < 4; ++i)
        slow[scale + i] = 0xFF; // dwScale 0xFFFFFFFF at rate 10
    for (const Bytes& avi : {slow, VideoAvi(0xFFFFFFFFu, 0, WineIndex())}) {
        riff::MemoryStore store(avi);
        ASSERT_TRUE(avi::fixVideoHeaders(store).ok);
        avi::FixupResult again = avi::fixVideoHeaders(store);
        EXPECT_TRUE(again.ok);
        EXPECT_EQ(again.corrected, 0);
    }
    riff::MemoryStore store(slow);
    EXPECT_EQ(avi::fixVideoHeaders(store).corrected, 1); // the index flags only
    EXPECT_EQ(U32At(store.bytes(), 8 + 4 + 8 + 4 + 8), 0xFFFFFFFFu);
}
