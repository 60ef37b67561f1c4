#include "avi_fixup.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

using namespace riff_test;
using riff::fourCC;

namespace {

// Offset of the first stream header's dwLength in an aviFile() image.
size_t lengthOffset(const Bytes& avi, int stream) {
    riff::MemoryStore store(avi);
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout));
    return size_t(layout.streams.at(stream).strh + avi::kStrhLength);
}

} // namespace

TEST(BlockCount, RoundsHalvesToEven) {
    EXPECT_EQ(avi::blockCount(400, 4), 100u);
    EXPECT_EQ(avi::blockCount(6, 4), 2u);  // 1.5
    EXPECT_EQ(avi::blockCount(10, 4), 2u); // 2.5
    EXPECT_EQ(avi::blockCount(14, 4), 4u); // 3.5
    EXPECT_EQ(avi::blockCount(5, 4), 1u);  // 1.25
    EXPECT_EQ(avi::blockCount(0, 3), 0u);
}

TEST(StreamOfChunk, ReadsTwoDigitStreamNumbers) {
    EXPECT_EQ(avi::streamOfChunk(fourCC("00wb")), 0);
    EXPECT_EQ(avi::streamOfChunk(fourCC("12dc")), 12);
    EXPECT_EQ(avi::streamOfChunk(fourCC("ix00")), -1);
    EXPECT_EQ(avi::streamOfChunk(fourCC("JUNK")), -1);
}

TEST(ReadAviLayout, FindsHeadersFormatsAndDataPerStream) {
    Bytes streams = videoStreamList(2);
    append(streams, audioStreamList(1, 4));
    Bytes movi = chunk("00dc", Bytes(30, 0));
    append(movi, chunk("01wb", Bytes(400, 0)));
    append(movi, list("LIST", "rec ", chunk("01wb", Bytes(100, 0))));
    append(movi, chunk("00dc", Bytes(31, 0)));
    riff::MemoryStore store(aviFile(streams, movi));
    avi::AviLayout layout;
    std::string why;
    ASSERT_TRUE(avi::readAviLayout(store, layout, &why)) << why;
    ASSERT_EQ(layout.streams.size(), 2u);
    EXPECT_NE(layout.avih, 0u);
    EXPECT_EQ(layout.avihSize, 56u);
    EXPECT_NE(layout.idx1, 0u);
    EXPECT_EQ(layout.streams[0].fccType, fourCC("vids"));
    EXPECT_EQ(layout.streams[0].dataBytes, 61u);
    EXPECT_EQ(layout.streams[0].dataChunks, 2u);
    EXPECT_EQ(layout.streams[1].fccType, fourCC("auds"));
    EXPECT_EQ(layout.streams[1].dataBytes, 500u);
    EXPECT_EQ(layout.streams[1].strfSize, 18u);
}

TEST(FixAudioLengths, SetsTheLengthToTheBlocksReallyStored) {
    // What the platform writes after one write call: a length of 1.
    Bytes movi = chunk("00wb", Bytes(4000, 3));
    append(movi, chunk("00wb", Bytes(402, 3)));
    Bytes avi = aviFile(audioStreamList(1, 4), movi);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    size_t at = lengthOffset(avi, 0);
    EXPECT_EQ(u32At(store.bytes(), at), 1100u); // 4402 / 4 = 1100.5 -> 1100
    // Nothing else changed.
    Bytes expected = avi;
    expected[at] = store.bytes()[at];
    expected[at + 1] = store.bytes()[at + 1];
    EXPECT_EQ(store.bytes(), expected);
}

TEST(FixAudioLengths, IsANoOpOnCorrectFiles) {
    Bytes avi = aviFile(audioStreamList(100, 4), chunk("00wb", Bytes(400, 3)));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(store.bytes(), avi);
}

TEST(FixAudioLengths, LeavesVideoAndUnusableFormatsAlone) {
    Bytes streams = videoStreamList(7);
    append(streams, audioStreamList(1, 0)); // nBlockAlign 0: nothing to count by
    append(streams, audioStreamList(1, 2));
    Bytes movi = chunk("00dc", Bytes(10, 0));
    append(movi, chunk("01wb", Bytes(10, 0)));
    append(movi, chunk("02wb", Bytes(10, 0)));
    Bytes avi = aviFile(streams, movi);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    EXPECT_EQ(u32At(store.bytes(), lengthOffset(avi, 0)), 7u);
    EXPECT_EQ(u32At(store.bytes(), lengthOffset(avi, 1)), 1u);
    EXPECT_EQ(u32At(store.bytes(), lengthOffset(avi, 2)), 5u);
}

TEST(FixAudioLengths, CountsInTheHeadersOwnSampleSize) {
    // Samples of 4 bytes over a format with blocks of 2: 400 bytes are 100 samples.
    Bytes strl = strhChunk("auds", 1, 11025, 1, 4);
    append(strl, chunk("strf", waveFormat(7, 2, 22050, 2, 8)));
    Bytes avi = aviFile(list("LIST", "strl", strl), chunk("00wb", Bytes(400, 3)));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(u32At(store.bytes(), lengthOffset(avi, 0)), 100u);
}

TEST(FixAudioLengths, EmptyAudioStreamGetsLengthZero) {
    Bytes avi = aviFile(audioStreamList(1, 4), Bytes{});
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(u32At(store.bytes(), lengthOffset(avi, 0)), 0u);
}

TEST(FixAudioLengths, RefusesTruncatedFilesAndChangesNothing) {
    Bytes avi = aviFile(audioStreamList(1, 4), chunk("00wb", Bytes(400, 3)));
    avi.resize(avi.size() - 30);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.why.empty());
    EXPECT_EQ(store.bytes(), avi);
}

namespace {

// An AVI laid out as the platform writes it: header list, JUNK up to a boundary, movi.
Bytes aviWithJunk(const Bytes& strf, uint32_t junkSize, const std::string& name = "") {
    Bytes strl = strhChunk("auds", 6, 288000, 10, 6);
    append(strl, chunk("strf", strf));
    if (!name.empty()) append(strl, chunk("strn", Bytes(name.begin(), name.end())));
    Bytes hdrl = chunk("avih", Bytes(56, 0));
    append(hdrl, list("LIST", "strl", strl));
    Bytes body;
    putTag(body, "AVI ");
    append(body, list("LIST", "hdrl", hdrl));
    append(body, chunk("JUNK", Bytes(junkSize, 0)));
    append(body, list("LIST", "movi", chunk("00wb", Bytes(60, 5))));
    append(body, chunk("idx1", Bytes(16, 0)));
    return chunk("RIFF", body);
}

Bytes extensibleFormat() {
    Bytes f = waveFormat(0xFFFE, 2, 48000, 6, 24);
    f[16] = 22;
    for (int i = 0; i < 22; i++)
        f.push_back(uint8_t(0x30 + i));
    return f;
}

Bytes storedFormat(const Bytes& avi, size_t stream = 0) {
    riff::MemoryStore store(avi);
    avi::AviLayout layout;
    EXPECT_TRUE(avi::readAviLayout(store, layout));
    const avi::StreamLayout& s = layout.streams.at(stream);
    return Bytes(avi.begin() + s.strf, avi.begin() + s.strf + s.strfSize);
}

} // namespace

TEST(RestoreStreamFormat, GrowsACutFormatIntoTheJunkRoom) {
    Bytes full = extensibleFormat();
    Bytes avi = aviWithJunk(Bytes(full.begin(), full.begin() + 18), 200, "voice");
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::restoreStreamFormat(store, 0, full);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    const Bytes& out = store.bytes();
    EXPECT_EQ(out.size(), avi.size());
    std::string why;
    riff::MemoryStore check(out);
    ASSERT_TRUE(riff::checkStructure(check, fourCC("AVI "), &why)) << why;
    EXPECT_EQ(storedFormat(out), full);
    // The name after the format moved with it; the data did not move at all.
    riff::MemoryStore after(out);
    avi::AviLayout before, now;
    riff::MemoryStore orig(avi);
    ASSERT_TRUE(avi::readAviLayout(orig, before));
    ASSERT_TRUE(avi::readAviLayout(after, now));
    EXPECT_EQ(now.streams[0].dataBytes, 60u);
    EXPECT_EQ(now.idx1, before.idx1);
    EXPECT_NE(std::search(out.begin(), out.end(), std::begin("strn"), std::end("strn") - 1),
              out.end());
    EXPECT_EQ(Bytes(out.end() - 100, out.end()), Bytes(avi.end() - 100, avi.end()));
    // A second run finds nothing to do.
    r = avi::restoreStreamFormat(after, 0, full);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
}

TEST(RestoreStreamFormat, OddFormatsKeepTheirPadByte) {
    Bytes full = waveFormat(2, 1, 22050, 256, 4);
    full[16] = 3;
    full.insert(full.end(), {1, 2, 3}); // 21 bytes
    Bytes avi = aviWithJunk(Bytes(full.begin(), full.begin() + 18), 100);
    riff::MemoryStore store(avi);
    ASSERT_TRUE(avi::restoreStreamFormat(store, 0, full).ok);
    riff::MemoryStore check(store.bytes());
    EXPECT_TRUE(riff::checkStructure(check, fourCC("AVI ")));
    EXPECT_EQ(storedFormat(store.bytes()), full);
}

TEST(RestoreStreamFormat, RefusesWithoutRoomOrWithAnotherFormat) {
    Bytes full = extensibleFormat();
    Bytes tight = aviWithJunk(Bytes(full.begin(), full.begin() + 18), 10);
    riff::MemoryStore store(tight);
    EXPECT_FALSE(avi::restoreStreamFormat(store, 0, full).ok);
    EXPECT_EQ(store.bytes(), tight);

    Bytes other = full;
    other[0] = 1;
    Bytes avi = aviWithJunk(Bytes(other.begin(), other.begin() + 18), 200);
    riff::MemoryStore mismatch(avi);
    EXPECT_FALSE(avi::restoreStreamFormat(mismatch, 0, full).ok);
    EXPECT_EQ(mismatch.bytes(), avi);
    EXPECT_FALSE(avi::restoreStreamFormat(mismatch, 3, full).ok);
}

TEST(RestoreStreamName, RewritesANameCutByCharacterCount) {
    const std::string name = "\x89\xb9\x89\xb9"
                             "ab"; // two double-byte characters, then ab
    // What the platform writes: (4 characters + 1) bytes, no NUL.
    Bytes avi = aviWithJunk(waveFormat(1, 1, 8000, 2, 16), 200, name.substr(0, 5));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::restoreStreamName(store, 0, name);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    const Bytes& out = store.bytes();
    riff::MemoryStore check(out);
    ASSERT_TRUE(riff::checkStructure(check, fourCC("AVI ")));
    std::string s(out.begin(), out.end());
    size_t at = s.find("strn");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(u32At(out, at + 4), 7u);
    EXPECT_EQ(s.substr(at + 8, 7), name + '\0');
    EXPECT_EQ(storedFormat(out), waveFormat(1, 1, 8000, 2, 16));
    EXPECT_EQ(Bytes(out.end() - 100, out.end()), Bytes(avi.end() - 100, avi.end()));

    // Right already: nothing changes. A shorter name shrinks the chunk and grows the JUNK.
    Bytes before = out;
    riff::MemoryStore again(before);
    r = avi::restoreStreamName(again, 0, name);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(again.bytes(), before);
    ASSERT_TRUE(avi::restoreStreamName(again, 0, "x").ok);
    riff::MemoryStore shrunk(again.bytes());
    EXPECT_TRUE(riff::checkStructure(shrunk, fourCC("AVI ")));
    std::string t(again.bytes().begin(), again.bytes().end());
    EXPECT_EQ(t.substr(t.find("strn") + 8, 2), std::string("x\0", 2));
}

TEST(RestoreStreamName, EmptyNameWithoutChunkIsLeftAlone) {
    Bytes avi = aviWithJunk(waveFormat(1, 1, 8000, 2, 16), 200);
    riff::MemoryStore store(avi);
    EXPECT_TRUE(avi::restoreStreamName(store, 0, "").ok);
    EXPECT_EQ(store.bytes(), avi);
    EXPECT_FALSE(avi::restoreStreamName(store, 0, "name").ok); // nowhere to put it
    EXPECT_EQ(store.bytes(), avi);
}

namespace {

Bytes withFormatTail(const Bytes& format, std::initializer_list<uint8_t> tail) {
    Bytes full = format;
    full.insert(full.end(), tail);
    return full;
}

// A chunk written without the pad byte its odd size asks for.
Bytes unpaddedChunk(const std::string& tag, const Bytes& data) {
    Bytes out;
    putTag(out, tag);
    putU32(out, uint32_t(data.size()));
    append(out, data);
    return out;
}

// The body of an "AVI " RIFF chunk (form type first) from the given children.
Bytes riffOf(const Bytes& children) {
    Bytes body;
    putTag(body, "AVI ");
    append(body, children);
    return chunk("RIFF", body);
}

Bytes hdrlList(const Bytes& streamLists) {
    Bytes hdrl = chunk("avih", Bytes(56, 0));
    append(hdrl, streamLists);
    return list("LIST", "hdrl", hdrl);
}

// Every way a file could lead a resize out of its header list: the call fails and the
// bytes stay as they were.
void expectRefusedUnchanged(const Bytes& avi, size_t stream, const Bytes& format) {
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::restoreStreamFormat(store, stream, format);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(store.bytes(), avi);
    r = avi::restoreStreamName(store, stream, "a longer name than before");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(store.bytes(), avi);
}

} // namespace

TEST(RestoreStreamFormat, RefusesStreamListsAndRoomOutsideTheHeaderList) {
    const Bytes pcm = waveFormat(1, 1, 8000, 2, 16);
    const Bytes longer = withFormatTail(pcm, {1, 2, 3, 4});
    Bytes stream = strhChunk("auds", 2, 16000, 0, 2);
    append(stream, chunk("strf", pcm));
    append(stream, chunk("strn", Bytes{'n', 0}));
    const Bytes strl = list("LIST", "strl", stream);

    // The header list ends the RIFF chunk; the JUNK after it lies outside.
    Bytes avi = riffOf(hdrlList(strl));
    append(avi, chunk("JUNK", Bytes(200, 0)));
    expectRefusedUnchanged(avi, 0, longer);

    // An odd JUNK ends the file without its pad byte: its 11 bytes are no room for 4 more
    // and a header.
    Bytes children = hdrlList(strl);
    append(children, unpaddedChunk("JUNK", Bytes(3, 0)));
    expectRefusedUnchanged(riffOf(children), 0, longer);

    // A second header list after the first one's JUNK holds stream 1.
    children = hdrlList(strl);
    append(children, chunk("JUNK", Bytes(200, 0)));
    append(children, hdrlList(strl));
    append(children, list("LIST", "movi", Bytes{}));
    expectRefusedUnchanged(riffOf(children), 1, longer);
}

TEST(RestoreStreamFormat, ChangesOnlyTheHeaderListAndJunkOfOddLayouts) {
    // The odd format is its list's last chunk and its pad byte is missing; the odd JUNK
    // ends the file without its pad.
    const Bytes stored = withFormatTail(waveFormat(2, 1, 22050, 256, 4), {0});
    const Bytes full = withFormatTail(stored, {9, 8, 7, 6, 5, 4});
    Bytes stream = strhChunk("auds", 256, 22050, 0, 256);
    append(stream, unpaddedChunk("strf", stored));
    Bytes children = hdrlList(list("LIST", "strl", stream));
    append(children, unpaddedChunk("JUNK", Bytes(41, 0)));
    for (const Bytes& avi :
         {riffOf(children), aviWithJunk(Bytes(stored.begin(), stored.begin() + 18), 40)}) {
        riff::MemoryStore store(avi);
        avi::FixupResult r = avi::restoreStreamFormat(store, 0, full);
        ASSERT_TRUE(r.ok) << r.why;
        riff::MemoryStore check(store.bytes());
        std::string why;
        EXPECT_TRUE(riff::checkStructure(check, fourCC("AVI "), &why)) << why;
        EXPECT_EQ(storedFormat(store.bytes()), full);
        EXPECT_EQ(store.bytes().size(), avi.size());
        r = avi::restoreStreamFormat(check, 0, full);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.corrected, 0);
    }
}

TEST(FixAudioLengths, CountsChunksOfStreamsWithoutASampleSize) {
    // Variable-rate audio: three chunks of different sizes are three frames.
    Bytes stream = strhChunk("auds", 1152, 44100, 3, 0);
    append(stream, chunk("strf", waveFormat(0x55, 2, 44100, 1, 0)));
    Bytes movi = chunk("00wb", Bytes(417, 1));
    append(movi, chunk("00wb", Bytes(418, 1)));
    append(movi, chunk("00wb", Bytes(209, 1)));
    Bytes avi = aviFile(list("LIST", "strl", stream), movi);
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::fixAudioLengths(store);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 0);
    EXPECT_EQ(store.bytes(), avi);

    Bytes wrong = avi;
    wrong[lengthOffset(avi, 0)] = 1;
    riff::MemoryStore fixed(wrong);
    r = avi::fixAudioLengths(fixed);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 1);
    EXPECT_EQ(fixed.bytes(), avi);
}

TEST(RestoreStreamRate, SetsOnlyScaleAndRate) {
    Bytes avi = aviFile(audioStreamList(10, 4), chunk("00wb", Bytes(40, 3)));
    riff::MemoryStore store(avi);
    avi::FixupResult r = avi::restoreStreamRate(store, 0, 1024, 22050);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.corrected, 1);
    size_t scale = lengthOffset(avi, 0) - avi::kStrhLength + avi::kStrhScale;
    EXPECT_EQ(u32At(store.bytes(), scale), 1024u);
    EXPECT_EQ(u32At(store.bytes(), scale + 4), 22050u);
    Bytes expected = avi;
    std::copy(store.bytes().begin() + ptrdiff_t(scale),
              store.bytes().begin() + ptrdiff_t(scale + 8), expected.begin() + ptrdiff_t(scale));
    EXPECT_EQ(store.bytes(), expected);
    r = avi::restoreStreamRate(store, 0, 1024, 22050);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.corrected, 0);
    EXPECT_FALSE(avi::restoreStreamRate(store, 1, 1, 1).ok);
    EXPECT_EQ(store.bytes(), expected);
}

TEST(TrimAfterRiff, CutsTrailingZerosOnlyAfterTheLastRiffChunk) {
    Bytes avi = aviFile(audioStreamList(10, 4), chunk("00wb", Bytes(40, 3)));
    Bytes extended = avi;
    Bytes avix;
    putTag(avix, "AVIX");
    append(avix, list("LIST", "movi", chunk("00wb", Bytes(7, 3)))); // odd: pad byte follows
    append(extended, chunk("RIFF", avix));
    for (const Bytes& file : {avi, extended}) {
        Bytes padded = file;
        padded.resize(file.size() + 20, 0);
        riff::MemoryStore store(padded);
        avi::FixupResult r = avi::trimAfterRiff(store);
        ASSERT_TRUE(r.ok) << r.why;
        EXPECT_EQ(r.corrected, 1);
        EXPECT_EQ(store.bytes(), file);
        r = avi::trimAfterRiff(store);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.corrected, 0);
    }
    // Anything but zeros is someone's data; a damaged file is refused.
    Bytes tail = avi;
    tail.resize(avi.size() + 20, 0);
    tail.back() = 1;
    riff::MemoryStore kept(tail);
    EXPECT_TRUE(avi::trimAfterRiff(kept).ok);
    EXPECT_EQ(kept.bytes(), tail);
    Bytes cut(avi.begin(), avi.end() - 3);
    riff::MemoryStore damaged(cut);
    EXPECT_FALSE(avi::trimAfterRiff(damaged).ok);
    EXPECT_EQ(damaged.bytes(), cut);
}

TEST(RestoreStreamName, AnEmptyNameIsNoSuccessOnADamagedFileOrAMissingStream) {
    Bytes avi = aviWithJunk(waveFormat(1, 1, 8000, 2, 16), 200);
    riff::MemoryStore missing(avi);
    EXPECT_FALSE(avi::restoreStreamName(missing, 1, "").ok);
    Bytes zeros(64, 0);
    riff::MemoryStore damaged(zeros);
    EXPECT_FALSE(avi::restoreStreamName(damaged, 0, "").ok);
    EXPECT_EQ(damaged.bytes(), zeros);
}

TEST(ReplaceStreamFormat, PutsBackARecordWhoseFieldsWereRewritten) {
    // A video record with codec data after it, stored with one field changed (and cut).
    Bytes full(146, 0);
    full[0] = 146;
    for (size_t i = 40; i < full.size(); ++i)
        full[i] = uint8_t(i);
    Bytes stored(full.begin(), full.begin() + 120);
    stored[32] = 1; // biClrUsed
    Bytes avi = aviWithJunk(stored, 200);
    riff::MemoryStore store(avi);
    EXPECT_FALSE(avi::restoreStreamFormat(store, 0, full).ok); // not a prefix of it
    avi::FixupResult r = avi::replaceStreamFormat(store, 0, full);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(storedFormat(store.bytes()), full);
    riff::MemoryStore check(store.bytes());
    EXPECT_TRUE(riff::checkStructure(check, fourCC("AVI ")));
    EXPECT_EQ(avi::replaceStreamFormat(check, 0, full).corrected, 0);
}
