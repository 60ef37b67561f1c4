#include "path_rules.h"

#include <gtest/gtest.h>

using namespace shell;

TEST(JoinPath, AddsOneBackslash) {
    EXPECT_EQ(joinPath(L"C:\\", L"a.wav", FolderEnd::kBackslashOnly), L"C:\\a.wav");
    EXPECT_EQ(joinPath(L"C:\\sound", L"a.wav", FolderEnd::kBackslashOnly), L"C:\\sound\\a.wav");
}

TEST(JoinPath, ASlashEndsAFolderOnlyWhenAskedTo) {
    EXPECT_EQ(joinPath(L"Z:/", L"a.vbp", FolderEnd::kBackslashOrSlash), L"Z:/a.vbp");
    EXPECT_EQ(joinPath(L"Z:/", L"a.wav", FolderEnd::kBackslashOnly), L"Z:/\\a.wav");
}

TEST(OutputName, FolderPrefixAndDriveRoot) {
    EXPECT_EQ(outputPath(L"C:\\", L"clip.avi"), L"C:\\clip.avi");
    EXPECT_EQ(outputPath(L"C:\\work", L"clip.avi"), L"C:\\work\\clip.avi");
    EXPECT_EQ(outputPath(L"C:\\work\\", L"clip.avi"), L"C:\\work\\clip.avi");
    EXPECT_EQ(outputPath(L"C:\\work", L"D:\\out\\clip.avi"), L"D:\\out\\clip.avi");
    EXPECT_EQ(outputPath(L"C:\\work", L"..\\clip.avi"), L"..\\clip.avi");
    EXPECT_EQ(joinPath(L"Z:\\", L"", FolderEnd::kBackslashOnly), L"Z:\\");
}

TEST(TemporaryName, OnlyTheProgramsOwnPattern) {
    for (const wchar_t* name : {L"QLN1.tmp", L"QLNA3F.TMP", L"qln9a9f.tmp", L"QLNFFFF.tmp"})
        EXPECT_TRUE(isTemporaryName(name)) << name;
    for (const wchar_t* name : {L"QLN.tmp", L"QLN12345.tmp", L"QLNXY.tmp", L"QLB12.tmp",
                                L"QLS12.tmp", L"QLN12.tmp.avi", L"QLN12.avi", L"xQLN12.tmp"})
        EXPECT_FALSE(isTemporaryName(name)) << name;
}

TEST(TemporaryGuardName, OnePerFileWhateverTheLetterCase) {
    const std::wstring a = temporaryGuardName(L"C:\\Work\\QLN1A.tmp");
    EXPECT_EQ(a, temporaryGuardName(L"c:\\work\\qln1a.TMP"));
    EXPECT_NE(a, temporaryGuardName(L"C:\\Work\\QLN1B.tmp"));
    EXPECT_NE(a, temporaryGuardName(L"D:\\Work\\QLN1A.tmp"));
    EXPECT_EQ(a.rfind(L"Local\\", 0), 0u);
    EXPECT_EQ(a.find(L'\\', 6), std::wstring::npos); // one backslash: the namespace's
}
