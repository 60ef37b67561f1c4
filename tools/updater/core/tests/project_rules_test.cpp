#include "project_rules.h"

#include "letter_case.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace updater;
using shell::upperAscii;

namespace {

const std::wstring kAdded =
    L"Class=Interpolator; qsnNE2.Cls\r\nClass=ProgressiveMesh; qsnNI2.Cls\r\n";

std::wstring joinLines(std::initializer_list<const wchar_t*> lines) {
    std::wstring s;
    for (auto l : lines)
        s += std::wstring(l) + L"\r\n";
    return s;
}

// A project naming all twelve old files, one per line, with other lines before and after.
std::vector<std::wstring> fullProject() {
    return {L"Type=Exe",
            L"Form=Form1.frm",
            L"Module=QsnMain; QSNMAIN.BAS",
            L"Class=KA; qsnka.cls",
            L"Class=KE; QSNKE.CLS",
            L"Class=KI; QsnKi.Cls",
            L"Class=KO; QSNKO.CLS",
            L"Class=KU; QSNKU.CLS",
            L"Class=TA; QSNTA.CLS",
            L"Class=TE; QSNTE.CLS",
            L"Class=TI; QSNTI.CLS",
            L"Class=TO; QSNTO.CLS",
            L"Class=TU; QSNTU.CLS",
            L"Class=NA; ..\\lib\\QSNNA.CLS",
            L"Startup=\"Form1\"",
            L"Name=\"Game\""};
}

} // namespace

TEST(SplitLines, CrLfCrAndLfAllEndALine) {
    EXPECT_EQ(splitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(splitLines(L"a\n\nb\n"), (std::vector<std::wstring>{L"a", L"", L"b"}));
}

TEST(SplitLines, FinalTerminatorAddsNoLineAndOneFinalEmptyLineIsDropped) {
    EXPECT_EQ(splitLines(L"a\r\n"), (std::vector<std::wstring>{L"a"}));
    EXPECT_EQ(splitLines(L"a\r\n\r\n"), (std::vector<std::wstring>{L"a"}));
    EXPECT_EQ(splitLines(L"a\r\n\r\n\r\n"), (std::vector<std::wstring>{L"a", L""}));
    EXPECT_EQ(splitLines(L""), (std::vector<std::wstring>{}));
    EXPECT_EQ(splitLines(L"\r\n"), (std::vector<std::wstring>{}));
    // CR LF split across nothing: a lone CR before LF-only text is still one terminator each.
    EXPECT_EQ(splitLines(L"a\r\rb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
}

TEST(ReplaceFileName, FirstOccurrenceOnlyInTableCaseRestKeepsItsCase) {
    long count = 0;
    std::wstring line = L"Class=Cam; ..\\lib\\qsnka.cls 'qsnKA.cls again";
    std::wstring upper = upperAscii(line);
    replaceFileName(line, upper, L"QSNKA.CLS", L"qsnKA2.Cls", count);
    EXPECT_EQ(line, L"Class=Cam; ..\\lib\\qsnKA2.Cls 'qsnKA.cls again");
    EXPECT_EQ(count, 1);
    replaceFileName(line, upper, L"QSNKE.CLS", L"qsnKE2.Cls", count);
    EXPECT_EQ(count, 1);
}

TEST(ReplaceFileName, TwoDifferentOldNamesInOneLineBothLandRight) {
    long count = 0;
    std::wstring line = L"X=QSNMAIN.BAS;qsnka.cls;QSNNA.CLS";
    std::wstring upper = upperAscii(line);
    for (const auto& row : kRenameTable)
        replaceFileName(line, upper, row.oldName, row.newName, count);
    EXPECT_EQ(line, L"X=QsnMain2.Bas;qsnKA2.Cls;qsnNA2.Cls");
    EXPECT_EQ(count, 3);
}

TEST(ConvertProject, SingleNameLinesAndOtherKeys) {
    auto c = convertProject({L"Module=Main; QSNMAIN.BAS", L"Class=Cam; ..\\lib\\qsnka.cls",
                             L"Form=Form1.frm", L"HelpFile=docs\\qsnte.cls.txt"});
    EXPECT_TRUE(c.upgraded);
    EXPECT_EQ(c.converted,
              joinLines({L"Module=Main; QsnMain2.Bas", L"Class=Cam; ..\\lib\\qsnKA2.Cls",
                         L"Form=Form1.frm", L"HelpFile=docs\\qsnTE2.Cls.txt"}));
    EXPECT_EQ(c.original, joinLines({L"Module=Main; QSNMAIN.BAS", L"Class=Cam; ..\\lib\\qsnka.cls",
                                     L"Form=Form1.frm", L"HelpFile=docs\\qsnte.cls.txt"}));
    EXPECT_EQ(c.replaceCount, 3);
}

TEST(ConvertProject, AllTwelveAddTheTwoLinesRightAfterTheTwelfthReplacement) {
    auto lines = fullProject();
    auto c = convertProject(lines);
    std::wstring expected =
        joinLines({L"Type=Exe", L"Form=Form1.frm", L"Module=QsnMain; QsnMain2.Bas",
                   L"Class=KA; qsnKA2.Cls", L"Class=KE; qsnKE2.Cls", L"Class=KI; qsnKI2.Cls",
                   L"Class=KO; qsnKO2.Cls", L"Class=KU; qsnKU2.Cls", L"Class=TA; qsnTA2.Cls",
                   L"Class=TE; qsnTE2.Cls", L"Class=TI; qsnTI2.Cls", L"Class=TO; qsnTO2.Cls",
                   L"Class=TU; qsnTU2.Cls", L"Class=NA; ..\\lib\\qsnNA2.Cls"}) +
        kAdded + joinLines({L"Startup=\"Form1\"", L"Name=\"Game\""});
    EXPECT_EQ(c.converted, expected);
    EXPECT_EQ(c.replaceCount, 13);
}

TEST(ConvertProject, FewerThanTwelveOrElevenToThirteenInOneLineAddNothing) {
    auto lines = fullProject();
    lines.erase(lines.begin() + 5); // drop KI
    auto fewer = convertProject(lines);
    EXPECT_EQ(fewer.replaceCount, 11);
    EXPECT_EQ(fewer.converted.find(L"Interpolator"), std::wstring::npos);

    // Eleven in earlier lines, then two in one line: 11 -> 13 without passing 12.
    lines.push_back(L"Related=QSNKI.CLS,qsnko.cls");
    auto jump = convertProject(lines);
    EXPECT_EQ(jump.replaceCount, 13);
    EXPECT_EQ(jump.converted.find(L"Interpolator"), std::wstring::npos);
    EXPECT_NE(jump.converted.find(L"Related=qsnKI2.Cls,qsnKO2.Cls\r\n"), std::wstring::npos);
}

TEST(ConvertProject, AlreadyUpgradedOrForeignProjectGivesTheNotice) {
    auto up = convertProject({L"Module=M; QsnMain2.Bas", L"Class=K; qsnKA2.Cls",
                              L"Class=Interpolator; qsnNE2.Cls", L"Form=日本語.frm"});
    EXPECT_FALSE(up.upgraded);
    EXPECT_EQ(up.replaceCount, 0);
    EXPECT_EQ(up.converted, kNoticeText);
    EXPECT_EQ(up.original, joinLines({L"Module=M; QsnMain2.Bas", L"Class=K; qsnKA2.Cls",
                                      L"Class=Interpolator; qsnNE2.Cls", L"Form=日本語.frm"}));
    EXPECT_EQ(convertProject({}).converted, kNoticeText);
}

TEST(ConvertProject, SameNameTwiceInALineRewritesTheFirstOnly) {
    auto c = convertProject({L"Class=A; QSNTA.CLS ' was qsnta.cls"});
    EXPECT_EQ(c.converted, joinLines({L"Class=A; qsnTA2.Cls ' was qsnta.cls"}));
    EXPECT_EQ(c.replaceCount, 1);
}

TEST(ConvertProject, CountIsNotLimitedTo16Bits) {
    std::vector<std::wstring> lines(40000, L"Class=K; qsnku.cls");
    auto c = convertProject(lines);
    EXPECT_EQ(c.replaceCount, 40000 + 1); // 12 -> 13 once, then on counting
    std::wstring longLine(70000, L'x');
    longLine += L"QSNMAIN.BAS";
    auto l = convertProject({longLine});
    EXPECT_EQ(l.converted, std::wstring(70000, L'x') + L"QsnMain2.Bas\r\n");
}

TEST(SaveName, SuffixGoesBeforeTheExtensionWhichKeepsItsCase) {
    EXPECT_EQ(saveName(L"Game.vbp", L"_2"), L"Game_2.vbp");
    EXPECT_EQ(saveName(L"Demo.VBP", L"_old"), L"Demo_old.VBP");
    EXPECT_EQ(saveName(L"Game.vbp", L""), L"Game.vbp");
    EXPECT_EQ(saveName(L"my.vbp.Vbp", L"_2"), L"my_2.vbp.Vbp");
    EXPECT_EQ(saveName(L"Odd.txt", L"_2"), L"Odd.txt_2");
}
