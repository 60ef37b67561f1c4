#include "riff.h"
#include "file_store.h"
#include "riff_builder.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace riff_test;
using riff::fourCC;
using riff::Status;

TEST(FourCC, PacksFirstCharacterLow) {
    EXPECT_EQ(fourCC("RIFF"), 0x46464952u);
    EXPECT_EQ(fourCC("data"), 0x61746164u);
    EXPECT_EQ(fourCC("auds"), 0x73647561u);
    EXPECT_EQ(fourCC("WAVE"), 0x45564157u);
    EXPECT_EQ(fourCC("fmt "), 0x20746D66u);
    // Bytes above 0x7F stay whole whether char is signed or not.
    EXPECT_EQ(fourCC("\xff\xfe\x80\x01"), 0x0180FEFFu);
}

TEST(WalkChunks, VisitsChunksAndSkipsPadBytes) {
    Bytes b = chunk("odd ", Bytes(3, 7));
    append(b, list("LIST", "INFO", Bytes{}));
    append(b, chunk("last", Bytes(2, 1)));
    riff::MemoryStore store(b);
    std::vector<riff::Chunk> seen;
    ASSERT_EQ(riff::walkChunks(store, 0, b.size(),
                               [&](const riff::Chunk& c) {
                                   seen.push_back(c);
                                   return Status::kOk;
                               }),
              Status::kOk);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].id, fourCC("odd "));
    EXPECT_EQ(seen[0].size, 3u);
    EXPECT_EQ(seen[1].header, 12u); // 8 + 3 + pad
    EXPECT_EQ(seen[1].form, fourCC("INFO"));
    EXPECT_EQ(seen[2].id, fourCC("last"));
}

TEST(WalkChunks, RefusesChunksThatCrossTheLimit) {
    Bytes b = chunk("good", Bytes(4, 0));
    append(b, chunk("long", Bytes(4, 0), 5)); // declares one byte more than there is
    riff::MemoryStore store(b);
    int visited = 0;
    auto count = [&](const riff::Chunk&) {
        visited++;
        return Status::kOk;
    };
    EXPECT_EQ(riff::walkChunks(store, 0, b.size(), count), Status::kTruncated);
    EXPECT_EQ(visited, 1);
    // A limit inside the file bounds the walk as the file's end does.
    visited = 0;
    EXPECT_EQ(riff::walkChunks(store, 0, 10, count), Status::kTruncated);
    EXPECT_EQ(visited, 0);
    // A huge declared size must not wrap around.
    Bytes huge = chunk("huge", Bytes(4, 0), 0xFFFFFFFF);
    riff::MemoryStore hugeStore(huge);
    EXPECT_EQ(riff::walkChunks(hugeStore, 0, huge.size(), count), Status::kTruncated);
}

TEST(WalkChunks, StopEndsTheWalkWithoutError) {
    Bytes b = chunk("a   ", {});
    append(b, chunk("b   ", {}));
    riff::MemoryStore store(b);
    int visited = 0;
    EXPECT_EQ(riff::walkChunks(store, 0, b.size(),
                               [&](const riff::Chunk&) {
                                   visited++;
                                   return Status::kStop;
                               }),
              Status::kOk);
    EXPECT_EQ(visited, 1);
}

TEST(CheckStructure, AcceptsSoundFilesAndTrailingBytes) {
    Bytes avi = aviFile(audioStreamList(1, 4), chunk("00wb", Bytes(400, 1)));
    riff::MemoryStore store(avi);
    std::string why;
    EXPECT_TRUE(riff::checkStructure(store, fourCC("AVI "), &why)) << why;
    EXPECT_TRUE(riff::checkStructure(store, 0));
    avi.push_back(0);
    avi.push_back(0);
    riff::MemoryStore padded(avi);
    EXPECT_TRUE(riff::checkStructure(padded, fourCC("AVI ")));
}

TEST(CheckStructure, RefusesEveryTruncation) {
    Bytes avi = aviFile(audioStreamList(1, 4), chunk("00wb", Bytes(401, 1)));
    for (size_t cut = 0; cut < avi.size(); cut++) {
        riff::MemoryStore store(Bytes(avi.begin(), avi.begin() + cut));
        EXPECT_FALSE(riff::checkStructure(store, fourCC("AVI "))) << "cut at " << cut;
    }
}

TEST(CheckStructure, RefusesNestedOverrunsAndWrongForms) {
    // A child that runs past its list, though still inside the file.
    Bytes inner = chunk("strh", Bytes(8, 0), 20);
    Bytes body;
    putTag(body, "AVI ");
    append(body, list("LIST", "hdrl", inner));
    append(body, chunk("JUNK", Bytes(32, 0)));
    riff::MemoryStore overrun(chunk("RIFF", body));
    std::string why;
    EXPECT_FALSE(riff::checkStructure(overrun, fourCC("AVI "), &why));
    EXPECT_FALSE(why.empty());

    Bytes wave;
    putTag(wave, "WAVE");
    riff::MemoryStore waveStore(chunk("RIFF", wave));
    EXPECT_FALSE(riff::checkStructure(waveStore, fourCC("AVI ")));
    EXPECT_TRUE(riff::checkStructure(waveStore, fourCC("WAVE")));

    riff::MemoryStore text(Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'});
    EXPECT_FALSE(riff::checkStructure(text, 0));
    riff::MemoryStore empty;
    EXPECT_FALSE(riff::checkStructure(empty, 0));
}

TEST(FileStore, ReadsAndOverwritesInPlaceWithoutGrowing) {
    std::string path = testing::TempDir() + "riff_filestore.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out << "0123456789";
    }
    riff::FileStore f;
    ASSERT_TRUE(f.open(path, true));
    EXPECT_EQ(f.Size(), 10u);
    char buf[4] = {};
    ASSERT_TRUE(f.Read(6, buf, 4));
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_FALSE(f.Read(7, buf, 4));
    EXPECT_TRUE(f.Write(2, "ab", 2));
    EXPECT_FALSE(f.Write(9, "xy", 2));
    f.close();
    std::ifstream in(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "01ab456789");
    std::remove(path.c_str());
    EXPECT_FALSE(f.open(path, false));
}
