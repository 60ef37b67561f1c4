#include "conversion.h"

#include <gtest/gtest.h>

#include <cstring>

using wavconv::fillStreamName;
using wavconv::outputFileName;

TEST(OutputFileName, CutsAtTheFirstDot) {
    EXPECT_EQ(outputFileName(std::wstring(L"voice.wav")), L"voice.avi");
    EXPECT_EQ(outputFileName(std::wstring(L"take.1.wav")), L"take.avi");
    EXPECT_EQ(outputFileName(std::wstring(L"noext")), L"noext.avi");
    EXPECT_EQ(outputFileName(std::wstring(L".wav")), L".avi");
    EXPECT_EQ(outputFileName(std::wstring(L"a.b.wav")), L"a.avi");
    EXPECT_EQ(outputFileName(std::wstring(L"声.WAV")), L"声.avi");
}

TEST(StreamNameFromFile, IsTheNameBeforeTheFirstDot) {
    EXPECT_EQ(wavconv::streamNameFromFile(L"a.b.wav"), L"a");
    EXPECT_EQ(wavconv::streamNameFromFile(L"noext"), L"noext");
    EXPECT_EQ(wavconv::streamNameFromFile(L".wav"), L"");
}

namespace {

size_t sjisBytes(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
}
size_t oneByte(uint8_t) {
    return 1;
}

} // namespace

TEST(FillStreamName, CutsLongNamesSoTheFieldEndsInANul) {
    char field[64];
    std::memset(field, 'x', sizeof field);
    fillStreamName(std::string(100, 'n'), field, oneByte);
    EXPECT_EQ(std::string(field), std::string(63, 'n'));
    EXPECT_EQ(field[63], '\0');

    fillStreamName("short", field, oneByte);
    EXPECT_STREQ(field, "short");
    for (size_t i = 5; i < 64; i++)
        EXPECT_EQ(field[i], '\0') << i;

    fillStreamName("", field, oneByte);
    EXPECT_EQ(field[0], '\0');
}

TEST(FillStreamName, NeverSplitsADoubleByteCharacter) {
    // "a" then 40 two-byte characters: 81 bytes; 63 would split the 32nd character.
    std::string name = "a";
    for (int i = 0; i < 40; i++)
        name += "\x89\xb9"; // "音" in Shift-JIS
    char field[64];
    fillStreamName(name, field, sjisBytes);
    EXPECT_EQ(std::strlen(field), 63u); // a + 31 characters
    fillStreamName(name.substr(1) + "\x89\xb9", field, sjisBytes);
    EXPECT_EQ(std::strlen(field), 62u); // 31 characters; the 32nd would need bytes 62-63
    EXPECT_EQ(field[63], '\0');
}

TEST(FillStreamName, NeverSplitsAUtf8Character) {
    // "a" then three-byte characters: the 21st would need bytes 61-63.
    std::string name = "a";
    for (int i = 0; i < 30; i++)
        name += "\xE9\x9F\xB3"; // "音" in UTF-8
    char field[64];
    fillStreamName(name, field, wavconv::utf8CharBytes);
    EXPECT_EQ(std::string(field), name.substr(0, 61)); // a + 20 characters
    EXPECT_EQ(field[61], '\0');
    // Two- and four-byte characters and bytes that start none.
    std::string mixed = std::string(60, 'b') + "\xF0\x9F\x8E\xB5";
    fillStreamName(mixed, field, wavconv::utf8CharBytes);
    EXPECT_EQ(std::string(field), std::string(60, 'b'));
    fillStreamName(std::string(61, 'b') + "\xC5\x8C", field, wavconv::utf8CharBytes);
    EXPECT_EQ(std::string(field), std::string(61, 'b') + "\xC5\x8C");
    fillStreamName(std::string(62, 'b') + "\xC5\x8C", field, wavconv::utf8CharBytes);
    EXPECT_EQ(std::string(field), std::string(62, 'b'));
    fillStreamName(std::string(62, '\x9F') + "\xE9", field, wavconv::utf8CharBytes);
    EXPECT_EQ(std::string(field), std::string(62, '\x9F') + "\xE9");
}

TEST(MakeStreamHeader, FollowsTheFormat) {
    wavconv::WaveFormat f;
    f.nChannels = 2;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 4;
    wavconv::AudioStreamHeader h = wavconv::makeStreamHeader(f, 400);
    EXPECT_EQ(h.fccType, 0x73647561u);
    EXPECT_EQ(h.dwScale, 4u);
    EXPECT_EQ(h.dwRate, 176400u);
    EXPECT_EQ(h.dwStart, 0u);
    EXPECT_EQ(h.dwLength, 100u);
    EXPECT_EQ(h.dwQuality, 10000u);
    EXPECT_EQ(h.dwSampleSize, 4u);
    // A partial block: 10 / 4 = 2.5 rounds to even, 14 / 4 = 3.5 too.
    EXPECT_EQ(wavconv::makeStreamHeader(f, 10).dwLength, 2u);
    EXPECT_EQ(wavconv::makeStreamHeader(f, 14).dwLength, 4u);
}

TEST(WholeBlockBytes, DropsOnlyAPartialLastBlock) {
    wavconv::WaveFormat f;
    f.nBlockAlign = 4;
    EXPECT_EQ(wavconv::wholeBlockBytes(400, f), 400u);
    EXPECT_EQ(wavconv::wholeBlockBytes(403, f), 400u);
    EXPECT_EQ(wavconv::wholeBlockBytes(3, f), 0u);
    f.nBlockAlign = 3; // 24-bit mono
    EXPECT_EQ(wavconv::wholeBlockBytes(10, f), 9u);
}

TEST(StreamBytes, KeepsEveryByteAndFillsUpAPartialLastBlock) {
    wavconv::WaveFormat f;
    f.nBlockAlign = 1152; // MP3 in WAV: 4160 bytes are 3 blocks and 704 bytes
    EXPECT_EQ(wavconv::streamBytes(4160, f), 4608u);
    EXPECT_EQ(wavconv::streamBytes(3456, f), 3456u);
    EXPECT_EQ(wavconv::streamBytes(1, f), 1152u);
    EXPECT_EQ(wavconv::streamBytes(0, f), 0u);
    f.nBlockAlign = 3; // 24-bit mono
    EXPECT_EQ(wavconv::streamBytes(10, f), 12u);
}
