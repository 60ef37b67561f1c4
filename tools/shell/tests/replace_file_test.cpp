// The replacement of a file by a finished temporary one. The platform's replace is passed
// in: these cases make it fail the ways Windows documents for a call with a backup name,
// leaving the files as Windows says it does for each code. Wine never answers so.
#include "common/owned.h"
#include "shell/replace_file.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

struct Failure {
    DWORD code = 0;
    bool nameTaken = false; // something takes the replaced file's name meanwhile
} g_failure;

BOOL WINAPI failingReplace(LPCWSTR replaced, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) {
    // 1175: the replaced file could not be removed. 1176 with a backup name: the new file
    // could not be moved. Both files keep their names in either case.
    if (g_failure.code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The replaced file lives on under the backup name; the new one keeps its own.
        MoveFileExW(replaced, backup, MOVEFILE_REPLACE_EXISTING);
        if (g_failure.nameTaken) CreateDirectoryW(replaced, nullptr);
    }
    SetLastError(g_failure.code);
    return FALSE;
}

const shell::FileMoves kFailing{failingReplace};

// A replace that succeeds the way Windows' may with a read-only file: the old file, its
// attribute kept, becomes the backup. (Wine's refuses a read-only file with error 5.)
BOOL WINAPI replaceKeepingReadOnly(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD,
                                   LPVOID, LPVOID) {
    return MoveFileExW(replaced, backup, 0) &&
           SetFileAttributesW(backup, FILE_ATTRIBUTE_READONLY) &&
           MoveFileExW(replacement, replaced, 0);
}

const shell::FileMoves kKeepingReadOnly{replaceKeepingReadOnly};

class Replace : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::makeTempFolder(L"replace");
        ASSERT_FALSE(dir.empty());
        target = td::join(dir, L"out.avi");
    }
    void TearDown() override { td::removeTree(dir); }

    std::vector<std::wstring> listing() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        common::FindHandle find(FindFirstFileW(td::join(dir, L"*").c_str(), &found));
        if (!find) return names;
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(find.get(), &found));
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string content(const std::wstring& path) const {
        std::string bytes;
        EXPECT_TRUE(td::readBytes(path, bytes)) << td::narrow(path);
        return bytes;
    }

    // One replacement of the target whose temporary file gets "new".
    DWORD replace(const shell::FileMoves& moves, std::wstring* keptBoth = nullptr) {
        shell::FileReplacement replacement(target, moves);
        if (DWORD error = replacement.begin()) return error;
        EXPECT_TRUE(td::writeBytes(replacement.temp(), "new"));
        DWORD error = replacement.commit();
        if (keptBoth) *keptBoth = replacement.keptBoth();
        return error;
    }

    std::wstring dir, target;
};

TEST_F(Replace, EveryDocumentedFailureLeavesTheOldFileUnderItsNameAndNothingElse) {
    for (DWORD code : {ERROR_UNABLE_TO_REMOVE_REPLACED, ERROR_UNABLE_TO_MOVE_REPLACEMENT,
                       ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(td::writeBytes(target, "old"));
        g_failure = {code, false};
        std::wstring keptBoth = L"unset";
        EXPECT_EQ(replace(kFailing, &keptBoth), code);
        EXPECT_EQ(keptBoth, L"");
        EXPECT_EQ(content(target), "old");
        EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});
    }
}

TEST_F(Replace, WhenTheOldNameCannotBeGivenBackBothTextsStayUnderTheNamesTheWarningShows) {
    ASSERT_TRUE(td::writeBytes(target, "old"));
    g_failure = {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, true};
    std::wstring keptBoth;
    EXPECT_EQ(replace(kFailing, &keptBoth), DWORD(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2));
    std::vector<std::wstring> lines;
    std::wistringstream text(keptBoth);
    for (std::wstring line; std::getline(text, line, L'\r');)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u) << td::narrow(keptBoth);
    EXPECT_EQ(lines[0], L"ファイルを置き換えられませんでした。");
    EXPECT_EQ(lines[1], L"元のファイルは次の名前で残っています。");
    EXPECT_EQ(lines[3], L"新しいファイルは次の名前で保存されています。");
    const std::wstring &backup = lines[2], &temp = lines[4];
    EXPECT_EQ(content(backup), "old");
    EXPECT_EQ(content(temp), "new");
    // Full names in the target's folder, plain ASCII after it.
    for (const std::wstring* name : {&backup, &temp}) {
        ASSERT_EQ(name->rfind(dir + L"\\", 0), 0u) << td::narrow(*name);
        EXPECT_TRUE(std::all_of(name->begin() + long(dir.size()), name->end(), [](wchar_t c) {
            return c > 0x20 && c < 0x7F;
        })) << td::narrow(*name);
    }
    std::vector<std::wstring> expected{L"out.avi", backup.substr(dir.size() + 1),
                                       temp.substr(dir.size() + 1)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(), expected);
    // A later replacement into the folder, which removes the temporary files runs left
    // behind, takes neither (it is refused: a folder has the target's name now).
    EXPECT_EQ(replace(shell::platformMoves()), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(listing(), expected);
}

TEST_F(Replace, ThePlatformsReplaceLeavesOnlyTheNewFileAndRefusalsChangeNothing) {
    // A new name, then an existing file: either way one file, the new text.
    EXPECT_EQ(replace(shell::platformMoves()), 0u);
    EXPECT_EQ(content(target), "new");
    ASSERT_TRUE(td::writeBytes(target, "old"));
    EXPECT_EQ(replace(shell::platformMoves()), 0u);
    EXPECT_EQ(content(target), "new");
    EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});

    // Held by another program without delete sharing: refused before anything is written.
    ASSERT_TRUE(td::writeBytes(target, "old"));
    common::UniqueFile held(CreateFileW(target.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    {
        shell::FileReplacement replacement(target);
        EXPECT_EQ(replacement.begin(), DWORD(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(replacement.targetRefused());
        EXPECT_EQ(replacement.temp(), L"");
    }
    held.reset();
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});

    // A folder cannot be created in: the temporary file is refused, not the target.
    shell::FileReplacement nowhere(td::join(dir, L"missing\\out.avi"));
    EXPECT_NE(nowhere.begin(), 0u);
    EXPECT_FALSE(nowhere.targetRefused());
    EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});
}

TEST_F(Replace, AReadOnlyTargetIsRefusedUntouchedAndAReadOnlyBackupStillGoes) {
    ASSERT_TRUE(td::writeBytes(target, "old"));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesW(target.c_str());
    {
        shell::FileReplacement replacement(target);
        EXPECT_EQ(replacement.begin(), DWORD(ERROR_ACCESS_DENIED));
        EXPECT_TRUE(replacement.targetRefused());
        EXPECT_EQ(replacement.temp(), L"");
    }
    EXPECT_EQ(content(target), "old");
    EXPECT_EQ(GetFileAttributesW(target.c_str()), attributes);
    EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});

    // Made read-only after the check: the replace leaves a read-only backup, which is
    // deleted all the same (Wine refuses to delete a read-only file, as Windows does).
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(replace(kKeepingReadOnly), 0u);
    EXPECT_EQ(content(target), "new");
    EXPECT_EQ(listing(), std::vector<std::wstring>{L"out.avi"});
}

} // namespace
