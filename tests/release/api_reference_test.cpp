// The API reference must document exactly what the DLL exports: one "### `name`" heading
// per export of the real export table, and under it both VB Declare lines exactly as
// Quillon.bas has them (VB4 to VB6, and PtrSafe for VBA7) and the C prototype exactly as
// Quillon.h has it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readSource(const std::string& relative) {
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::set<std::string> exportTable() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, n);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"Quillon.dll";
    std::set<std::string> names;
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) return names;
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress != 0) {
        auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
        auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i)
            names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    }
    FreeLibrary(module);
    return names;
}

// "### `ddInit`" -> "ddInit"; anything else -> "".
std::string exportHeading(const std::string& line) {
    if (line.rfind("### `", 0) != 0 || line.size() < 7 || line.back() != '`') return "";
    return line.substr(5, line.size() - 6);
}

struct Reference {
    std::vector<std::string> headings;                    // in document order
    std::map<std::string, std::vector<std::string>> body; // section lines per export
};

Reference parseReference() {
    Reference ref;
    std::string current;
    for (const auto& line : lines(readSource("docs/api-reference.md"))) {
        if (line.rfind("#", 0) == 0) {
            current = exportHeading(line);
            if (!current.empty()) ref.headings.push_back(current);
            continue;
        }
        if (!current.empty()) ref.body[current].push_back(line);
    }
    return ref;
}

// Declare lines of Quillon.bas by export name, for one prefix: the classic branch (VB4 to
// VB6) declares "Public Declare Function", the VBA7 branch "Public Declare PtrSafe Function".
std::map<std::string, std::string> declareLines(const std::string& prefix) {
    std::map<std::string, std::string> out;
    for (const auto& line : lines(readSource("library/include/Quillon.bas"))) {
        if (line.rfind(prefix, 0) != 0) continue;
        std::string name = line.substr(prefix.size());
        name = name.substr(0, name.find(' '));
        EXPECT_EQ(out.count(name), 0u) << name << " declared twice: " << prefix;
        out[name] = line;
    }
    return out;
}

// Prototypes of Quillon.h by export name, each on one line as the reference quotes it:
// comments dropped, runs of white space made one space.
std::map<std::string, std::string> prototypes() {
    std::string text = readSource("library/include/Quillon.h");
    text = std::regex_replace(text, std::regex(R"(/\*[^*]*\*+([^/*][^*]*\*+)*/)"), " ");
    std::map<std::string, std::string> out;
    std::regex prototype(R"(\w+\s+QUILLON_API\s+(\w+)\s*\([^)]*\)\s*;)");
    for (std::sregex_iterator it(text.begin(), text.end(), prototype), end; it != end; ++it) {
        std::string line = std::regex_replace(it->str(), std::regex(R"(\s+)"), " ");
        line = std::regex_replace(line, std::regex(R"(\( )"), "(");
        line = std::regex_replace(line, std::regex(R"( \))"), ")");
        out[(*it)[1]] = line;
    }
    return out;
}

TEST(ApiReference, HeadingsMatchTheExportTableOneToOne) {
    std::set<std::string> exports = exportTable();
    ASSERT_EQ(exports.size(), 72u) << "Quillon.dll's export table";
    Reference ref = parseReference();
    ASSERT_FALSE(ref.headings.empty()) << "docs/api-reference.md not found or has no headings";

    std::set<std::string> documented;
    for (const auto& name : ref.headings) {
        EXPECT_TRUE(documented.insert(name).second) << name << " documented twice";
        EXPECT_TRUE(exports.count(name)) << name << " is documented but not exported";
    }
    for (const auto& name : exports)
        EXPECT_TRUE(documented.count(name)) << name << " is exported but not documented";
    EXPECT_EQ(documented.size(), 72u);
}

TEST(ApiReference, EachEntryQuotesBothVbDeclaresAndTheCPrototype) {
    auto classic = declareLines("Public Declare Function ");
    auto vba7 = declareLines("Public Declare PtrSafe Function ");
    auto c = prototypes();
    ASSERT_EQ(classic.size(), 72u) << "classic Declares in Quillon.bas";
    ASSERT_EQ(vba7.size(), 72u) << "VBA7 (PtrSafe) Declares in Quillon.bas";
    ASSERT_EQ(c.size(), 72u) << "prototypes in Quillon.h";
    Reference ref = parseReference();
    ASSERT_EQ(ref.body.size(), 72u) << "sections with text under an export heading";
    for (const auto& [name, body] : ref.body) {
        ASSERT_TRUE(classic.count(name)) << name << " has no classic Declare in Quillon.bas";
        ASSERT_TRUE(vba7.count(name)) << name << " has no VBA7 Declare in Quillon.bas";
        ASSERT_TRUE(c.count(name)) << name << " has no prototype in Quillon.h";
        bool hasClassic = false, hasVba7 = false, hasPrototype = false, hasErrorNote = false;
        for (const auto& line : body) {
            hasClassic |= line == classic[name];
            hasVba7 |= line == vba7[name];
            hasPrototype |= line == c[name];
            hasErrorNote |= line.find("ddError") != std::string::npos;
        }
        EXPECT_TRUE(hasClassic) << name << ": the classic Declare line differs from Quillon.bas";
        EXPECT_TRUE(hasVba7) << name << ": the VBA7 Declare line differs from Quillon.bas";
        EXPECT_TRUE(hasPrototype) << name
                                  << ": the C prototype differs from Quillon.h: " << c[name];
        EXPECT_TRUE(hasErrorNote) << name << ": does not say what it records for ddError";
    }
}

} // namespace
