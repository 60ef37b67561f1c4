#include <gtest/gtest.h>

#include "quillon_dll.h"

TEST(LibrarySmoke, ExportsResolveByPlainNameOnly) {
    const auto& d = library_test::dll();
    ASSERT_NE(d.module, nullptr);
    EXPECT_NE(d.ddInit, nullptr);
    EXPECT_EQ(GetProcAddress(d.module, "ddInit@16"), nullptr);
    EXPECT_EQ(GetProcAddress(d.module, "_ddInit@16"), nullptr);
}
