// The shell's chooser and layout in a window of the test process itself.
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

LRESULT CALLBACK TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Chooser : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::MakeTempFolder(L"shell");
        ASSERT_FALSE(dir.empty());
        for (const wchar_t* name : {L"b.avi", L"A.AVI", L"c.wav", L"音声.wav", L"x.txt"})
            td::WriteBytes(td::Join(dir, name), "x");
        td::WriteBytes(td::Join(dir, L"hidden.avi"), "x");
        SetFileAttributesW(td::Join(dir, L"hidden.avi").c_str(), FILE_ATTRIBUTE_HIDDEN);
        CreateDirectoryW(td::Join(dir, L"folder.avi").c_str(), nullptr);
        CreateDirectoryW(td::Join(dir, L"sub").c_str(), nullptr);
        td::WriteBytes(td::Join(dir, L"sub\\d.avi"), "x");
        GetCurrentDirectoryW(MAX_PATH, saved);
        SetCurrentDirectoryW(dir.c_str());

        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ShellTestForm";
        RegisterClassW(&wc);
        form = shell::createForm(L"ShellTestForm", L"Shell test", 6120, 5055, wc.hInstance);
        ASSERT_TRUE(form);
        chooser.createDrive1(form, {60, 300, 2475, 300});
        chooser.createDir1(form, {60, 960, 2475, 1560});
        chooser.createFile1(form, {2640, 300, 3375, 1890}, L"*.avi");
        chooser.createFile2(form, {2640, 2520, 3375, 1890}, L"*.avi");
        chooser.onFile1Click = [this] { ++file1Clicks; };
        chooser.start();
    }
    void TearDown() override {
        if (form) DestroyWindow(form);
        SetCurrentDirectoryW(saved);
        td::RemoveTree(dir);
    }
    void Command(HWND control, WORD code) {
        chooser.onCommand(MAKEWPARAM(GetDlgCtrlID(control), code),
                          reinterpret_cast<LPARAM>(control));
    }

    std::wstring dir;
    wchar_t saved[MAX_PATH] = L"";
    HWND form = nullptr;
    shell::FileChooser chooser;
    int file1Clicks = 0;
};

} // namespace

TEST_F(Chooser, StartsOnTheCurrentFolderAndListsMatchingFilesOnly) {
    EXPECT_EQ(chooser.dirPath(), dir);
    EXPECT_EQ(chooser.filePath(), dir);
    EXPECT_EQ(chooser.drive(), L"z:");
    // Sorted without regard to case; no folders, no hidden files, other patterns left out.
    EXPECT_EQ(td::ListItems(chooser.file1), (std::vector<std::wstring>{L"A.AVI", L"b.avi"}));
    EXPECT_EQ(td::ListItems(chooser.file2), (std::vector<std::wstring>{L"A.AVI", L"b.avi"}));
    EXPECT_EQ(chooser.file1ListIndex(), -1);
    EXPECT_EQ(chooser.file1Name(), L"");
}

TEST_F(Chooser, OpeningAFolderRefillsBothListsAndClearsTheirSelections) {
    td::SelectListItem(chooser.file1, 1);
    SendMessageW(chooser.file2, LB_SETCURSEL, 0, 0);
    Command(chooser.file1, LBN_SELCHANGE);
    EXPECT_EQ(file1Clicks, 1);
    EXPECT_EQ(chooser.file1Name(), L"b.avi");
    EXPECT_EQ(chooser.file2Name(), L"A.AVI");

    int sub = td::FindListItem(
        chooser.dir1, std::wstring(size_t(td::ListIndex(chooser.dir1)) * 2 + 2, L' ') + L"sub");
    ASSERT_GE(sub, 0);
    SendMessageW(chooser.dir1, LB_SETCURSEL, sub, 0);
    Command(chooser.dir1, LBN_DBLCLK);
    EXPECT_EQ(chooser.dirPath(), td::Join(dir, L"sub"));
    EXPECT_EQ(chooser.filePath(), td::Join(dir, L"sub"));
    EXPECT_EQ(td::ListItems(chooser.file1), (std::vector<std::wstring>{L"d.avi"}));
    EXPECT_EQ(td::ListItems(chooser.file2), (std::vector<std::wstring>{L"d.avi"}));
    EXPECT_EQ(chooser.file1ListIndex(), -1);
    EXPECT_EQ(chooser.file2ListIndex(), -1);

    // The root row opens the drive's root; a path there gets no second separator.
    SendMessageW(chooser.dir1, LB_SETCURSEL, 0, 0);
    Command(chooser.dir1, LBN_DBLCLK);
    EXPECT_EQ(chooser.dirPath(), L"Z:\\");
    EXPECT_EQ(shell::joinPath(chooser.filePath(), L"a.vbp", shell::FolderEnd::kBackslashOrSlash),
              L"Z:\\a.vbp");
    EXPECT_EQ(td::ListIndex(chooser.dir1), 0);
}

TEST_F(Chooser, PatternsSplitAtSemicolonsAndBadPatternsChangeNothing) {
    EXPECT_TRUE(chooser.setFile1Pattern(L"*.wav;*.AVI"));
    EXPECT_EQ(td::ListItems(chooser.file1),
              (std::vector<std::wstring>{L"A.AVI", L"b.avi", L"c.wav", L"音声.wav"}));
    EXPECT_FALSE(chooser.setFile1Pattern(L"*.wav|"));
    EXPECT_FALSE(chooser.setFile1Pattern(L"..\\*.*"));
    EXPECT_EQ(chooser.file1Pattern(), L"*.wav;*.AVI");
    EXPECT_EQ(td::ListItems(chooser.file1).size(), 4u);
    EXPECT_TRUE(chooser.setFile1Pattern(L""));
    EXPECT_EQ(td::ListItems(chooser.file1).size(), 5u); // every file
    EXPECT_TRUE(chooser.setFile1Pattern(L"*.w"));
    EXPECT_TRUE(td::ListItems(chooser.file1).empty());
    // File2 keeps its own pattern.
    EXPECT_EQ(td::ListItems(chooser.file2).size(), 2u);
}

TEST(Layout, TwipsScaleByTheScreensDpi) {
    HDC dc = GetDC(nullptr);
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(shell::twipsToPixelsX(1440), dpiX);
    EXPECT_EQ(shell::twipsToPixelsY(2880), 2 * dpiY);
    RECT r = shell::toPixels({60, 240, 2415, 300});
    EXPECT_EQ(r.left, MulDiv(60, dpiX, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(2415, dpiX, 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(300, dpiY, 1440));
}

TEST(ToolStrings, AboutAndHelpTextsPerTool) {
    EXPECT_EQ(shell::kKestrom.aboutLines.size(), 3u);
    EXPECT_EQ(shell::kTamsel.aboutLines.size(), 4u);
    EXPECT_EQ(shell::kPurnix.aboutLines.size(), 4u);
    EXPECT_STREQ(shell::kTamsel.aboutCaption, L"バージョン情報");
    EXPECT_STREQ(shell::kPurnix.aboutCaption, L"ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_STREQ(shell::kKestrom.helpCaption, L"KESTROMの使い方");
    for (size_t i = 1; i < 4; ++i)
        EXPECT_STREQ(shell::kTamsel.aboutLines[i], shell::kPurnix.aboutLines[i]);
    EXPECT_STREQ(shell::kTamsel.helpFile, L"TAMSEL.TXT");
    EXPECT_STREQ(shell::kPurnix.helpFile, L"PURNIX.TXT");
}

TEST(InitProcess, TurnsOffCriticalErrorBoxesAndKeepsOtherFlags) {
    UINT saved = GetErrorMode();
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    shell::initProcess();
    UINT mode = GetErrorMode();
    SetErrorMode(saved);
    EXPECT_EQ(mode, UINT(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX));
}

namespace {

BOOL CALLBACK FindOwnDialog(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && td::ClassOf(w) == L"#32770") {
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
    }
    return TRUE;
}

HWND OwnDialog() {
    HWND found = nullptr;
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST(InputBox, ShowsPromptAndInitialTextAndReturnsWhatWasTyped) {
    td::Box seen;
    std::wstring initialSeen;
    std::thread helper([&] {
        HWND box = nullptr;
        td::WaitFor([&] { return (box = OwnDialog()) != nullptr; });
        if (!box) return;
        seen = td::ReadBox(box);
        initialSeen = td::Text(td::BoxEdit(box));
        td::SetText(td::BoxEdit(box), L"出力.avi");
        td::PressBoxButton(box, IDOK);
    });
    std::wstring text;
    bool ok =
        shell::inputBox(nullptr, L"保存ファイル名を入力してください。", L"Tamsel", L"a.avi", text);
    helper.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(text, L"出力.avi");
    EXPECT_EQ(seen.caption, L"Tamsel");
    EXPECT_EQ(seen.text, L"保存ファイル名を入力してください。");
    EXPECT_EQ(initialSeen, L"a.avi");
    EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"OK", L"キャンセル"}));
}

TEST(InputBox, CancelGivesNoText) {
    std::thread helper([] {
        HWND box = nullptr;
        td::WaitFor([&] { return (box = OwnDialog()) != nullptr; });
        if (box) td::PressBoxButton(box, IDCANCEL);
    });
    std::wstring text = L"stale";
    EXPECT_FALSE(shell::inputBox(nullptr, L"prompt", L"Tamsel", L"x", text));
    EXPECT_EQ(text, L"");
    helper.join();
}

TEST_F(Chooser, File2CanBeMadeInactiveAndKeepsItsSelection) {
    SendMessageW(chooser.file2, LB_SETCURSEL, 1, 0);
    chooser.setFile2Active(false);
    EXPECT_FALSE(td::Enabled(chooser.file2));
    HDC dc = GetDC(chooser.file2);
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file2, dc), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file1, dc), nullptr);
    chooser.setFile2Active(true);
    EXPECT_TRUE(td::Enabled(chooser.file2));
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file2, dc), GetSysColorBrush(COLOR_WINDOW));
    ReleaseDC(chooser.file2, dc);
    EXPECT_EQ(chooser.file2Name(), L"b.avi");
}
