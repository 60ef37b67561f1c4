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
    common::FindHandle search(FindFirstFileW(td::Join(folder, L"*").c_str(), &fd));
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
    if (!td::ReadBytes(path, bytes)) return L"<missing>";
    return td::Widen(bytes, codePage);
}

class Kestrom : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = td::MakeTempFolder(L"kestrom");
        ASSERT_FALSE(dir.empty());
        td::WriteBytes(td::Join(dir, L"Game.vbp"), kGame);
        td::WriteBytes(td::Join(dir, L"Demo.VBP"), kDemo);
        td::WriteBytes(td::Join(dir, L"Done.vbp"), kDone);
        td::WriteBytes(td::Join(dir, L"notes.txt"), "QSNMAIN.BAS\r\n");
        CreateDirectoryW(td::Join(dir, L"sub").c_str(), nullptr);
        td::WriteBytes(td::Join(dir, L"sub\\Other.vbp"), kDemo);
    }
    void TearDown() override {
        app.reset();
        td::RemoveTree(dir);
    }

    void start(const std::vector<std::wstring>& env = {}, const std::string& unixSetup = {}) {
        app = std::make_unique<td::App>(L"KESTROM.EXE", dir, env, unixSetup);
        form = app->WaitWindow(kCaption);
        ASSERT_TRUE(form);
        drive1 = td::Control(form, shell::kIdDrive1);
        dir1 = td::Control(form, shell::kIdDir1);
        file1 = td::Control(form, shell::kIdFile1);
        text1 = td::Control(form, kIdText1);
        text2 = td::Control(form, kIdText2);
        text3 = td::Control(form, kIdText3);
        text4 = td::Control(form, kIdText4);
        save = td::Control(form, kIdCommand1);
        ASSERT_TRUE(drive1 && dir1 && file1 && text1 && text2 && text3 && text4 && save);
    }

    void choose(const std::wstring& name) {
        ASSERT_TRUE(td::SelectListItem(file1, name)) << td::Narrow(name);
        td::Sync(form);
    }

    // Expects the program's warning box with this text and closes it (after a screenshot
    // when a name is given).
    void expectWarning(const std::wstring& text, const char* shot = nullptr) {
        HWND box = app->WaitMessageBox();
        ASSERT_TRUE(box);
        td::Box b = td::ReadBox(box);
        EXPECT_EQ(b.caption, L"Kestrom");
        EXPECT_EQ(b.icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(b.text, text);
        EXPECT_EQ(b.buttons, (std::vector<std::wstring>{L"OK"}));
        if (shot) td::Screenshot(shot);
        EXPECT_TRUE(td::PressBoxButton(box, IDOK));
    }
    void saveFailsWith(DWORD error) {
        ASSERT_TRUE(td::Click(save));
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
    EXPECT_EQ(td::ListItems(file1),
              (std::vector<std::wstring>{L"Demo.VBP", L"Done.vbp", L"Game.vbp"}));
    EXPECT_EQ(td::ListIndex(file1), -1);
    EXPECT_EQ(td::ListItems(drive1)[size_t(td::ListIndex(drive1))], L"z:");
    auto dirs = td::ListItems(dir1);
    ASSERT_GE(td::ListIndex(dir1), 0);
    EXPECT_NE(dirs[size_t(td::ListIndex(dir1))].find(dir.substr(dir.rfind(L'\\') + 1)),
              std::wstring::npos);
    EXPECT_NE(
        td::FindListItem(dir1, std::wstring(size_t(td::ListIndex(dir1)) * 2 + 2, L' ') + L"sub"),
        -1);
    EXPECT_EQ(td::Text(text1), L"");
    EXPECT_EQ(td::Text(text2), L"");
    EXPECT_EQ(td::Text(text3), L"");
    EXPECT_EQ(td::Text(text4), L"_2");
    EXPECT_EQ(td::Text(save), L"&Save");
    EXPECT_FALSE(td::Enabled(save));

    RECT client = td::ClientRect(form);
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
        RECT r = td::RectInParent(td::Control(form, row.id));
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
    EXPECT_EQ(td::Text(td::Control(form, kIdLabel3)), L"&Project:");
    EXPECT_EQ(td::Text(td::Control(form, kIdLabel5)), L"Save &File Name:");
}

TEST_F(Kestrom, ClickingAProjectShowsItReadAndUpgradedAndProposesTheSaveName) {
    start();
    choose(L"Game.vbp");
    // The final empty line of the file is dropped; every line ends in CR LF.
    EXPECT_EQ(td::Text(text1), td::Widen(std::string(kGame, sizeof(kGame) - 3)));
    EXPECT_EQ(td::Text(text2), kGameConverted);
    EXPECT_EQ(td::Text(text3), L"Game_2.vbp");
    EXPECT_TRUE(td::Enabled(save));
    // Both boxes show their text on screen. (Wine's edit control keeps painting while its
    // drawing is suspended, so this cannot tell whether it was resumed.)
    EXPECT_TRUE(td::WaitFor([&] { return td::DarkPixels(text1) > 200; })) << td::DarkPixels(text1);
    EXPECT_TRUE(td::WaitFor([&] { return td::DarkPixels(text2) > 200; })) << td::DarkPixels(text2);

    choose(L"Demo.VBP"); // LF-only lines load one by one
    EXPECT_EQ(td::Text(text1), L"Type=Exe\r\nModule=M; qsnmain.bas\r\nClass=T; QSNTA.CLS\r\n"
                               L"Name=\"Demo\"\r\n");
    EXPECT_EQ(td::Text(text2), kDemoConverted);
    EXPECT_EQ(td::Text(text3), L"Demo_2.VBP");
    td::SetText(text4, L"_old");
    td::Sync(form);
    EXPECT_EQ(td::Text(text3), L"Demo_old.VBP");
    td::SetText(text3, L"");
    td::Sync(form);
    EXPECT_FALSE(td::Enabled(save));
    td::SetText(text4, L"");
    td::Sync(form);
    EXPECT_EQ(td::Text(text3), L"Demo.VBP");
    EXPECT_TRUE(td::Enabled(save));
}

TEST_F(Kestrom, AnUpgradedProjectShowsTheNoticeAndCannotBeSaved) {
    start();
    choose(L"Done.vbp");
    EXPECT_EQ(td::Text(text1), td::Widen(kDone));
    EXPECT_EQ(td::Text(text2), kNotice);
    EXPECT_EQ(td::Text(text3), L"Done_2.vbp");
    EXPECT_FALSE(td::Enabled(save));
    EXPECT_FALSE(td::Click(save));
    choose(L"Game.vbp");
    EXPECT_TRUE(td::Enabled(save));
}

TEST_F(Kestrom, SaveWritesTheLowerBoxAndOneLineEndIntoTheShownFolder) {
    start();
    choose(L"Game.vbp");
    ASSERT_TRUE(td::Click(save));
    td::Sync(form);
    EXPECT_TRUE(app->NoMessageBox());
    std::string saved;
    ASSERT_TRUE(td::ReadBytes(td::Join(dir, L"Game_2.vbp"), saved));
    EXPECT_EQ(saved, td::Narrow(kGameConverted) + "\r\n");
    std::string source;
    td::ReadBytes(td::Join(dir, L"Game.vbp"), source);
    EXPECT_EQ(source, kGame);
    // The list is not refreshed by a save.
    EXPECT_EQ(td::FindListItem(file1, L"Game_2.vbp"), -1);

    // An empty suffix replaces the chosen project with the upgraded text.
    choose(L"Demo.VBP");
    td::SetText(text4, L"");
    td::Sync(form);
    EXPECT_EQ(td::Text(text3), L"Demo.VBP");
    ASSERT_TRUE(td::Click(save)) << td::Enabled(save);
    td::Sync(form);
    EXPECT_EQ(fileText(td::Join(dir, L"Demo.VBP")), std::wstring(kDemoConverted) + L"\r\n");
}

TEST_F(Kestrom, SaveFailureShowsTheSystemErrorInAWarningAndChangesNothing) {
    start();
    choose(L"Game.vbp");
    // A folder of the save name: the file cannot be created (root ignores read-only modes).
    ASSERT_TRUE(CreateDirectoryW(td::Join(dir, L"Game_2.vbp").c_str(), nullptr));
    saveFailsWith(ERROR_ACCESS_DENIED);
    EXPECT_EQ(td::Text(text2), kGameConverted);
    EXPECT_EQ(td::Text(text3), L"Game_2.vbp");
    EXPECT_TRUE(td::Enabled(save));

    // An invalid name: the system's text for that.
    td::SetText(text3, L"bad<name>.vbp");
    td::Sync(form);
    ASSERT_TRUE(td::Click(save)) << IsWindowEnabled(save) << IsWindowVisible(save) << " "
                                 << std::hex << GetWindowLongW(save, GWL_STYLE) << " "
                                 << td::Narrow(td::Text(text3)) << " " << IsWindowEnabled(form);
    HWND box = app->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(td::ReadBox(box).text, shell::systemErrorText(ERROR_INVALID_NAME));
    td::PressBoxButton(box, IDOK);
}

TEST_F(Kestrom, AFailedSaveOverTheProjectKeepsItWholeAndLeavesNoTemporaryFile) {
    // Big.vbp's upgraded text is larger than 512 bytes.
    std::string big = kGame;
    for (int i = 0; i < 40; i++)
        big += "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb\r\n";
    td::WriteBytes(td::Join(dir, L"Big.vbp"), big);
    const std::vector<std::wstring> before = fileNames(dir);
    auto saveOverItself = [&](const std::wstring& name, DWORD error) {
        choose(name);
        td::SetText(text4, L"");
        td::Sync(form);
        ASSERT_EQ(td::Text(text3), name);
        saveFailsWith(error);
    };
    std::string kept;

    // A full disk: the program may write no more than 512 bytes to a file.
    start({}, "ulimit -f 1 && trap '' XFSZ");
    saveOverItself(L"Big.vbp", ERROR_DISK_FULL);
    ASSERT_TRUE(td::ReadBytes(td::Join(dir, L"Big.vbp"), kept));
    EXPECT_EQ(kept, big);
    EXPECT_EQ(fileNames(dir), before);
    app.reset();

    // Another program reads the project and lets nobody write or remove it meanwhile.
    start();
    common::UniqueFile held(CreateFileW(td::Join(dir, L"Demo.VBP").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    saveOverItself(L"Demo.VBP", ERROR_SHARING_VIOLATION);
    held.reset();
    ASSERT_TRUE(td::ReadBytes(td::Join(dir, L"Demo.VBP"), kept));
    EXPECT_EQ(kept, kDemo);
    EXPECT_EQ(fileNames(dir), before);
    EXPECT_EQ(td::Text(text2), kDemoConverted);

    // Once it is free, the same save replaces it.
    ASSERT_TRUE(td::Click(save));
    td::Sync(form);
    EXPECT_TRUE(app->NoMessageBox());
    EXPECT_EQ(fileText(td::Join(dir, L"Demo.VBP")), std::wstring(kDemoConverted) + L"\r\n");
    EXPECT_EQ(fileNames(dir), before);
}

TEST_F(Kestrom, AProjectHoldingANulByteIsRefusedAndNothingChanges) {
    const std::string withNul =
        std::string("Type=Exe\r\nModule=M; QSNMAIN.BAS\r\n") + '\0' + "Class=T; QSNTA.CLS\r\n";
    td::WriteBytes(td::Join(dir, L"Broken.vbp"), withNul);
    start();
    for (const wchar_t* first : {L"", L"Game.vbp"}) {
        SCOPED_TRACE(td::Narrow(first));
        if (*first) choose(first);
        const std::wstring shown1 = td::Text(text1), shown2 = td::Text(text2),
                           name = td::Text(text3);
        const bool saveEnabled = td::Enabled(save);
        ASSERT_TRUE(td::SelectListItem(file1, L"Broken.vbp"));
        expectWarning(L"このプロジェクトファイルはNULバイトを含んでいるため読み込めません。",
                      *first ? nullptr : "kestrom-nul-byte");
        td::Sync(form);
        EXPECT_EQ(td::Text(text1), shown1);
        EXPECT_EQ(td::Text(text2), shown2);
        EXPECT_EQ(td::Text(text3), name);
        EXPECT_EQ(td::Enabled(save), saveEnabled);
    }
    EXPECT_EQ(fileText(td::Join(dir, L"Broken_2.vbp")), L"<missing>");
    std::string kept;
    ASSERT_TRUE(td::ReadBytes(td::Join(dir, L"Broken.vbp"), kept));
    EXPECT_EQ(kept, withNul);
}

TEST_F(Kestrom, AfterAFolderChangeSaveWritesTheShownProjectIntoTheNewFolder) {
    start();
    choose(L"Game.vbp");
    int row = td::ListIndex(dir1);
    ASSERT_TRUE(td::OpenFolderRow(dir1, L"sub"));
    td::Sync(form);
    EXPECT_EQ(td::ListItems(file1), (std::vector<std::wstring>{L"Other.vbp"}));
    EXPECT_EQ(td::ListIndex(file1), -1);
    EXPECT_EQ(td::Text(text2), kGameConverted);
    EXPECT_EQ(td::Text(text3), L"Game_2.vbp");
    ASSERT_TRUE(td::Click(save));
    td::Sync(form);
    EXPECT_EQ(fileText(td::Join(dir, L"sub\\Game_2.vbp")), std::wstring(kGameConverted) + L"\r\n");
    EXPECT_EQ(fileText(td::Join(dir, L"Game_2.vbp")), L"<missing>");

    // With no file selected, a suffix change empties the save name and disables Save.
    td::SetText(text4, L"_3");
    td::Sync(form);
    EXPECT_EQ(td::Text(text3), L"");
    EXPECT_FALSE(td::Enabled(save));

    // Back up with Enter on the parent row.
    td::SelectListItem(dir1, row);
    td::PressKey(dir1, VK_RETURN);
    td::Sync(form);
    EXPECT_EQ(td::FindListItem(file1, L"Game.vbp"), 2);
}

TEST_F(Kestrom, AFileThatCannotBeReadLeavesBothBoxesAsTheyWere) {
    start();
    choose(L"Demo.VBP");
    DeleteFileW(td::Join(dir, L"Game.vbp").c_str()); // vanished after the list was filled
    td::SelectListItem(file1, L"Game.vbp");
    expectWarning(shell::systemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(td::Text(text2), kDemoConverted);
    EXPECT_EQ(td::Text(text3), L"Demo_2.VBP");
    EXPECT_TRUE(td::Enabled(save));
    // The earlier project is still on screen.
    EXPECT_TRUE(td::WaitFor([&] { return td::DarkPixels(text2) > 200; }));
}

void Kestrom::convertJapaneseProject(const std::wstring& locale, UINT codePage, const char* shot) {
    std::wstring project = L"Type=Exe\r\n"
                           L"Title=\"ゲーム ソフト\"\r\n"
                           L"Module=Main; ..\\ライブラリ\\qsnmain.bas\r\n"
                           L"Class=表示; QSNKA.CLS\r\n"
                           L"Description=\"十二のモジュールａｂｃ\"\r\n";
    td::WriteBytes(td::Join(dir, L"日本語.vbp"), td::Narrow(project, codePage));
    start({L"LC_ALL=" + locale});
    choose(L"日本語.vbp");
    EXPECT_EQ(td::Text(text1), project);
    std::wstring converted = L"Type=Exe\r\n"
                             L"Title=\"ゲーム ソフト\"\r\n"
                             L"Module=Main; ..\\ライブラリ\\QsnMain2.Bas\r\n"
                             L"Class=表示; qsnKA2.Cls\r\n"
                             L"Description=\"十二のモジュールａｂｃ\"\r\n";
    EXPECT_EQ(td::Text(text2), converted);
    EXPECT_EQ(td::Text(text3), L"日本語_2.vbp");
    ASSERT_TRUE(td::Click(save));
    td::Sync(form);
    std::string saved;
    ASSERT_TRUE(td::ReadBytes(td::Join(dir, L"日本語_2.vbp"), saved));
    EXPECT_EQ(saved, td::Narrow(converted + L"\r\n", codePage));
    td::Screenshot(shot);
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
    td::ChooseMenu(form, shell::kIdMenuAbout);
    HWND box = app->WaitMessageBox();
    ASSERT_TRUE(box);
    td::Box b = td::ReadBox(box);
    EXPECT_EQ(b.caption, L"Kestrom");
    EXPECT_EQ(b.icon, MB_ICONINFORMATION);
    ASSERT_EQ(b.text.substr(0, 30), L"KESTROM.EXE\rバージョン1.0\rCopyright");
    EXPECT_EQ(std::count(b.text.begin(), b.text.end(), L'\r'), 2);
    EXPECT_EQ(b.text.find(L'\n'), std::wstring::npos);
    td::Screenshot("kestrom-about");
    EXPECT_TRUE(td::PressBoxButton(box, IDOK));
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
        td::AltKey(form, k.key);
        td::Sync(form);
        HWND focus = td::Focus(form);
        // A drop-down list's focus may sit in its own edit child.
        if (focus && GetParent(focus) != form) focus = GetParent(focus);
        EXPECT_EQ(focus, td::Control(form, k.id)) << char(k.key);
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
    td::AltKey(form, L'p');
    td::Sync(form);
    std::vector<int> visited;
    for (int i = 0; i < 5; ++i) {
        td::PressKey(td::Focus(form), VK_TAB);
        td::Sync(form);
        HWND focus = td::Focus(form);
        if (focus && GetParent(focus) != form) focus = GetParent(focus);
        visited.push_back(GetDlgCtrlID(focus));
    }
    EXPECT_EQ(visited,
              (std::vector<int>{kIdText1, kIdText2, kIdText3, kIdText4, shell::kIdDrive1}));
}
