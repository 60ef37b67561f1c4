#include "chooser_rules.h"

#include <gtest/gtest.h>

using namespace shell;

TEST(Patterns, SplitAtSemicolonsTrimmedAndEmptyPartsDropped) {
    EXPECT_EQ(splitPatterns(L"*.avi"), (std::vector<std::wstring>{L"*.avi"}));
    EXPECT_EQ(splitPatterns(L"*.wav; *.avi ;;"), (std::vector<std::wstring>{L"*.wav", L"*.avi"}));
    EXPECT_EQ(splitPatterns(L""), (std::vector<std::wstring>{L"*.*"}));
    EXPECT_EQ(splitPatterns(L" ; "), (std::vector<std::wstring>{L"*.*"}));
}

TEST(Patterns, RejectsSeparatorsAndReservedCharacters) {
    EXPECT_TRUE(isValidPattern(L"*.wav;a?c.*"));
    EXPECT_TRUE(isValidPattern(L"音声*.wav"));
    for (const wchar_t* bad : {L"..\\*.wav", L"c:*.wav", L"a|b", L"<x>", L"\"q\"", L"a/b", L"\t"})
        EXPECT_FALSE(isValidPattern(bad)) << bad;
}

TEST(Paths, JoinAddsOneSeparatorOnly) {
    EXPECT_EQ(joinPath(L"C:\\", L"a.vbp", FolderEnd::kBackslashOrSlash), L"C:\\a.vbp");
    EXPECT_EQ(joinPath(L"C:\\dir", L"a.vbp", FolderEnd::kBackslashOrSlash), L"C:\\dir\\a.vbp");
    EXPECT_EQ(trimFolder(L"C:\\a\\b\\"), L"C:\\a\\b");
    EXPECT_EQ(trimFolder(L"C:\\"), L"C:\\");
}

TEST(DirTree, AncestorsThenSortedSubfoldersOneLevelDeeper) {
    auto rows = dirTreeRows(L"C:\\games\\src", {L"zeta", L"Alpha", L"beta"});
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].path, L"C:\\");
    EXPECT_EQ(rows[0].depth, 0);
    EXPECT_EQ(rows[1].path, L"C:\\games");
    EXPECT_EQ(rows[1].label, L"games");
    EXPECT_EQ(rows[2].path, L"C:\\games\\src");
    EXPECT_EQ(rows[2].depth, 2);
    EXPECT_EQ(rows[3].label, L"Alpha");
    EXPECT_EQ(rows[4].label, L"beta");
    EXPECT_EQ(rows[5].path, L"C:\\games\\src\\zeta");
    EXPECT_EQ(rows[5].depth, 3);
    EXPECT_EQ(currentRow(L"C:\\games\\src\\"), 2);
}

TEST(DirTree, RootHasOnlyItsSubfolders) {
    auto rows = dirTreeRows(L"Z:\\", {L"tmp"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].label, L"Z:\\");
    EXPECT_EQ(rows[1].path, L"Z:\\tmp");
    EXPECT_EQ(rows[1].depth, 1);
    EXPECT_EQ(currentRow(L"Z:\\"), 0);
}
