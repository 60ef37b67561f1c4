// KESTROM.EXE driven from outside through the GUI test driver, in a folder of real
// project files.
#include "form1_ids.h"
#include "common/owned.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace updater;

namespace {

const wchar_t kCaption[] = L"Kestrom - Project file converter";
const wchar_t kNotice[] = L"このプロジェクトはFarrow1.xのモジュールを含んでいません。";

const char kGame[] = "Type=Exe\r\n"
                     "Form=Form1.frm\r\n"
                     "Module=QsnMain; ..\\farrow\\QSNMAIN.BAS\r\n"
                     "Class=KA; qsnka.cls\r\n"
                     "Class=KE; QSNKE.CLS\r\n"
                     "Class=KI; QsnKi.Cls\r\n"
                     "Class=KO; QSNKO.CLS\r\n"
                     "Class=KU; QSNKU.CLS\r\n"
                     "Class=TA; QSNTA.CLS\r\n"
                     "Class=TE; QSNTE.CLS\r\n"
                     "Class=TI; QSNTI.CLS\r\n"
                     "Class=TO; QSNTO.CLS\r\n"
                     "Class=TU; QSNTU.CLS\r\n"
                     "Class=NA; QSNNA.CLS\r\n"
                     "Startup=\"Form1\"\r\n"
                     "\r\n";

const wchar_t kGameConverted[] = L"Type=Exe\r\n"
                                 L"Form=Form1.frm\r\n"
                                 L"Module=QsnMain; ..\\farrow\\QsnMain2.Bas\r\n"
                                 L"Class=KA; qsnKA2.Cls\r\n"
                                 L"Class=KE; qsnKE2.Cls\r\n"
                                 L"Class=KI; qsnKI2.Cls\r\n"
                                 L"Class=KO; qsnKO2.Cls\r\n"
                                 L"Class=KU; qsnKU2.Cls\r\n"
                                 L"Class=TA; qsnTA2.Cls\r\n"
                                 L"Class=TE; qsnTE2.Cls\r\n"
                                 L"Class=TI; qsnTI2.Cls\r\n"
                                 L"Class=TO; qsnTO2.Cls\r\n"
                                 L"Class=TU; qsnTU2.Cls\r\n"
                                 L"Class=NA; qsnNA2.Cls\r\n"
                                 L"Class=Interpolator; qsnNE2.Cls\r\n"
                                 L"Class=ProgressiveMesh; qsnNI2.Cls\r\n"
                                 L"Startup=\"Form1\"\r\n";

// Unix line ends, fewer than twelve names.
const char kDemo[] = "Type=Exe\nModule=M; qsnmain.bas\nClass=T; QSNTA.CLS\nName=\"Demo\"\n";
const wchar_t kDemoConverted[] =
    L"Type=Exe\r\nModule=M; QsnMain2.Bas\r\nClass=T; qsnTA2.Cls\r\nName=\"Demo\"\r\n";

const char kDone[] = "Type=Exe\r\nModule=M; QsnMain2.Bas\r\nClass=Interpolator; qsnNE2.Cls\r\n";

// Names of the files and folders directly in a folder, sorted.
std::vector<std::wstring> fileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    common::FindHandle search(FindFirstFileW(td::join(folder, L"*").c_str(), &fd));
    if (!search) return names;
    do {
        if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..")
            names.push_back(fd.cFileName);
    } while (FindNextFileW(search.get(), &fd));
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring fileText(const std::wstring& path, UINT codePage = CP_ACP) {
    std::string bytes;
    if (!td::readBytes(path, bytes)) return L"<missing>";
    return td::widen(bytes, codePage);
}

class Kestrom : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::makeTempFolder(L"kestrom");
        ASSERT_FALSE(dir.empty());
        td::writeBytes(td::join(dir, L"Game.vbp"), kGame);
        td::writeBytes(td::join(dir, L"Demo.VBP"), kDemo);
        td::writeBytes(td::join(dir, L"Done.vbp"), kDone);
        td::writeBytes(td::join(dir, L"notes.txt"), "QSNMAIN.BAS\r\n");
        CreateDirectoryW(td::join(dir, L"sub").c_str(), nullptr);
        td::writeBytes(td::join(dir, L"sub\\Other.vbp"), kDemo);
    }
    void TearDown() override {
        app.reset();
        td::removeTree(dir);
    }

    void start(const std::vector<std::wstring>& env = {}, const std::string& unixSetup = {}) {
        app = std::make_unique<td::App>(L"KESTROM.EXE", dir, env, unixSetup);
        form = app->waitWindow(kCaption);
        ASSERT_TRUE(form);
        drive1 = td::control(form, shell::kIdDrive1);
        dir1 = td::control(form, shell::kIdDir1);
        file1 = td::control(form, shell::kIdFile1);
        text1 = td::control(form, kIdText1);
        text2 = td::control(form, kIdText2);
        text3 = td::control(form, kIdText3);
        text4 = td::control(form, kIdText4);
        save = td::control(form, kIdCommand1);
        ASSERT_TRUE(drive1 && dir1 && file1 && text1 && text2 && text3 && text4 && save);
    }

    void choose(const std::wstring& name) {
        ASSERT_TRUE(td::selectListItem(file1, name)) << td::narrow(name);
        td::sync(form);
    }

    // Expects the program's warning box with this text and closes it (after a screenshot
    // when a name is given).
    void expectWarning(const std::wstring& text, const char* shot = nullptr) {
        HWND box = app->waitMessageBox();
        ASSERT_TRUE(box);
        td::Box b = td::readBox(box);
        EXPECT_EQ(b.caption, L"Kestrom");
        EXPECT_EQ(b.icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(b.text, text);
        EXPECT_EQ(b.buttons, (std::vector<std::wstring>{L"OK"}));
        if (shot) td::screenshot(shot);
        EXPECT_TRUE(td::pressBoxButton(box, IDOK));
    }
    void saveFailsWith(DWORD error) {
        ASSERT_TRUE(td::click(save));
        expectWarning(shell::systemErrorText(error));
    }

    // A Japanese project in the ANSI code page the locale gives: read, converted and saved
    // in that code page.
    void convertJapaneseProject(const std::wstring& locale, UINT codePage, const char* shot);

    std::wstring dir;
    std::unique_ptr<td::App> app;
    HWND form = nullptr, drive1 = nullptr, dir1 = nullptr, file1 = nullptr;
    HWND text1 = nullptr, text2 = nullptr, text3 = nullptr, text4 = nullptr, save = nullptr;
};

} // namespace

TEST_F(Kestrom, StartsInTheCurrentFolderWithTheTwipsLayout) {
    start();
    EXPECT_EQ(td::listItems(file1),
              (std::vector<std::wstring>{L"Demo.VBP", L"Done.vbp", L"Game.vbp"}));
    EXPECT_EQ(td::listIndex(file1), -1);
    EXPECT_EQ(td::listItems(drive1)[size_t(td::listIndex(drive1))], L"z:");
    auto dirs = td::listItems(dir1);
    ASSERT_GE(td::listIndex(dir1), 0);
    EXPECT_NE(dirs[size_t(td::listIndex(dir1))].find(dir.substr(dir.rfind(L'\\') + 1)),
              std::wstring::npos);
    EXPECT_NE(
        td::findListItem(dir1, std::wstring(size_t(td::listIndex(dir1)) * 2 + 2, L' ') + L"sub"),
        -1);
    EXPECT_EQ(td::text(text1), L"");
    EXPECT_EQ(td::text(text2), L"");
    EXPECT_EQ(td::text(text3), L"");
    EXPECT_EQ(td::text(text4), L"_2");
    EXPECT_EQ(td::text(save), L"&Save");
    EXPECT_FALSE(td::enabled(save));

    RECT client = td::clientRect(form);
    EXPECT_EQ(client.right, shell::twipsToPixelsX(7665));
    EXPECT_EQ(client.bottom, shell::twipsToPixelsY(5580));
    struct Expect {
        int id, left, top, width, height;
    } rows[] = {{shell::kIdDir1, 60, 900, 2415, 1350}, {shell::kIdFile1, 60, 2640, 2415, 2790},
                {kIdText1, 2580, 60, 4995, 2295},      {kIdText2, 2580, 2460, 4995, 2295},
                {kIdText4, 2580, 5160, 855, 315},      {kIdText3, 3600, 5160, 2415, 315},
                {kIdCommand1, 6180, 5160, 1395, 315},  {kIdLabel1, 60, 0, 435, 180},
                {kIdLabel2, 60, 660, 1305, 180},       {kIdLabel3, 60, 2400, 570, 180},
                {kIdLabel4, 2580, 4920, 780, 180},     {kIdLabel5, 3600, 4920, 1245, 180},
                {shell::kIdDrive1, 60, 240, 2415, 300}};
    for (const auto& row : rows) {
        RECT r = td::rectInParent(td::control(form, row.id));
        SCOPED_TRACE(row.id);
        EXPECT_EQ(r.left, shell::twipsToPixelsX(row.left));
        EXPECT_EQ(r.top, shell::twipsToPixelsY(row.top));
        bool label = row.id >= kIdLabel1 && row.id <= kIdLabel5;
        if (label) {
            // Labels grow to their text but keep their place.
            EXPECT_GE(r.right - r.left, shell::twipsToPixelsX(row.width));
        } else {
            EXPECT_EQ(r.right - r.left, shell::twipsToPixelsX(row.width));
        }
        if (!label && row.id != shell::kIdDrive1) {
            EXPECT_EQ(r.bottom - r.top, shell::twipsToPixelsY(row.height));
        }
    }
    EXPECT_EQ(td::text(td::control(form, kIdLabel3)), L"&Project:");
    EXPECT_EQ(td::text(td::control(form, kIdLabel5)), L"Save &File Name:");
}

TEST_F(Kestrom, ClickingAProjectShowsItReadAndUpgradedAndProposesTheSaveName) {
    start();
    choose(L"Game.vbp");
    // The final empty line of the file is dropped; every line ends in CR LF.
    EXPECT_EQ(td::text(text1), td::widen(std::string(kGame, sizeof(kGame) - 3)));
    EXPECT_EQ(td::text(text2), kGameConverted);
    EXPECT_EQ(td::text(text3), L"Game_2.vbp");
    EXPECT_TRUE(td::enabled(save));
    // Both boxes show their text on screen. (Wine's edit control keeps painting while its
    // drawing is suspended, so this cannot tell whether it was resumed.)
    EXPECT_TRUE(td::waitFor([&] { return td::darkPixels(text1) > 200; })) << td::darkPixels(text1);
    EXPECT_TRUE(td::waitFor([&] { return td::darkPixels(text2) > 200; })) << td::darkPixels(text2);

    choose(L"Demo.VBP"); // LF-only lines load one by one
    EXPECT_EQ(td::text(text1), L"Type=Exe\r\nModule=M; qsnmain.bas\r\nClass=T; QSNTA.CLS\r\n"
                               L"Name=\"Demo\"\r\n");
    EXPECT_EQ(td::text(text2), kDemoConverted);
    EXPECT_EQ(td::text(text3), L"Demo_2.VBP");
    td::setText(text4, L"_old");
    td::sync(form);
    EXPECT_EQ(td::text(text3), L"Demo_old.VBP");
    td::setText(text3, L"");
    td::sync(form);
    EXPECT_FALSE(td::enabled(save));
    td::setText(text4, L"");
    td::sync(form);
    EXPECT_EQ(td::text(text3), L"Demo.VBP");
    EXPECT_TRUE(td::enabled(save));
}

TEST_F(Kestrom, AnUpgradedProjectShowsTheNoticeAndCannotBeSaved) {
    start();
    choose(L"Done.vbp");
    EXPECT_EQ(td::text(text1), td::widen(kDone));
    EXPECT_EQ(td::text(text2), kNotice);
    EXPECT_EQ(td::text(text3), L"Done_2.vbp");
    EXPECT_FALSE(td::enabled(save));
    EXPECT_FALSE(td::click(save));
    choose(L"Game.vbp");
    EXPECT_TRUE(td::enabled(save));
}

TEST_F(Kestrom, SaveWritesTheLowerBoxAndOneLineEndIntoTheShownFolder) {
    start();
    choose(L"Game.vbp");
    ASSERT_TRUE(td::click(save));
    td::sync(form);
    EXPECT_TRUE(app->noMessageBox());
    std::string saved;
    ASSERT_TRUE(td::readBytes(td::join(dir, L"Game_2.vbp"), saved));
    EXPECT_EQ(saved, td::narrow(kGameConverted) + "\r\n");
    std::string source;
    td::readBytes(td::join(dir, L"Game.vbp"), source);
    EXPECT_EQ(source, kGame);
    // The list is not refreshed by a save.
    EXPECT_EQ(td::findListItem(file1, L"Game_2.vbp"), -1);

    // An empty suffix replaces the chosen project with the upgraded text.
    choose(L"Demo.VBP");
    td::setText(text4, L"");
    td::sync(form);
    EXPECT_EQ(td::text(text3), L"Demo.VBP");
    ASSERT_TRUE(td::click(save)) << td::enabled(save);
    td::sync(form);
    EXPECT_EQ(fileText(td::join(dir, L"Demo.VBP")), std::wstring(kDemoConverted) + L"\r\n");
}

TEST_F(Kestrom, SaveFailureShowsTheSystemErrorInAWarningAndChangesNothing) {
    start();
    choose(L"Game.vbp");
    // A folder of the save name: the file cannot be created (root ignores read-only modes).
    ASSERT_TRUE(CreateDirectoryW(td::join(dir, L"Game_2.vbp").c_str(), nullptr));
    saveFailsWith(ERROR_ACCESS_DENIED);
    EXPECT_EQ(td::text(text2), kGameConverted);
    EXPECT_EQ(td::text(text3), L"Game_2.vbp");
    EXPECT_TRUE(td::enabled(save));

    // An invalid name: the system's text for that.
    td::setText(text3, L"bad<name>.vbp");
    td::sync(form);
    ASSERT_TRUE(td::click(save)) << IsWindowEnabled(save) << IsWindowVisible(save) << " "
                                 << std::hex << GetWindowLongW(save, GWL_STYLE) << " "
                                 << td::narrow(td::text(text3)) << " " << IsWindowEnabled(form);
    HWND box = app->waitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(td::readBox(box).text, shell::systemErrorText(ERROR_INVALID_NAME));
    td::pressBoxButton(box, IDOK);
}

TEST_F(Kestrom, AFailedSaveOverTheProjectKeepsItWholeAndLeavesNoTemporaryFile) {
    // Big.vbp's upgraded text is larger than 512 bytes.
    std::string big = kGame;
    for (int i = 0; i < 40; i++)
        big += "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb\r\n";
    td::writeBytes(td::join(dir, L"Big.vbp"), big);
    const std::vector<std::wstring> before = fileNames(dir);
    auto saveOverItself = [&](const std::wstring& name, DWORD error) {
        choose(name);
        td::setText(text4, L"");
        td::sync(form);
        ASSERT_EQ(td::text(text3), name);
        saveFailsWith(error);
    };
    std::string kept;

    // A full disk: the program may write no more than 512 bytes to a file.
    start({}, "ulimit -f 1 && trap '' XFSZ");
    saveOverItself(L"Big.vbp", ERROR_DISK_FULL);
    ASSERT_TRUE(td::readBytes(td::join(dir, L"Big.vbp"), kept));
    EXPECT_EQ(kept, big);
    EXPECT_EQ(fileNames(dir), before);
    app.reset();

    // Another program reads the project and lets nobody write or remove it meanwhile.
    start();
    common::UniqueFile held(CreateFileW(td::join(dir, L"Demo.VBP").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    saveOverItself(L"Demo.VBP", ERROR_SHARING_VIOLATION);
    held.reset();
    ASSERT_TRUE(td::readBytes(td::join(dir, L"Demo.VBP"), kept));
    EXPECT_EQ(kept, kDemo);
    EXPECT_EQ(fileNames(dir), before);
    EXPECT_EQ(td::text(text2), kDemoConverted);

    // Once it is free, the same save replaces it.
    ASSERT_TRUE(td::click(save));
    td::sync(form);
    EXPECT_TRUE(app->noMessageBox());
    EXPECT_EQ(fileText(td::join(dir, L"Demo.VBP")), std::wstring(kDemoConverted) + L"\r\n");
    EXPECT_EQ(fileNames(dir), before);
}

TEST_F(Kestrom, AProjectHoldingANulByteIsRefusedAndNothingChanges) {
    const std::string withNul =
        std::string("Type=Exe\r\nModule=M; QSNMAIN.BAS\r\n") + '\0' + "Class=T; QSNTA.CLS\r\n";
    td::writeBytes(td::join(dir, L"Broken.vbp"), withNul);
    start();
    for (const wchar_t* first : {L"", L"Game.vbp"}) {
        SCOPED_TRACE(td::narrow(first));
        if (*first) choose(first);
        const std::wstring shown1 = td::text(text1), shown2 = td::text(text2),
                           name = td::text(text3);
        const bool saveEnabled = td::enabled(save);
        ASSERT_TRUE(td::selectListItem(file1, L"Broken.vbp"));
        expectWarning(L"このプロジェクトファイルはNULバイトを含んでいるため読み込めません。",
                      *first ? nullptr : "kestrom-nul-byte");
        td::sync(form);
        EXPECT_EQ(td::text(text1), shown1);
        EXPECT_EQ(td::text(text2), shown2);
        EXPECT_EQ(td::text(text3), name);
        EXPECT_EQ(td::enabled(save), saveEnabled);
    }
    EXPECT_EQ(fileText(td::join(dir, L"Broken_2.vbp")), L"<missing>");
    std::string kept;
    ASSERT_TRUE(td::readBytes(td::join(dir, L"Broken.vbp"), kept));
    EXPECT_EQ(kept, withNul);
}

TEST_F(Kestrom, AfterAFolderChangeSaveWritesTheShownProjectIntoTheNewFolder) {
    start();
    choose(L"Game.vbp");
    int row = td::listIndex(dir1);
    ASSERT_TRUE(td::openFolderRow(dir1, L"sub"));
    td::sync(form);
    EXPECT_EQ(td::listItems(file1), (std::vector<std::wstring>{L"Other.vbp"}));
    EXPECT_EQ(td::listIndex(file1), -1);
    EXPECT_EQ(td::text(text2), kGameConverted);
    EXPECT_EQ(td::text(text3), L"Game_2.vbp");
    ASSERT_TRUE(td::click(save));
    td::sync(form);
    EXPECT_EQ(fileText(td::join(dir, L"sub\\Game_2.vbp")), std::wstring(kGameConverted) + L"\r\n");
    EXPECT_EQ(fileText(td::join(dir, L"Game_2.vbp")), L"<missing>");

    // With no file selected, a suffix change empties the save name and disables Save.
    td::setText(text4, L"_3");
    td::sync(form);
    EXPECT_EQ(td::text(text3), L"");
    EXPECT_FALSE(td::enabled(save));

    // Back up with Enter on the parent row.
    td::selectListItem(dir1, row);
    td::pressKey(dir1, VK_RETURN);
    td::sync(form);
    EXPECT_EQ(td::findListItem(file1, L"Game.vbp"), 2);
}

TEST_F(Kestrom, AFileThatCannotBeReadLeavesBothBoxesAsTheyWere) {
    start();
    choose(L"Demo.VBP");
    DeleteFileW(td::join(dir, L"Game.vbp").c_str()); // vanished after the list was filled
    td::selectListItem(file1, L"Game.vbp");
    expectWarning(shell::systemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(td::text(text2), kDemoConverted);
    EXPECT_EQ(td::text(text3), L"Demo_2.VBP");
    EXPECT_TRUE(td::enabled(save));
    // The earlier project is still on screen.
    EXPECT_TRUE(td::waitFor([&] { return td::darkPixels(text2) > 200; }));
}

void Kestrom::convertJapaneseProject(const std::wstring& locale, UINT codePage, const char* shot) {
    std::wstring project = L"Type=Exe\r\n"
                           L"Title=\"ゲーム ソフト\"\r\n"
                           L"Module=Main; ..\\ライブラリ\\qsnmain.bas\r\n"
                           L"Class=表示; QSNKA.CLS\r\n"
                           L"Description=\"十二のモジュールａｂｃ\"\r\n";
    td::writeBytes(td::join(dir, L"日本語.vbp"), td::narrow(project, codePage));
    start({L"LC_ALL=" + locale});
    choose(L"日本語.vbp");
    EXPECT_EQ(td::text(text1), project);
    std::wstring converted = L"Type=Exe\r\n"
                             L"Title=\"ゲーム ソフト\"\r\n"
                             L"Module=Main; ..\\ライブラリ\\QsnMain2.Bas\r\n"
                             L"Class=表示; qsnKA2.Cls\r\n"
                             L"Description=\"十二のモジュールａｂｃ\"\r\n";
    EXPECT_EQ(td::text(text2), converted);
    EXPECT_EQ(td::text(text3), L"日本語_2.vbp");
    ASSERT_TRUE(td::click(save));
    td::sync(form);
    std::string saved;
    ASSERT_TRUE(td::readBytes(td::join(dir, L"日本語_2.vbp"), saved));
    EXPECT_EQ(saved, td::narrow(converted + L"\r\n", codePage));
    td::screenshot(shot);
}

TEST_F(Kestrom, JapaneseProjectUnderTheJapaneseCodePage) {
    convertJapaneseProject(L"ja_JP.UTF-8", 932, "kestrom-main-japanese");
}

// Windows set to use UTF-8 as its ANSI code page; under Wine a locale without a code page
// of its own gives that.
TEST_F(Kestrom, JapaneseProjectUnderTheUtf8CodePage) {
    convertJapaneseProject(L"hi_IN.UTF-8", CP_UTF8, "kestrom-main-utf8");
}

TEST_F(Kestrom, AboutShowsThreeLinesWithTheTitleAndTheInformationIcon) {
    start();
    td::chooseMenu(form, shell::kIdMenuAbout);
    HWND box = app->waitMessageBox();
    ASSERT_TRUE(box);
    td::Box b = td::readBox(box);
    EXPECT_EQ(b.caption, L"Kestrom");
    EXPECT_EQ(b.icon, MB_ICONINFORMATION);
    ASSERT_EQ(b.text.substr(0, 30), L"KESTROM.EXE\rバージョン1.0\rCopyright");
    EXPECT_EQ(std::count(b.text.begin(), b.text.end(), L'\r'), 2);
    EXPECT_EQ(b.text.find(L'\n'), std::wstring::npos);
    td::screenshot("kestrom-about");
    EXPECT_TRUE(td::pressBoxButton(box, IDOK));
}

TEST_F(Kestrom, AccessKeysMoveTheFocusToTheLabelledControl) {
    start();
    SetForegroundWindow(form);
    struct {
        wchar_t key;
        int id;
    } keys[] = {{L'p', shell::kIdFile1},
                {L'e', kIdText4},
                {L'f', kIdText3},
                {L'v', shell::kIdDrive1},
                {L'd', shell::kIdDir1}};
    for (const auto& k : keys) {
        td::altKey(form, k.key);
        td::sync(form);
        HWND focus = td::focus(form);
        // A drop-down list's focus may sit in its own edit child.
        if (focus && GetParent(focus) != form) focus = GetParent(focus);
        EXPECT_EQ(focus, td::control(form, k.id)) << char(k.key);
    }
}

TEST_F(Kestrom, TabOrderFollowsTheWindowsTableAndTabSkipsTheDisabledSave) {
    start();
    std::vector<int> order;
    for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(order, (std::vector<int>{kIdLabel1, shell::kIdDrive1, kIdLabel2, shell::kIdDir1,
                                       kIdLabel3, shell::kIdFile1, kIdText1, kIdText2, kIdCommand1,
                                       kIdText3, kIdText4, kIdLabel4, kIdLabel5}));
    SetForegroundWindow(form);
    td::altKey(form, L'p');
    td::sync(form);
    std::vector<int> visited;
    for (int i = 0; i < 5; ++i) {
        td::pressKey(td::focus(form), VK_TAB);
        td::sync(form);
        HWND focus = td::focus(form);
        if (focus && GetParent(focus) != form) focus = GetParent(focus);
        visited.push_back(GetDlgCtrlID(focus));
    }
    EXPECT_EQ(visited,
              (std::vector<int>{kIdText1, kIdText2, kIdText3, kIdText4, shell::kIdDrive1}));
}
