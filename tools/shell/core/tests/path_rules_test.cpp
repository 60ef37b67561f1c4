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
