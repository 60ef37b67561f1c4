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
    std::wstring folder = td::MakeTempFolder(L"tamsel_help");
    ASSERT_TRUE(td::CopyBeside(L"TAMSEL.TXT", folder));
    {
        td::App app(L"TAMSEL.EXE", folder, {L"LC_ALL=ja_JP.UTF-8"});
        HWND form = app.WaitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);

        td::ChooseMenu(form, shell::kIdMenuAbout);
        HWND about = app.WaitMessageBox();
        ASSERT_TRUE(about);
        EXPECT_EQ(td::Text(about), L"バージョン情報");
        std::wstring text = td::Text(td::Control(about, 0xFFFF));
        EXPECT_EQ(text.find(L"TAMSEL.EXE\rバージョン1.0\r"), 0u) << td::Narrow(text);
        EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), 3) << td::Narrow(text);
        td::Screenshot("tamsel_about");
        td::Click(td::Control(about, IDOK));
        ASSERT_TRUE(td::WaitFor([&] { return !IsWindow(about); }));

        td::ChooseMenu(form, shell::kIdMenuHelp);
        HWND help = app.WaitWindow(L"Tamsel の使い方");
        ASSERT_TRUE(help);
        HWND text1 = td::ControlByClass(help, L"Edit");
        std::wstring shown = td::Text(text1);
        // The Shift-JIS file read in the Japanese ANSI code page.
        EXPECT_EQ(shown.find(L"Tamsel の使い方"), 0u) << td::Narrow(shown.substr(0, 40));
        EXPECT_NE(shown.find(L"保存ファイル名"), std::wstring::npos);
        EXPECT_NE(shown.find(L"\r\n"), std::wstring::npos);
        td::Screenshot("tamsel_help");
        td::Close(form);
        EXPECT_TRUE(app.WaitExit(10000));
    }
    td::RemoveTree(folder);
}

TEST(TamselWindow, LayoutTabOrderAndAccessKeys) {
    std::wstring folder = td::MakeTempFolder(L"tamsel_keys");
    {
        td::App app(L"TAMSEL.EXE", folder);
        HWND form = app.WaitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);
        RECT client = td::ClientRect(form);
        RECT want = shell::toPixels({0, 0, 6120, 5055});
        EXPECT_EQ(client.right, want.right);
        EXPECT_EQ(client.bottom, want.bottom);
        RECT file2 = td::RectInParent(td::Control(form, shell::kIdFile2));
        RECT file2Want = shell::toPixels({2640, 2520, 3375, 1890});
        EXPECT_EQ(file2.left, file2Want.left);
        EXPECT_EQ(file2.top, file2Want.top);
        RECT option = td::RectInParent(td::Control(form, option1Id(3)));
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
            td::AltKey(form, k.key);
            td::Sync(form);
            HWND focus = td::Focus(form);
            if (focus && GetParent(focus) != form) focus = GetParent(focus);
            EXPECT_EQ(focus, td::Control(form, k.id)) << char(k.key);
        }
        // The option buttons' keys choose the operation and grey the audio list.
        td::AltKey(form, L'n');
        td::Sync(form);
        EXPECT_EQ(SendMessageW(td::Control(form, option1Id(2)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_FALSE(td::Enabled(td::Control(form, shell::kIdFile2)));
        td::AltKey(form, L's');
        td::Sync(form);
        EXPECT_EQ(SendMessageW(td::Control(form, option1Id(0)), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(td::Enabled(td::Control(form, shell::kIdFile2)));
        td::Close(form);
        EXPECT_TRUE(app.WaitExit(10000));
    }
    td::RemoveTree(folder);
}

// A save long enough to watch: the caption shows the percentage, then "Tamsel" again.
TEST(TamselWindow, CaptionShowsTheSaveProgress) {
    std::wstring folder = td::MakeTempFolder(L"tamsel_progress");
    std::string unix = td::UnixPath(folder);
    td::RunUnix("ffmpeg -y -v error -f lavfi -i testsrc=size=320x240:rate=10:duration=30 -c:v "
                "rawvideo -pix_fmt bgr24 '" +
                    unix + "/big.avi'",
                nullptr, 120000);
    {
        td::App app(L"TAMSEL.EXE", folder);
        HWND form = app.WaitWindow(L"Tamsel", 10000, L"TamselForm1");
        ASSERT_TRUE(form);
        td::Click(td::Control(form, option1Id(3)));
        ASSERT_TRUE(td::SelectListItem(td::Control(form, shell::kIdFile1), L"big.avi"));
        td::Sync(form);
        td::Click(td::Control(form, kIdCommand1));
        HWND input = app.WaitMessageBox(10000);
        ASSERT_TRUE(input && td::BoxEdit(input));
        td::SetText(td::BoxEdit(input), L"copy");
        td::PressBoxButton(input, IDOK);
        HWND dialog = nullptr;
        ASSERT_TRUE(td::WaitFor(
            [&] {
                for (HWND w : app.TopWindows())
                    if (td::ClassOf(w) == L"#32770" && td::Text(w) != L"Tamsel") dialog = w;
                return dialog != nullptr;
            },
            10000));
        PostMessageW(td::Control(dialog, IDOK), BM_CLICK, 0, 0);
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
        td::Sync(form);
        bool percentSeen = false;
        for (const auto& c : captions)
            if (c.rfind(L"Tamsel - ", 0) == 0 && c.back() == L'%') percentSeen = true;
        EXPECT_TRUE(percentSeen) << captions.size() << " captions seen";
        EXPECT_EQ(td::Text(form), L"Tamsel");
        EXPECT_TRUE(td::RunUnix("test -s '" + unix + "/copy.avi'") == 0);
        td::Close(form);
        EXPECT_TRUE(app.WaitExit(10000));
    }
    td::RemoveTree(folder);
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
