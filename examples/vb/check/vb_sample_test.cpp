// The VB sample cannot be compiled here, so it is checked against Quillon.bas, in both of
// its branches (the classic Declares of VB4 to VB6 and the PtrSafe ones of VBA7): every
// call names a declared export with the right number of arguments, and the project lists
// files that ship with it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "vb_calls.h"

using vbcheck::Branch;
using vbcheck::declaredFunctions;
using vbcheck::findCalls;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kSample = QUILLON_VB_SAMPLE_DIR;
const std::string kQuillonBas = QUILLON_INCLUDE_DIR "/Quillon.bas";

std::map<std::string, int> quillon(Branch branch) {
    return declaredFunctions(readFile(kQuillonBas), branch);
}

const char* nameOf(Branch branch) {
    return branch == Branch::kVba7 ? "VBA7 branch" : "classic branch";
}

// --- the reader itself, on small pieces of VB ---

const std::map<std::string, int> kDeclared = {
    {"ddclear", 2}, {"ddquit", 0}, {"ddcolorex", 2}, {"ddgetbacksurface", 0}, {"ddinit", 4}};

TEST(VbReader, CountsDeclaredParameters) {
    auto d = declaredFunctions(
        "Public Declare Function ddQuit Lib \"Quillon.dll\" () As Long\r\n"
        "Declare Function ddBlt Lib \"Quillon.dll\" (ByVal Dest As Long, DestRect As Any, "
        "ByVal Src As Long, SrcRect As Any, ByVal ColorKey As Long) As Long\r\n"
        "Private Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)\r\n");
    EXPECT_EQ(d.at("ddquit"), 0);
    EXPECT_EQ(d.at("ddblt"), 5);
    EXPECT_EQ(d.at("sleep"), 1);
    EXPECT_EQ(quillon(Branch::kClassic).size(), 72u);
    EXPECT_EQ(quillon(Branch::kVba7).size(), 72u);
}

TEST(VbReader, ReadsTheBranchOfEachWorld) {
    const std::string source =
        "Public Declare Function ddQuit Lib \"Quillon.dll\" () As Long\r\n"
        "#If VBA7 Then\r\n"
        "Public Declare PtrSafe Function ddGetDC Lib \"Quillon.dll\" (ByVal S As LongPtr) "
        "As LongPtr\r\n"
        "Public Declare PtrSafe Function ddNew Lib \"Quillon.dll\" (ByVal A As Long, "
        "ByVal B As Long) As Long\r\n"
        "#Else\r\n"
        "Public Declare Function ddGetDC Lib \"Quillon.dll\" (ByVal S As Long) As Long\r\n"
        "#End If\r\n";
    auto classic = declaredFunctions(source, Branch::kClassic);
    auto vba7 = declaredFunctions(source, Branch::kVba7);
    EXPECT_EQ(classic, (std::map<std::string, int>{{"ddquit", 0}, {"ddgetdc", 1}}));
    EXPECT_EQ(vba7, (std::map<std::string, int>{{"ddquit", 0}, {"ddgetdc", 1}, {"ddnew", 2}}));
    EXPECT_EQ(declaredFunctions(source), classic) << "plain VB source is read as VB4 to VB6 do";
}

TEST(VbReader, CountsArgumentsInEveryCallForm) {
    auto calls = findCalls("ddClear 0, RGB(1, 2, 3)\n"
                           "x = ddColorEx(RGB(0, 0, 96), ddGetBackSurface())\n"
                           "Call ddInit(Me.hWnd, 640, 480, 0)\n"
                           "ddQuit: If ddInit(h, 1, 2, 3) = 0 Then Exit Sub\n",
                           kDeclared);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].name, "ddClear");
    EXPECT_EQ(calls[0].arguments, 2);
    EXPECT_EQ(calls[1].name, "ddColorEx");
    EXPECT_EQ(calls[1].arguments, 2);
    EXPECT_EQ(calls[2].name, "ddGetBackSurface");
    EXPECT_EQ(calls[2].arguments, 0);
    EXPECT_EQ(calls[3].arguments, 4);
    EXPECT_EQ(calls[4].name, "ddQuit");
    EXPECT_EQ(calls[4].arguments, 0);
    EXPECT_EQ(calls[5].arguments, 4);
    EXPECT_EQ(calls[5].line, 4);
    for (const auto& c : calls)
        EXPECT_EQ(c.problem, "") << c.name;
}

TEST(VbReader, JoinsContinuationsAndSkipsCommentsAndStrings) {
    auto calls = findCalls("' ddClear 1, 2, 3 in a comment\n"
                           "MsgBox \"ddClear a, b, c\"\n"
                           "Rem ddQuit 1\n"
                           "ddClear 0, _\n"
                           "    5 ' the colour, ddQuit 7\n",
                           kDeclared);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].arguments, 2);
    EXPECT_EQ(calls[0].line, 4);
}

TEST(VbReader, FindsCallsNestedInStatementArguments) {
    auto calls = findCalls("ddClear ddGetBackSurface(), ddColorEx(5, 0, 1)\n", kDeclared);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].name, "ddColorEx");
    EXPECT_EQ(calls[2].arguments, 3);
}

TEST(VbReader, ReportsInvalidFormsAndUndeclaredExports) {
    auto calls = findCalls("ddClear (0, 5)\nddUpdateWindows 0\nCall ddClear 0, 5\n", kDeclared);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_NE(calls[0].problem, "");
    EXPECT_EQ(calls[1].problem, "not declared in Quillon.bas");
    EXPECT_NE(calls[2].problem, "");
    // One argument in parentheses is valid VB: it is passed by value.
    EXPECT_EQ(findCalls("ddQuit (0)\n", kDeclared).at(0).problem, "");
}

// --- the sample ---

TEST(VbSample, BothBranchesOfQuillonBasDeclareTheSameExports) {
    auto classic = quillon(Branch::kClassic), vba7 = quillon(Branch::kVba7);
    EXPECT_EQ(classic.size(), 72u);
    EXPECT_EQ(vba7, classic) << "names and argument counts of the VBA7 and classic branches";
}

TEST(VbSample, EveryCallMatchesQuillonBas) {
    for (Branch branch : {Branch::kClassic, Branch::kVba7}) {
        SCOPED_TRACE(nameOf(branch));
        auto declared = quillon(branch);
        ASSERT_EQ(declared.size(), 72u);
        std::set<std::string> called;
        for (const char* file : {"Game.bas", "frmMain.frm"}) {
            std::string source = readFile(kSample + "/" + file);
            ASSERT_FALSE(source.empty()) << file;
            EXPECT_TRUE(declaredFunctions(source).empty()) << file << " declares its own functions";
            for (const auto& call : findCalls(source, declared)) {
                SCOPED_TRACE(std::string(file) + ":" + std::to_string(call.line) + " " + call.name);
                EXPECT_EQ(call.problem, "");
                std::string key = call.name;
                for (char& c : key)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                auto d = declared.find(key);
                ASSERT_NE(d, declared.end());
                EXPECT_EQ(call.arguments, d->second);
                called.insert(call.name);
            }
        }
        // What the sample is for: the calls of a complete minimal game loop.
        for (const char* needed :
             {"ddInit", "ddCreateSurfaceFromFile", "ddCreateSurfaceFromImage", "ddColorEx",
              "ddClear", "ddFillBlt", "ddSafeBltFast", "ddUpdateWindow", "SetTimeKeeper",
              "IsTimeElapsed", "ddReleaseSurface", "ddQuit"})
            EXPECT_TRUE(called.count(needed)) << "the sample never calls " << needed;
    }
}

TEST(VbSample, GettingStartedPageCallsMatchQuillonBas) {
    for (Branch branch : {Branch::kClassic, Branch::kVba7}) {
        SCOPED_TRACE(nameOf(branch));
        auto declared = quillon(branch);
        std::string page = readFile(QUILLON_DOCS_DIR "/getting-started-vb.md");
        ASSERT_FALSE(page.empty());
        int blocks = 0, calls = 0;
        for (size_t at = page.find("```vb\n"); at != std::string::npos;
             at = page.find("```vb\n", at)) {
            size_t begin = at + 6, end = page.find("\n```", begin);
            ASSERT_NE(end, std::string::npos);
            ++blocks;
            for (const auto& call : findCalls(page.substr(begin, end - begin), declared)) {
                SCOPED_TRACE("block " + std::to_string(blocks) + " line " +
                             std::to_string(call.line) + " " + call.name);
                ++calls;
                EXPECT_EQ(call.problem, "");
                std::string key = call.name;
                for (char& c : key)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                auto d = declared.find(key);
                ASSERT_NE(d, declared.end());
                EXPECT_EQ(call.arguments, d->second);
            }
            at = end;
        }
        EXPECT_GE(blocks, 3);
        EXPECT_GE(calls, 15);
    }
}

TEST(VbSample, ProjectListsItsFilesAndQuillonBas) {
    std::string vbp = readFile(kSample + "/QuillonSample.vbp");
    ASSERT_FALSE(vbp.empty());
    std::stringstream lines(vbp);
    std::string line;
    std::set<std::string> files;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Form=", 0) == 0)
            files.insert(line.substr(5));
        else if (line.rfind("Module=", 0) == 0)
            files.insert(line.substr(line.find("; ") + 2));
        else if (line.rfind("Startup=", 0) == 0) {
            EXPECT_EQ(line, "Startup=\"Sub Main\"");
        }
    }
    EXPECT_EQ(files, (std::set<std::string>{"frmMain.frm", "Game.bas", "Quillon.bas"}));
    for (const auto& f : files) {
        // Quillon.bas is copied beside the sample when the release is packed.
        std::string path = f == "Quillon.bas" ? kQuillonBas : kSample + "/" + f;
        EXPECT_FALSE(readFile(path).empty()) << path;
    }
}

TEST(VbSample, SpriteSheetIsKeyedByItsTopLeftPixel) {
    std::string bmp = readFile(kSample + "/sprites.bmp");
    ASSERT_GE(bmp.size(), 54u);
    ASSERT_EQ(bmp.substr(0, 2), "BM");
    auto u32 = [&](size_t at) {
        return unsigned(uint8_t(bmp[at])) | unsigned(uint8_t(bmp[at + 1])) << 8 |
               unsigned(uint8_t(bmp[at + 2])) << 16 | unsigned(uint8_t(bmp[at + 3])) << 24;
    };
    unsigned offset = u32(10), width = u32(18), height = u32(22);
    unsigned bits = uint8_t(bmp[28]) | uint8_t(bmp[29]) << 8;
    ASSERT_EQ(bits, 24u);
    EXPECT_EQ(width % 32, 0u);
    EXPECT_EQ(height, 32u);
    // Bottom-up rows: the top-left pixel starts the last row (blue, green, red).
    size_t row = (width * 3 + 3) / 4 * 4;
    size_t topLeft = offset + row * (height - 1);
    ASSERT_LE(topLeft + 3, bmp.size());
    EXPECT_EQ(uint8_t(bmp[topLeft]), 255);
    EXPECT_EQ(uint8_t(bmp[topLeft + 1]), 0);
    EXPECT_EQ(uint8_t(bmp[topLeft + 2]), 255);
}

TEST(VbSample, BallAndGlowArePngsWithAnAlphaChannel) {
    for (auto [name, size] : {std::pair<const char*, unsigned>{"ball.png", 32}, {"glow.png", 64}}) {
        SCOPED_TRACE(name);
        std::string png = readFile(kSample + "/" + name);
        ASSERT_GE(png.size(), 33u);
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        ASSERT_EQ(png.substr(12, 4), "IHDR");
        auto u32 = [&](size_t at) {
            return unsigned(uint8_t(png[at])) << 24 | unsigned(uint8_t(png[at + 1])) << 16 |
                   unsigned(uint8_t(png[at + 2])) << 8 | unsigned(uint8_t(png[at + 3]));
        };
        EXPECT_EQ(u32(16), size);
        EXPECT_EQ(u32(20), size);
        EXPECT_EQ(uint8_t(png[24]), 8); // bits per channel
        EXPECT_EQ(uint8_t(png[25]), 6); // red, green, blue and alpha
    }
}

} // namespace
