#include <windows.h>
#include <gtest/gtest.h>

TEST(LibrarySmoke, LoadsAndExportsPlainNames) {
    HMODULE dll = LoadLibraryW(L"Quillon.dll");
    ASSERT_NE(dll, nullptr);
    EXPECT_NE(GetProcAddress(dll, "ddInit"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "ddInit@16"), nullptr);
    FreeLibrary(dll);
}
