// What callers are given must agree with what the DLL exports: the C header, both branches
// of the VB module (the classic Declares of VB4 to VB6 and the PtrSafe Declares of VBA7),
// the .def of this build's architecture and the loaded DLL's export table list the same
// names, with the same arguments, and every handle has the width of its world.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "quillon_dll.h"

#ifndef QUILLON_INCLUDE_DIR
#error "QUILLON_INCLUDE_DIR must name the folder of Quillon.h"
#endif

// One handle type, pointer-sized; on Win32 the very type the 32-bit names were made with.
static_assert(sizeof(QHANDLE) == sizeof(void*), "a handle holds an address");
#ifndef _WIN64
static_assert(std::is_same<QHANDLE, long>::value, "on Win32 a handle is a long");
#endif

namespace {

#ifdef _WIN64
const char* const kDefName = "x64\\Quillon.def";
const WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
#else
const char* const kDefName = "Quillon.def";
const WORD kMachine = IMAGE_FILE_MACHINE_I386;
#endif

std::string readText(const std::string& name) {
    std::string path = std::string(QUILLON_INCLUDE_DIR) + "\\" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string trim(const std::string& s) {
    return std::regex_replace(s, std::regex(R"(^\s+|\s+$)"), "");
}

std::vector<std::string> splitList(std::string list) {
    list = trim(std::regex_replace(list, std::regex(R"(/\*.*?\*/)"), " "));
    std::vector<std::string> items;
    if (list.empty() || list == "void") return items;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        items.push_back(trim(item));
    return items;
}

// --- Quillon.h ---

struct CFunction {
    std::string result;              // "long" or "QHANDLE"
    std::vector<std::string> params; // types without the names: "QHANDLE", "const RECT*"
};

std::map<std::string, CFunction> fromHeader() {
    std::map<std::string, CFunction> out;
    std::string text = readText("Quillon.h");
    std::regex prototype(R"((\w+)\s+QUILLON_API\s+(\w+)\s*\(([^)]*)\))");
    for (std::sregex_iterator it(text.begin(), text.end(), prototype), end; it != end; ++it) {
        std::string name = (*it)[2];
        EXPECT_EQ(out.count(name), 0u) << name << " listed twice in Quillon.h";
        CFunction f;
        f.result = (*it)[1];
        for (const auto& param : splitList((*it)[3])) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(param, m, std::regex(R"((.*[\w*])\s*\b\w+)")))
                << name << ": " << param;
            f.params.push_back(std::regex_replace(trim(m[1]), std::regex(R"(\s*\*)"), "*"));
        }
        out[name] = f;
    }
    return out;
}

// --- Quillon.bas, one branch at a time ---

enum class Branch { kClassic, kVba7 };

const char* branchName(Branch b) {
    return b == Branch::kVba7 ? "VBA7 branch" : "classic branch";
}

// The lines a compiler of that world reads: outside "#If VBA7 Then ... #Else ... #End If"
// both read everything; inside, VBA7 reads the first part, VB4 to VB6 the second.
std::string branchText(const std::string& bas, Branch branch) {
    enum { Both, First, Second } part = Both;
    std::stringstream in(bas);
    std::string line, out;
    int blocks = 0;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (std::regex_match(t, std::regex(R"(#If\s+VBA7\s+Then)", std::regex::icase))) {
            EXPECT_EQ(part, Both) << "nested #If";
            part = First;
            ++blocks;
            continue;
        }
        if (std::regex_match(t, std::regex(R"(#Else)", std::regex::icase))) {
            EXPECT_EQ(part, First) << "#Else outside #If VBA7";
            part = Second;
            continue;
        }
        if (std::regex_match(t, std::regex(R"(#End\s*If)", std::regex::icase))) {
            EXPECT_EQ(part, Second) << "#End If without #Else";
            part = Both;
            continue;
        }
        EXPECT_NE(t.rfind("#", 0), 0u) << "unexpected directive: " << t;
        bool read = part == Both || (part == First) == (branch == Branch::kVba7);
        if (read) out += line + "\n";
    }
    EXPECT_EQ(part, Both) << "#If VBA7 left open";
    EXPECT_GT(blocks, 0) << "Quillon.bas has no #If VBA7 branch";
    return out;
}

struct VbParam {
    bool byVal = false;
    std::string type;
};

struct VbFunction {
    bool ptrSafe = false;
    std::string result;
    std::vector<VbParam> params;
};

std::map<std::string, VbFunction> fromVbModule(Branch branch) {
    std::map<std::string, VbFunction> out;
    std::string text = branchText(readText("Quillon.bas"), branch);
    std::regex declare(
        R"(Declare\s+(PtrSafe\s+)?Function\s+(\w+)\s+Lib\s+"Quillon\.dll"\s*\(([^)\r\n]*)\)\s+As\s+(\w+))",
        std::regex::icase);
    for (std::sregex_iterator it(text.begin(), text.end(), declare), end; it != end; ++it) {
        std::string name = (*it)[2];
        EXPECT_EQ(out.count(name), 0u) << name << " declared twice in the " << branchName(branch);
        VbFunction f;
        f.ptrSafe = (*it)[1].matched;
        f.result = (*it)[4];
        for (const auto& param : splitList((*it)[3])) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(param, m, std::regex(R"((ByVal\s+)?\w+\s+As\s+(\w+))")))
                << name << ": " << param;
            f.params.push_back({m[1].matched, m[2]});
        }
        out[name] = f;
    }
    return out;
}

// --- the .def of this architecture ---

struct DefLine {
    std::string name;
    int bytes = -1;   // 32-bit: N of Name@N; 64-bit: -1, plain names only
    int ordinal = -1; // a fixed ordinal (" @N" at the end), or -1
};

// The export lines in the order of the file.
std::vector<DefLine> defLines() {
    std::vector<DefLine> out;
    std::string text = readText(kDefName);
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t.rfind("LIBRARY", 0) == 0 || t == "EXPORTS") continue;
        std::smatch m;
        DefLine d;
#ifdef _WIN64
        if (!std::regex_match(t, m, std::regex(R"((\w+)(\s+@(\d+))?)"))) {
            ADD_FAILURE() << "not a plain name: " << t;
            continue;
        }
        d.name = m[1];
        if (m[3].matched) d.ordinal = std::stoi(m[3]);
#else
        if (!std::regex_match(t, m, std::regex(R"((\w+)\s*=\s*(\w+)@(\d+)(\s+@(\d+))?)"))) {
            ADD_FAILURE() << "not Name = Name@N: " << t;
            continue;
        }
        d.name = m[1];
        EXPECT_EQ(m[1], m[2]) << "exported under another name";
        d.bytes = std::stoi(m[3]);
        if (m[5].matched) d.ordinal = std::stoi(m[5]);
#endif
        out.push_back(d);
    }
    return out;
}

// name -> bytes of arguments.
std::map<std::string, int> fromDef() {
    std::map<std::string, int> out;
    for (const DefLine& d : defLines()) {
        EXPECT_EQ(out.count(d.name), 0u) << d.name << " listed twice in " << kDefName;
        out[d.name] = d.bytes;
    }
    return out;
}

// The names in the export directory of the module as it is loaded.
std::set<std::string> exportTable(HMODULE module) {
    auto base = reinterpret_cast<const unsigned char*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    EXPECT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->FileHeader.Machine, kMachine) << "a DLL of another architecture";
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

// Name -> ordinal in the export directory of the loaded module.
std::map<std::string, int> exportOrdinals(HMODULE module) {
    auto base = reinterpret_cast<const unsigned char*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::map<std::string, int> ordinals;
    if (!dir.VirtualAddress) return ordinals;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    auto indexes = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        ordinals[reinterpret_cast<const char*>(base + nameRvas[i])] =
            static_cast<int>(exports->Base + indexes[i]);
    return ordinals;
}

template <class Map> std::set<std::string> namesOf(const Map& m) {
    std::set<std::string> n;
    for (const auto& entry : m)
        n.insert(entry.first);
    return n;
}

bool isHandle(const std::string& cType) {
    static const std::set<std::string> handles = {"QHANDLE", "HWND", "HBITMAP", "HPALETTE",
                                                  "HINSTANCE"};
    return handles.count(cType) != 0;
}

// The exports of the first release, numbered by the linker in name order; every export
// added since has a fixed ordinal after them.
constexpr std::size_t kFirstExports = 66;
constexpr std::size_t kExports = 72;

// The exports that read only the low 16 bits take VB's Integer.
const std::set<std::string> kIntegerExports = {"ddSetBitDepth", "ddCanOverlay", "ddCanWideSurface"};

} // namespace

TEST(Drift, HeaderVbModuleDefAndExportTableAgree) {
    auto header = fromHeader();
    auto classic = fromVbModule(Branch::kClassic), vba7 = fromVbModule(Branch::kVba7);
    auto def = fromDef();
    std::set<std::string> table = exportTable(library_test::dll().module);

    EXPECT_EQ(header.size(), kExports);
    EXPECT_EQ(namesOf(classic), namesOf(header)) << "classic branch of Quillon.bas";
    EXPECT_EQ(namesOf(vba7), namesOf(header)) << "VBA7 branch of Quillon.bas";
    EXPECT_EQ(namesOf(def), namesOf(header)) << kDefName;
    EXPECT_EQ(table, namesOf(header));
    for (const auto& [name, c] : header) {
        EXPECT_EQ(classic[name].params.size(), c.params.size()) << name << " in the classic branch";
        EXPECT_EQ(vba7[name].params.size(), c.params.size()) << name << " in the VBA7 branch";
#ifndef _WIN64
        // stdcall: 4 bytes for every argument, handles included.
        EXPECT_EQ(def[name], static_cast<int>(4 * c.params.size())) << name << " in Quillon.def";
#endif
    }
    for (const auto& name : table)
        EXPECT_EQ(name.find('@'), std::string::npos) << name;
}

TEST(Drift, EarlierExportsKeepTheirOrdinalsAndLaterOnesComeAfter) {
    // Callers may import by ordinal. The linker numbers unnumbered names in name order from
    // 1, so the first exports keep their numbers only while no new name joins them: every
    // later export carries the next ordinal itself, at the end of the .def.
    std::vector<DefLine> lines = defLines();
    ASSERT_EQ(lines.size(), kExports);
    std::vector<std::string> first;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i].name);
        if (i < kFirstExports) {
            EXPECT_EQ(lines[i].ordinal, -1) << "a first export with a fixed ordinal";
            first.push_back(lines[i].name);
        } else {
            EXPECT_EQ(lines[i].ordinal, static_cast<int>(i + 1)) << "a later export's ordinal";
        }
    }
    std::sort(first.begin(), first.end());
    std::map<std::string, int> ordinals = exportOrdinals(library_test::dll().module);
    ASSERT_EQ(ordinals.size(), kExports);
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(ordinals[first[i]], static_cast<int>(i + 1)) << first[i];
    for (std::size_t i = kFirstExports; i < lines.size(); ++i)
        EXPECT_EQ(ordinals[lines[i].name], lines[i].ordinal) << lines[i].name;
}

TEST(Drift, EveryHandleHasTheWidthOfItsWorld) {
    // Handles (QHANDLE and the Windows handles) are Long in VB4 to VB6 and LongPtr in VBA7;
    // every other number is a Long (or an Integer) in both; pointers go by reference or as
    // strings, the same in both.
    auto header = fromHeader();
    ASSERT_EQ(header.size(), kExports);
    for (Branch branch : {Branch::kClassic, Branch::kVba7}) {
        SCOPED_TRACE(branchName(branch));
        const std::string handleType = branch == Branch::kVba7 ? "LongPtr" : "Long";
        auto vb = fromVbModule(branch);
        for (const auto& [name, c] : header) {
            SCOPED_TRACE(name);
            auto found = vb.find(name);
            ASSERT_NE(found, vb.end());
            const VbFunction& f = found->second;
            EXPECT_EQ(f.ptrSafe, branch == Branch::kVba7);
            ASSERT_TRUE(c.result == "long" || c.result == "QHANDLE") << c.result;
            EXPECT_EQ(f.result, c.result == "QHANDLE" ? handleType : std::string("Long"));
            ASSERT_EQ(f.params.size(), c.params.size());
            for (size_t i = 0; i < c.params.size(); ++i) {
                SCOPED_TRACE("argument " + std::to_string(i + 1) + " (" + c.params[i] + ")");
                const VbParam& p = f.params[i];
                if (isHandle(c.params[i])) {
                    EXPECT_TRUE(p.byVal);
                    EXPECT_EQ(p.type, handleType);
                } else if (c.params[i] == "long") {
                    EXPECT_TRUE(p.byVal);
                    EXPECT_EQ(p.type, kIntegerExports.count(name) ? "Integer" : "Long");
                } else if (c.params[i] == "const char*") {
                    EXPECT_TRUE(p.byVal);
                    EXPECT_EQ(p.type, "String");
                } else {
                    ASSERT_NE(c.params[i].find('*'), std::string::npos) << "unknown C type";
                    EXPECT_FALSE(p.byVal) << "a pointer goes by reference";
                    EXPECT_NE(p.type, "LongPtr");
                }
            }
        }
    }
}

TEST(Drift, IntegerArgumentsAreDeclaredAsVbIntegers) {
    // The exports that read only the low 16 bits take VB's Integer; every other argument
    // is a Long, a LongPtr (VBA7 handles) or a reference.
    for (Branch branch : {Branch::kClassic, Branch::kVba7}) {
        SCOPED_TRACE(branchName(branch));
        int seen = 0;
        for (const auto& [name, f] : fromVbModule(branch)) {
            bool hasInteger = false;
            for (const auto& p : f.params)
                hasInteger |= p.type == "Integer";
            EXPECT_EQ(hasInteger, kIntegerExports.count(name) != 0) << name;
            seen += hasInteger;
        }
        EXPECT_EQ(seen, 3);
    }
}
