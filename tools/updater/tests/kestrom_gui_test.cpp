#include "kestrom_ids.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <gtest/gtest.h>

TEST(KestromSmoke, Starts) {
    std::wstring folder = td::MakeTempFolder(L"kestrom");
    td::App app(L"KESTROM.EXE", folder);
    HWND form = app.WaitWindow(L"Kestrom - Project file converter");
    ASSERT_TRUE(form);
    td::Screenshot("kestrom-smoke");
}

TEST(KestromSmoke, HelpAndAbout) {
    std::wstring folder = td::MakeTempFolder(L"kestrom");
    td::CopyBeside(L"KESTROM.TXT", folder);
    td::App app(L"KESTROM.EXE", folder, {L"LC_ALL=ja_JP.UTF-8"});
    HWND form = app.WaitWindow(L"Kestrom - Project file converter");
    ASSERT_TRUE(form);
    td::ChooseMenu(form, shell::kIdMenuHelp);
    HWND help = app.WaitWindow(L"KESTROMの使い方");
    ASSERT_TRUE(help);
    td::Screenshot("kestrom-help");
    td::ChooseMenu(form, shell::kIdMenuAbout);
    HWND box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    td::Box b = td::ReadBox(box);
    EXPECT_EQ(b.caption, L"Kestrom");
    EXPECT_EQ(b.icon, MB_ICONINFORMATION);
    td::Screenshot("kestrom-about");
    EXPECT_TRUE(td::PressBoxButton(box, IDOK));
}
