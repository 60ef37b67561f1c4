// Reads the version resources and icons of the four shipped binaries back the way Explorer
// does (GetFileVersionInfo / VerQueryValue, the icon group directory).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

struct Binary {
    const wchar_t* file;
    const wchar_t* name;        // ProductName and InternalName
    const wchar_t* original;    // OriginalFilename
    const wchar_t* description; // FileDescription
    const wchar_t* comment;     // Comments
    bool hasIcon;
};

const Binary kBinaries[] = {
    {L"TAMSEL.EXE", L"Tamsel", L"Tamsel.exe", L"AVIファイルの圧縮と合成を行います。",
     L"このプログラムはフリーウェアです。", true},
    {L"PURNIX.EXE", L"Purnix", L"Purnix.exe",
     L"WAVEファイルを1ストリームのAVIファイルに変換します。", L"このプログラムはフリーウェアです。",
     true},
    {L"KESTROM.EXE", L"Kestrom", L"Kestrom.exe",
     L"Farrow1.x用のVBプロジェクトファイルを2.0用に変換します。",
     L"このプログラムはフリーウェアです。", true},
    {L"Quillon.dll", L"Quillon", L"Quillon.dll",
     L"Visual BasicとC向けのDirectDraw描画ライブラリです。", L"このライブラリはフリーウェアです。",
     false},
};

std::wstring besideTest(const wchar_t* file) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + file;
}

std::string narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

void PrintTo(const Binary& binary, std::ostream* os) {
    *os << narrow(binary.file);
}

class VersionResource : public ::testing::TestWithParam<Binary> {
  protected:
    void SetUp() override {
        path_ = besideTest(GetParam().file);
        if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << narrow(GetParam().file) << " is not built in this tree yet";
    }

    std::vector<BYTE> versionBlock() const {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &handle);
        std::vector<BYTE> block(size);
        if (size == 0 || !GetFileVersionInfoW(path_.c_str(), 0, size, block.data())) block.clear();
        return block;
    }

    std::wstring path_;
};

std::wstring stringValue(std::vector<BYTE>& block, const wchar_t* key) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + key;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) ||
        text == nullptr)
        return L"<missing>";
    return std::wstring(text);
}

TEST_P(VersionResource, FixedVersionIsOnePointZero) {
    auto block = versionBlock();
    ASSERT_FALSE(block.empty()) << "no version resource";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, GetParam().hasIcon ? DWORD(VFT_APP) : DWORD(VFT_DLL));
}

TEST_P(VersionResource, JapaneseUnicodeBlockOnly) {
    auto block = versionBlock();
    ASSERT_FALSE(block.empty());
    WORD* pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&pairs), &length));
    ASSERT_EQ(length, 4u) << "exactly one language and code page";
    EXPECT_EQ(pairs[0], 0x0411);
    EXPECT_EQ(pairs[1], 1200);
}

TEST_P(VersionResource, StringsNameTheBinary) {
    auto block = versionBlock();
    ASSERT_FALSE(block.empty());
    const Binary& b = GetParam();
    EXPECT_EQ(narrow(stringValue(block, L"FileVersion")), "1.00");
    EXPECT_EQ(narrow(stringValue(block, L"ProductVersion")), "1.00");
    EXPECT_EQ(narrow(stringValue(block, L"ProductName")), narrow(b.name));
    EXPECT_EQ(narrow(stringValue(block, L"InternalName")), narrow(b.name));
    EXPECT_EQ(narrow(stringValue(block, L"OriginalFilename")), narrow(b.original));
    EXPECT_EQ(narrow(stringValue(block, L"FileDescription")), narrow(b.description));
    EXPECT_EQ(narrow(stringValue(block, L"Comments")), narrow(b.comment));
    EXPECT_NE(stringValue(block, L"LegalCopyright").find(L"Copyright"), std::wstring::npos);
}

#pragma pack(push, 2)
struct GroupIconEntry { // one image of an RT_GROUP_ICON directory
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_P(VersionResource, ProgramIconHasBothSizesInSixteenColours) {
    if (!GetParam().hasIcon) GTEST_SKIP() << "the library carries no icon";
    HMODULE module = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr) << "icon group 1 missing";
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(data, nullptr);
    WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_GE(SizeofResource(module, group), 6u + count * sizeof(GroupIconEntry));
    bool has32 = false, has16 = false;
    for (WORD i = 0; i < count; ++i) {
        const auto* e =
            reinterpret_cast<const GroupIconEntry*>(data + 6 + i * sizeof(GroupIconEntry));
        EXPECT_EQ(e->bitCount, 4) << "image " << i << " is not 16 colours";
        // Each image the group names must be there, as big as the directory says.
        HRSRC image =
            FindResourceW(module, MAKEINTRESOURCEW(e->id), MAKEINTRESOURCEW(3)); // RT_ICON
        ASSERT_NE(image, nullptr) << "icon image " << e->id << " missing";
        EXPECT_EQ(SizeofResource(module, image), e->bytes);
        has32 |= e->width == 32 && e->height == 32;
        has16 |= e->width == 16 && e->height == 16;
    }
    EXPECT_TRUE(has32);
    EXPECT_TRUE(has16);
    FreeLibrary(module);

    // The shell reads the same icon: both sizes come out of the file.
    HICON large = nullptr, small = nullptr;
    ExtractIconExW(path_.c_str(), 0, &large, &small, 1);
    EXPECT_NE(large, nullptr);
    EXPECT_NE(small, nullptr);
    if (large) DestroyIcon(large);
    if (small) DestroyIcon(small);
}

INSTANTIATE_TEST_SUITE_P(Binaries, VersionResource, ::testing::ValuesIn(kBinaries),
                         [](const auto& info) {
                             std::string name = narrow(info.param.name);
                             return name;
                         });

} // namespace
