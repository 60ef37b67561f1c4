// The shell's chooser and layout in a window of the test process itself; its help viewer
// and drive fallback in a program built on it.
#include "common/owned.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

LRESULT CALLBACK testProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Chooser : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::makeTempFolder(L"shell");
        ASSERT_FALSE(dir.empty());
        for (const wchar_t* name : {L"b.avi", L"A.AVI", L"c.wav", L"音声.wav", L"x.txt"})
            td::writeBytes(td::join(dir, name), "x");
        td::writeBytes(td::join(dir, L"hidden.avi"), "x");
        SetFileAttributesW(td::join(dir, L"hidden.avi").c_str(), FILE_ATTRIBUTE_HIDDEN);
        CreateDirectoryW(td::join(dir, L"folder.avi").c_str(), nullptr);
        CreateDirectoryW(td::join(dir, L"sub").c_str(), nullptr);
        td::writeBytes(td::join(dir, L"sub\\d.avi"), "x");
        GetCurrentDirectoryW(MAX_PATH, saved);
        SetCurrentDirectoryW(dir.c_str());

        WNDCLASSW wc = {};
        wc.lpfnWndProc = testProc;
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
        td::removeTree(dir);
    }
    void command(HWND control, WORD code) {
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
    EXPECT_EQ(td::listItems(chooser.file1), (std::vector<std::wstring>{L"A.AVI", L"b.avi"}));
    EXPECT_EQ(td::listItems(chooser.file2), (std::vector<std::wstring>{L"A.AVI", L"b.avi"}));
    EXPECT_EQ(chooser.file1ListIndex(), -1);
    EXPECT_EQ(chooser.file1Name(), L"");
}

TEST_F(Chooser, OpeningAFolderRefillsBothListsAndClearsTheirSelections) {
    td::selectListItem(chooser.file1, 1);
    SendMessageW(chooser.file2, LB_SETCURSEL, 0, 0);
    command(chooser.file1, LBN_SELCHANGE);
    EXPECT_EQ(file1Clicks, 1);
    EXPECT_EQ(chooser.file1Name(), L"b.avi");
    EXPECT_EQ(chooser.file2Name(), L"A.AVI");

    int sub = td::findListItem(
        chooser.dir1, std::wstring(size_t(td::listIndex(chooser.dir1)) * 2 + 2, L' ') + L"sub");
    ASSERT_GE(sub, 0);
    SendMessageW(chooser.dir1, LB_SETCURSEL, sub, 0);
    command(chooser.dir1, LBN_DBLCLK);
    EXPECT_EQ(chooser.dirPath(), td::join(dir, L"sub"));
    EXPECT_EQ(chooser.filePath(), td::join(dir, L"sub"));
    EXPECT_EQ(td::listItems(chooser.file1), (std::vector<std::wstring>{L"d.avi"}));
    EXPECT_EQ(td::listItems(chooser.file2), (std::vector<std::wstring>{L"d.avi"}));
    EXPECT_EQ(chooser.file1ListIndex(), -1);
    EXPECT_EQ(chooser.file2ListIndex(), -1);

    // The root row opens the drive's root; a path there gets no second separator.
    SendMessageW(chooser.dir1, LB_SETCURSEL, 0, 0);
    command(chooser.dir1, LBN_DBLCLK);
    EXPECT_EQ(chooser.dirPath(), L"Z:\\");
    EXPECT_EQ(shell::joinPath(chooser.filePath(), L"a.vbp", shell::FolderEnd::kBackslashOrSlash),
              L"Z:\\a.vbp");
    EXPECT_EQ(td::listIndex(chooser.dir1), 0);
}

TEST_F(Chooser, PatternsSplitAtSemicolonsAndBadPatternsChangeNothing) {
    EXPECT_TRUE(chooser.setFile1Pattern(L"*.wav;*.AVI"));
    EXPECT_EQ(td::listItems(chooser.file1),
              (std::vector<std::wstring>{L"A.AVI", L"b.avi", L"c.wav", L"音声.wav"}));
    EXPECT_FALSE(chooser.setFile1Pattern(L"*.wav|"));
    EXPECT_FALSE(chooser.setFile1Pattern(L"..\\*.*"));
    EXPECT_EQ(chooser.file1Pattern(), L"*.wav;*.AVI");
    EXPECT_EQ(td::listItems(chooser.file1).size(), 4u);
    EXPECT_TRUE(chooser.setFile1Pattern(L""));
    EXPECT_EQ(td::listItems(chooser.file1).size(), 5u); // every file
    EXPECT_TRUE(chooser.setFile1Pattern(L"*.w"));
    EXPECT_TRUE(td::listItems(chooser.file1).empty());
    // File2 keeps its own pattern.
    EXPECT_EQ(td::listItems(chooser.file2).size(), 2u);
}

TEST(Layout, TwipsScaleByTheScreensDpi) {
    common::WindowDC screen(nullptr);
    int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    EXPECT_EQ(shell::twipsToPixelsX(1440), dpiX);
    EXPECT_EQ(shell::twipsToPixelsY(2880), 2 * dpiY);
    RECT r = shell::toPixels({60, 240, 2415, 300});
    EXPECT_EQ(r.left, MulDiv(60, dpiX, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(2415, dpiX, 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(300, dpiY, 1440));
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

BOOL CALLBACK findOwnDialog(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && td::classOf(w) == L"#32770") {
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
    }
    return TRUE;
}

HWND ownDialog() {
    HWND found = nullptr;
    EnumWindows(findOwnDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST(InputBox, ShowsPromptAndInitialTextAndReturnsWhatWasTyped) {
    td::Box seen;
    std::wstring initialSeen;
    std::thread helper([&] {
        HWND box = nullptr;
        td::waitFor([&] { return (box = ownDialog()) != nullptr; });
        if (!box) return;
        seen = td::readBox(box);
        initialSeen = td::text(td::boxEdit(box));
        td::setText(td::boxEdit(box), L"出力.avi");
        td::pressBoxButton(box, IDOK);
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
        td::waitFor([&] { return (box = ownDialog()) != nullptr; });
        if (box) td::pressBoxButton(box, IDCANCEL);
    });
    std::wstring text = L"stale";
    EXPECT_FALSE(shell::inputBox(nullptr, L"prompt", L"Tamsel", L"x", text));
    EXPECT_EQ(text, L"");
    helper.join();
}

TEST_F(Chooser, File2CanBeMadeInactiveAndKeepsItsSelection) {
    SendMessageW(chooser.file2, LB_SETCURSEL, 1, 0);
    chooser.setFile2Active(false);
    EXPECT_FALSE(td::enabled(chooser.file2));
    common::WindowDC dc(chooser.file2);
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file2, dc.get()), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file1, dc.get()), nullptr);
    chooser.setFile2Active(true);
    EXPECT_TRUE(td::enabled(chooser.file2));
    EXPECT_EQ(chooser.onCtlColorListBox(chooser.file2, dc.get()), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(chooser.file2Name(), L"b.avi");
}

// The shell's help viewer and drive list as a program built on it shows them: KESTROM.EXE
// driven from outside, in a folder of its own.
namespace {

const wchar_t kCaption[] = L"Kestrom - Project file converter";

class ShellInAProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::makeTempFolder(L"shellprog");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        app.reset();
        td::removeTree(dir);
    }
    void start(const std::vector<std::wstring>& env = {}) {
        app = std::make_unique<td::App>(L"KESTROM.EXE", dir, env);
        form = app->waitWindow(kCaption);
        ASSERT_TRUE(form);
        drive1 = td::control(form, shell::kIdDrive1);
        dir1 = td::control(form, shell::kIdDir1);
        ASSERT_TRUE(drive1 && dir1);
    }

    std::wstring dir;
    std::unique_ptr<td::App> app;
    HWND form = nullptr, drive1 = nullptr, dir1 = nullptr;
};

} // namespace

TEST_F(ShellInAProgram, HelpOpensOnceReadsAgainAfterClosingAndClosesWithTheMainWindow) {
    ASSERT_TRUE(td::copyBeside(L"KESTROM.TXT", dir));
    std::string shipped;
    ASSERT_TRUE(td::readBytes(td::join(dir, L"KESTROM.TXT"), shipped));
    std::wstring expected = td::widen(shipped, 932);
    ASSERT_NE(expected.find(L"使い方"), std::wstring::npos); // a real Japanese help text
    start({L"LC_ALL=ja_JP.UTF-8"});
    td::chooseMenu(form, shell::kIdMenuHelp);
    HWND help = app->waitWindow(L"KESTROMの使い方");
    ASSERT_TRUE(help);
    HWND text = td::controlByClass(help, L"Edit");
    ASSERT_TRUE(text);
    EXPECT_EQ(td::text(text), expected);
    // Placed over the main window: centred, a third of the height difference down.
    RECT f, v;
    GetWindowRect(form, &f);
    GetWindowRect(help, &v);
    EXPECT_NEAR(v.left, f.left + ((f.right - f.left) - (v.right - v.left)) / 2.0, 1);
    EXPECT_NEAR(v.top, f.top + ((f.bottom - f.top) - (v.bottom - v.top)) / 3.0, 1);
    RECT c = td::clientRect(help);
    EXPECT_EQ(c.right, shell::twipsToPixelsX(5685));
    EXPECT_EQ(c.bottom, shell::twipsToPixelsY(4275));
    td::screenshot("kestrom-help-japanese");

    // Open: a second Help neither reads the file again nor moves the window.
    td::writeBytes(td::join(dir, L"KESTROM.TXT"), "changed\r\n");
    SetWindowPos(help, nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    td::chooseMenu(form, shell::kIdMenuHelp);
    td::sync(form);
    GetWindowRect(help, &v);
    EXPECT_EQ(v.left, 5);
    EXPECT_EQ(v.top, 7);
    EXPECT_EQ(td::text(text), expected);

    // Closed and opened again: the file is read again and the window placed again.
    td::close(help);
    ASSERT_TRUE(td::waitFor([&] { return !IsWindow(help); }));
    td::chooseMenu(form, shell::kIdMenuHelp);
    help = app->waitWindow(L"KESTROMの使い方");
    ASSERT_TRUE(help);
    EXPECT_EQ(td::text(td::controlByClass(help, L"Edit")), L"changed\r\n");
    GetWindowRect(help, &v);
    EXPECT_NE(v.left, 5);

    // Closing the main window closes the viewer, and the program ends.
    td::close(form);
    DWORD code = 99;
    EXPECT_TRUE(app->waitExit(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(ShellInAProgram, HelpViewerTextFollowsTheClientAreaAndEmptyFilesCountAsNotLoaded) {
    td::writeBytes(td::join(dir, L"KESTROM.TXT"), "");
    start();
    td::chooseMenu(form, shell::kIdMenuHelp);
    HWND help = app->waitWindow(L"KESTROMの使い方");
    ASSERT_TRUE(help);
    HWND text = td::controlByClass(help, L"Edit");
    EXPECT_EQ(td::text(text), L"");
    // Empty: the next Help reads again although the window is open.
    td::writeBytes(td::join(dir, L"KESTROM.TXT"), "second\n");
    td::chooseMenu(form, shell::kIdMenuHelp);
    td::sync(form);
    EXPECT_EQ(td::text(text), L"second\r\n");

    SetWindowPos(help, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    td::sync(help);
    RECT c = td::clientRect(help), t = td::rectInParent(text);
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.right, c.right);
    EXPECT_EQ(t.bottom, c.bottom);
    PostMessageW(help, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    td::sync(help);
    RECT after = td::rectInParent(text);
    EXPECT_EQ(after.right, t.right);
    EXPECT_EQ(after.bottom, t.bottom);
}

TEST_F(ShellInAProgram, MissingHelpFileShowsTheNotFoundText) {
    start();
    td::chooseMenu(form, shell::kIdMenuHelp);
    HWND help = app->waitWindow(L"KESTROMの使い方");
    ASSERT_TRUE(help);
    EXPECT_EQ(td::text(td::controlByClass(help, L"Edit")),
              L"ヘルプ文書[KESTROM.TXT]が見つかりません。");
}

TEST_F(ShellInAProgram, AnUnreadableDriveFallsBackToTheProgramsDrive) {
    // q: points at a folder that does not exist.
    ASSERT_TRUE(td::mapWineDrive(L'q', "/nonexistent-quillon-drive"));
    start();
    int q = td::findListItem(drive1, L"q:");
    if (q >= 0) {
        td::selectListItem(drive1, q);
        td::sync(form);
        EXPECT_TRUE(app->noMessageBox());
        std::wstring own = td::exeFolder().substr(0, 2);
        own[0] = wchar_t(towlower(own[0]));
        EXPECT_EQ(td::listItems(drive1)[size_t(td::listIndex(drive1))], own);
        // The folder list shows a folder of that drive, and the file list follows it.
        auto dirs = td::listItems(dir1);
        ASSERT_FALSE(dirs.empty());
        EXPECT_EQ(towlower(dirs[0][0]), own[0]);
    }
    td::unmapWineDrive(L'q');
    ASSERT_GE(q, 0) << "the mapped drive is not listed";
}
