// Tamsel's menu under a Japanese code page: the About box and the help viewer with the
// shipped help file, as a user sees them.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "testdriver/driver.h"

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

} // namespace
