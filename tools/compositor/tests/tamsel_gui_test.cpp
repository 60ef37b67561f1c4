// Tamsel's window as a user meets it: the About box and the Japanese help file, layout,
// tab order and access keys, and the save's progress in the caption; the programs' facts.
#include <gtest/gtest.h>

#include <algorithm>

#include "../../wavconv/win/form1.h"
#include "form1.h"
#include "form1_ids.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

using namespace compositor;

namespace {

TEST(TamselWindow, AboutBoxAndJapaneseHelpFile) {
    std::wstring folder = td::makeTempFolder(L"tamsel_help");
    ASSERT_TRUE(td::copyBeside(L"TAMSEL.TXT", folder));
    {
        td::App app(L"TAMSEL.EXE", folder, {L"LC_ALL=ja_JP.UTF-8"});
        HWND form = app.waitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);

        td::chooseMenu(form, shell::kIdMenuAbout);
        HWND about = app.waitMessageBox();
        ASSERT_TRUE(about);
        EXPECT_EQ(td::text(about), L"バージョン情報");
        std::wstring text = td::text(td::control(about, 0xFFFF));
        EXPECT_EQ(text.find(L"TAMSEL.EXE\rバージョン1.0\r"), 0u) << td::narrow(text);
        EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 3) << td::narrow(text);
        td::screenshot("tamsel_about");
        td::click(td::control(about, IDOK));
        ASSERT_TRUE(td::waitFor([&] { return !IsWindow(about); }));

        td::chooseMenu(form, shell::kIdMenuHelp);
        HWND help = app.waitWindow(L"Tamsel の使い方");
        ASSERT_TRUE(help);
        HWND text1 = td::controlByClass(help, L"Edit");
        std::wstring shown = td::text(text1);
        // The Shift-JIS file read in the Japanese ANSI code page.
        EXPECT_EQ(shown.find(L"Tamsel の使い方"), 0u) << td::narrow(shown.substr(0, 40));
        EXPECT_NE(shown.find(L"保存ファイル名"), std::wstring::npos);
        EXPECT_NE(shown.find(L"\r\n"), std::wstring::npos);
        td::screenshot("tamsel_help");
        td::close(form);
        EXPECT_TRUE(app.waitExit(10000));
    }
    td::removeTree(folder);
}

TEST(TamselWindow, LayoutTabOrderAndAccessKeys) {
    std::wstring folder = td::makeTempFolder(L"tamsel_keys");
    {
        td::App app(L"TAMSEL.EXE", folder);
        HWND form = app.waitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);
        RECT client = td::clientRect(form);
        RECT want = shell::toPixels({0, 0, 6120, 5055});
        EXPECT_EQ(client.right, want.right);
        EXPECT_EQ(client.bottom, want.bottom);
        RECT file2 = td::rectInParent(td::control(form, shell::kIdFile2));
        RECT file2Want = shell::toPixels({2640, 2520, 3375, 1890});
        EXPECT_EQ(file2.left, file2Want.left);
        EXPECT_EQ(file2.top, file2Want.top);
        RECT option = td::rectInParent(td::control(form, option1Id(3)));
        RECT optionWant = shell::toPixels({60 + 120, 2640 + 1200, 2000, 255});
        EXPECT_EQ(option.top, optionWant.top);

        std::vector<int> order;
        for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            order.push_back(GetDlgCtrlID(c));
        EXPECT_EQ(order, (std::vector<int>{kIdLabel3, shell::kIdDrive1, kIdLabel4, shell::kIdDir1,
                                           kIdLabel1, shell::kIdFile1, kIdLabel2, shell::kIdFile2,
                                           kIdCommand1, kIdFrame1, option1Id(3), option1Id(2),
                                           option1Id(1), option1Id(0)}));

        SetForegroundWindow(form);
        struct {
            wchar_t key;
            int id;
        } keys[] = {{L'i', shell::kIdFile1},
                    {L'a', shell::kIdFile2},
                    {L'v', shell::kIdDrive1},
                    {L'd', shell::kIdDir1}};
        for (const auto& k : keys) {
            td::altKey(form, k.key);
            td::sync(form);
            HWND focus = td::focus(form);
            if (focus && GetParent(focus) != form) focus = GetParent(focus);
            EXPECT_EQ(focus, td::control(form, k.id)) << char(k.key);
        }
        // The option buttons' keys choose the operation and grey the audio list.
        td::altKey(form, L'n');
        td::sync(form);
        EXPECT_EQ(SendMessageW(td::control(form, option1Id(2)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_FALSE(td::enabled(td::control(form, shell::kIdFile2)));
        td::altKey(form, L's');
        td::sync(form);
        EXPECT_EQ(SendMessageW(td::control(form, option1Id(0)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(td::enabled(td::control(form, shell::kIdFile2)));
        td::close(form);
        EXPECT_TRUE(app.waitExit(10000));
    }
    td::removeTree(folder);
}

// A save long enough to watch: the caption shows the percentage, then "Tamsel" again.
TEST(TamselWindow, CaptionShowsTheSaveProgress) {
    std::wstring folder = td::makeTempFolder(L"tamsel_progress");
    std::string unix = td::unixPath(folder);
    td::runUnix("ffmpeg -y -v error -f lavfi -i testsrc=size=320x240:rate=10:duration=30 -c:v "
                "rawvideo -pix_fmt bgr24 '" +
                    unix + "/big.avi'",
                nullptr, 120000);
    {
        td::App app(L"TAMSEL.EXE", folder);
        HWND form = app.waitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);
        td::click(td::control(form, option1Id(3)));
        ASSERT_TRUE(td::selectListItem(td::control(form, shell::kIdFile1), L"big.avi"));
        td::sync(form);
        td::click(td::control(form, kIdCommand1));
        HWND input = app.waitMessageBox(10000);
        ASSERT_TRUE(input && td::boxEdit(input));
        td::setText(td::boxEdit(input), L"copy");
        td::pressBoxButton(input, IDOK);
        HWND dialog = nullptr;
        ASSERT_TRUE(td::waitFor(
            [&] {
                for (HWND w : app.topWindows())
                    if (td::classOf(w) == L"#32770" && td::text(w) != L"Tamsel") dialog = w;
                return dialog != nullptr;
            },
            10000));
        PostMessageW(td::control(dialog, IDOK), BM_CLICK, 0, 0);
        // GetWindowText of another process's window reads the stored caption without
        // waiting for the busy program.
        std::vector<std::wstring> captions;
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 30000) {
            wchar_t text[64] = {};
            InternalGetWindowText(form, text, 64);
            if (captions.empty() || captions.back() != text) captions.push_back(text);
            if (captions.size() > 2 && captions.back() == L"Tamsel") break;
            Sleep(1);
        }
        td::sync(form);
        bool percentSeen = false;
        for (const auto& c : captions)
            if (c.rfind(L"Tamsel - ", 0) == 0 && c.back() == L'%') percentSeen = true;
        EXPECT_TRUE(percentSeen) << captions.size() << " captions seen";
        EXPECT_EQ(td::text(form), L"Tamsel");
        EXPECT_TRUE(td::runUnix("test -s '" + unix + "/copy.avi'") == 0);
        td::close(form);
        EXPECT_TRUE(app.waitExit(10000));
    }
    td::removeTree(folder);
}

} // namespace

// TAMSEL and PURNIX share every About line after the program's name; each program's box is
// read in its own GUI test.
TEST(ToolStrings, AboutAndHelpTextsPerTool) {
    const auto& tamsel = compositor::kTool.aboutLines;
    const auto& purnix = wavconv::kTool.aboutLines;
    ASSERT_EQ(tamsel.size(), purnix.size());
    for (size_t i = 1; i < tamsel.size(); ++i)
        EXPECT_STREQ(tamsel[i], purnix[i]) << i;
}
