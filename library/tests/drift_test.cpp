// What callers are given must agree with what the DLL exports: the C header, the VB
// module, the .def and the loaded DLL's export table list the same names, and the three
// texts give each the same number of 32-bit arguments.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "quillon_dll.h"

#ifndef QUILLON_INCLUDE_DIR
#error "QUILLON_INCLUDE_DIR must name the folder of Quillon.h"
#endif

namespace {

using Signatures = std::map<std::string, int>;

std::string readText(const char* name) {
    std::string path = std::string(QUILLON_INCLUDE_DIR) + "\\" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int countArguments(std::string list) {
    list = std::regex_replace(list, std::regex(R"(/\*.*?\*/)"), " ");
    list = std::regex_replace(list, std::regex(R"(^\s+|\s+$)"), "");
    if (list.empty() || list == "void") return 0;
    int commas = 0;
    for (char c : list)
        if (c == ',') ++commas;
    return commas + 1;
}

// Collects name -> argument count; a name listed twice is a failure of its own.
void collect(Signatures& out, const std::string& text, const std::regex& pattern, const char* what,
             int (*count)(const std::smatch&)) {
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        std::string name = (*it)[1];
        EXPECT_EQ(out.count(name), 0u) << name << " listed twice in " << what;
        out[name] = count(*it);
    }
}

Signatures fromHeader() {
    Signatures s;
    collect(s, readText("Quillon.h"), std::regex(R"(QUILLON_API\s+(\w+)\s*\(([^)]*)\))"),
            "Quillon.h", [](const std::smatch& m) { return countArguments(m[2]); });
    return s;
}

Signatures fromVbModule() {
    Signatures s;
    collect(s, readText("Quillon.bas"),
            std::regex(R"(Declare\s+Function\s+(\w+)\s+Lib\s+"Quillon\.dll"\s*\(([^)\r\n]*)\))",
                       std::regex::icase),
            "Quillon.bas", [](const std::smatch& m) { return countArguments(m[2]); });
    return s;
}

Signatures fromDef() {
    Signatures s;
    collect(s, readText("Quillon.def"),
            std::regex(R"(^\s*(\w+)\s*=\s*(\w+)@(\d+)\s*$)", std::regex::multiline), "Quillon.def",
            [](const std::smatch& m) {
                EXPECT_EQ(m[1], m[2]) << "exported under another name";
                EXPECT_EQ(std::stoi(m[3]) % 4, 0) << m[1];
                return std::stoi(m[3]) / 4;
            });
    return s;
}

// The names in the export directory of the module as it is loaded.
std::set<std::string> exportTable(HMODULE module) {
    auto base = reinterpret_cast<const unsigned char*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    EXPECT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (!dir.VirtualAddress) return names;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames) << "unnamed exports";
    return names;
}

std::set<std::string> namesOf(const Signatures& s) {
    std::set<std::string> n;
    for (const auto& [name, count] : s)
        n.insert(name);
    return n;
}

} // namespace

TEST(Drift, HeaderVbModuleDefAndExportTableAgree) {
    Signatures header = fromHeader(), vb = fromVbModule(), def = fromDef();
    std::set<std::string> table = exportTable(qtest::dll().module);

    EXPECT_EQ(header.size(), 66u);
    EXPECT_EQ(namesOf(vb), namesOf(header));
    EXPECT_EQ(namesOf(def), namesOf(header));
    EXPECT_EQ(table, namesOf(header));
    for (const auto& [name, count] : header) {
        EXPECT_EQ(vb[name], count) << name << " in Quillon.bas";
        EXPECT_EQ(def[name], count) << name << " in Quillon.def";
    }
    for (const auto& name : table)
        EXPECT_EQ(name.find('@'), std::string::npos) << name;
}

TEST(Drift, IntegerArgumentsAreDeclaredAsVbIntegers) {
    // The exports that read only the low 16 bits take VB's Integer; every other argument
    // is a Long (by value or, for arrays and records, by reference).
    std::string bas = readText("Quillon.bas");
    std::regex declare(R"(Declare\s+Function\s+(\w+)\s+Lib\s+"Quillon\.dll"\s*\(([^)\r\n]*)\))");
    const std::set<std::string> integerExports = {"ddSetBitDepth", "ddCanOverlay",
                                                  "ddCanWideSurface"};
    int seen = 0;
    for (std::sregex_iterator it(bas.begin(), bas.end(), declare), end; it != end; ++it) {
        std::string name = (*it)[1], args = (*it)[2];
        bool hasInteger = args.find("As Integer") != std::string::npos;
        if (integerExports.count(name)) {
            ++seen;
            EXPECT_TRUE(hasInteger) << name;
        }
    }
    EXPECT_EQ(seen, 3);
}
