#include "letter_case.h"

#include <gtest/gtest.h>

using shell::upperAscii;

TEST(UpperAscii, TouchesAsciiLettersOnly) {
    EXPECT_EQ(upperAscii(L"qsnKa.cls ä ｑｓｎ 日本"), L"QSNKA.CLS ä ｑｓｎ 日本");
}
