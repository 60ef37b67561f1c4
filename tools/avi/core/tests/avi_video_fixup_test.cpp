#include "avi_video_fixup.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

using namespace riff_test;

namespace {

Bytes indexEntry(const std::string& id, uint32_t flags) {
    Bytes e;
    putTag(e, id);
    putU32(e, flags);
    putU32(e, 4);
    putU32(e, 8);
    return e;
}

// An AVI with a 10 fps video stream (strf compression given) and a PCM stream, the main
// header's frame period set to `period` and the given idx1 entries.
Bytes videoAvi(uint32_t period, uint32_t compression, const Bytes& index) {
    Bytes avih;
    putU32(avih, period);
    avih.resize(56, 0);
    Bytes bitmap(40, 0);
    bitmap[16] = uint8_t(compression);
    bitmap[17] = uint8_t(compression >> 8);
    bitmap[18] = uint8_t(compression >> 16);
    bitmap[19] = uint8_t(compression >> 24);
    Bytes video = strhChunk("vids", 1, 10, 3, 0);
    append(video, chunk("strf", bitmap));
    Bytes hdrl = chunk("avih", avih);
    append(hdrl, list("LIST", "strl", video));
    append(hdrl, audioStreamList(6, 4));
    Bytes movi = chunk("00db", Bytes(8, 0));
    append(movi, chunk("01wb", Bytes(8, 0)));
    Bytes body;
    putTag(body, "AVI ");
    append(body, list("LIST", "hdrl", hdrl));
    append(body, list("LIST", "movi", movi));
    append(body, chunk("idx1", index));
    return chunk("RIFF", body);
}

Bytes wineIndex() {
    Bytes index = indexEntry("00db", 0x10);
    append(index, indexEntry("01wb", 0x10));
    append(index, indexEntry("00db", 0)); // later frames lost their flag
    append(index, indexEntry("00db", 0));
    return index;
}

// Flags of idx1 entry i in a videoAvi() image (the index is the file's last chunk).
uint32_t flagsAt(const Bytes& avi, size_t entries, size_t i) {
    return u32At(avi, avi.size() - 16 * entries + 16 * i + 4);
}

} // namespace

TEST(MicroSecondsPerFrame, RoundsTheFramePeriod) {
    EXPECT_EQ(avi::microSecondsPerFrame(1, 10), 100000u);
    EXPECT_EQ(avi::microSecondsPerFrame(1001, 30000), 33367u);
    EXPECT_EQ(avi::microSecondsPerFrame(1, 3), 333333u);
    EXPECT_EQ(avi::microSecondsPerFrame(1, 0), 0u);
}

TEST(FixVideoHeaders, CorrectsAnInvertedPeriodAndLostKeyFrameFlags) {
    riff::MemoryStore store(videoAvi(10000000, 0, wineIndex()));
    auto r = avi::fixVideoHeaders(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 2);
    const Bytes& out = store.bytes();
    avi::AviLayout layout;
    riff::MemoryStore check(out);
    ASSERT_TRUE(avi::readAviLayout(check, layout));
    EXPECT_EQ(u32At(out, size_t(layout.avih)), 100000u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(flagsAt(out, 4, i), 0x10u) << i;
    // A second pass finds nothing left to do.
    auto again = avi::fixVideoHeaders(store);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.corrected, 0);
}

TEST(FixVideoHeaders, LeavesRightHeadersAndCompressedVideoAlone) {
    // A period off by one microsecond is rounding, not a fault.
    Bytes right = videoAvi(100001, 0, [] {
        Bytes index = indexEntry("00db", 0x10);
        append(index, indexEntry("00db", 0x10));
        return index;
    }());
    riff::MemoryStore store(right);
    auto r = avi::fixVideoHeaders(store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(store.bytes(), right);

    // Run-length frames depend on earlier ones: their flags are the compressor's.
    Bytes rle = videoAvi(100000, 1, wineIndex());
    riff::MemoryStore rle_store(rle);
    r = avi::fixVideoHeaders(rle_store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(flagsAt(rle_store.bytes(), 4, 2), 0u);
    // The audio stream's entries are never touched.
    Bytes audio_unflagged = indexEntry("01wb", 0);
    riff::MemoryStore audio_store(videoAvi(100000, 0, audio_unflagged));
    r = avi::fixVideoHeaders(audio_store);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(flagsAt(audio_store.bytes(), 1, 0), 0u);
}

TEST(FixVideoHeaders, RefusesADamagedFile) {
    Bytes avi = videoAvi(10000000, 0, wineIndex());
    avi.resize(avi.size() - 20);
    riff::MemoryStore store(avi);
    auto r = avi::fixVideoHeaders(store);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(store.bytes(), avi);
}

TEST(FixVideoHeaders, TheLongestFramePeriodIsCorrectedOnceAndThenLeftAlone) {
    // A stored period of 0xFFFFFFFF: right for a stream of 0xFFFFFFFF s per frame, wrong
    // for 10 fps; either way a second run has nothing to correct.
    Bytes slow = videoAvi(0xFFFFFFFFu, 0, wineIndex());
    const size_t scale = 8 + 4 + 8 + 4 + 8 + 56 + 8 + 4 + 8 + 20;
    for (int i = 0; i < 4; ++i)
        slow[scale + i] = 0xFF; // dwScale 0xFFFFFFFF at rate 10
    for (const Bytes& avi : {slow, videoAvi(0xFFFFFFFFu, 0, wineIndex())}) {
        riff::MemoryStore store(avi);
        ASSERT_TRUE(avi::fixVideoHeaders(store).ok);
        avi::FixupResult again = avi::fixVideoHeaders(store);
        EXPECT_TRUE(again.ok);
        EXPECT_EQ(again.corrected, 0);
    }
    riff::MemoryStore store(slow);
    EXPECT_EQ(avi::fixVideoHeaders(store).corrected, 1); // the index flags only
    EXPECT_EQ(u32At(store.bytes(), 8 + 4 + 8 + 4 + 8), 0xFFFFFFFFu);
}
