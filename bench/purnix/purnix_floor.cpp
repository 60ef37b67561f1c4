// The floor under PURNIX's conversion (the benchmark's own program, never shipped): the
// AVIFile calls PURNIX makes, in its order and with its arguments, on the WAV file mapped
// into memory, writing a temporary file in the output's folder that is flushed and put in
// place over the output. Nothing else: no checks of the input, no corrections of the output.
//   purnix_floor WAV AVI NAME
// prints the seconds from opening the WAV to the output in place.
#include <initguid.h>

#include <windows.h>
#include <vfw.h>

#include "floor.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int Fail(const char* what) {
    floor_ab::Say("purnix_floor: %s (error %lu)", what, GetLastError());
    return 1;
}

int Convert(const std::wstring& wavPath, const std::wstring& aviPath, const std::wstring& name) {
    const double start = floor_ab::Seconds();
    HANDLE wav = CreateFileW(wavPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (wav == INVALID_HANDLE_VALUE) return Fail("cannot open the WAV file");
    LARGE_INTEGER size;
    GetFileSizeEx(wav, &size);
    HANDLE mapping = CreateFileMappingW(wav, nullptr, PAGE_READONLY, 0, 0, nullptr);
    auto* base = static_cast<const uint8_t*>(
        mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!base) return Fail("cannot map the WAV file");
    const uint8_t* end = base + size.QuadPart;

    // The format record and the samples, found by walking the chunks after the RIFF header.
    uint8_t record[18] = {};
    const uint8_t* extension = nullptr;
    const uint8_t* samples = nullptr;
    uint32_t dataBytes = 0;
    for (const uint8_t* p = base + 12; end - p >= 8;) {
        uint32_t chunk = U32(p + 4);
        const uint8_t* body = p + 8;
        uint32_t have = uint32_t(std::min<int64_t>(chunk, end - body));
        if (std::memcmp(p, "fmt ", 4) == 0) {
            std::memcpy(record, body, std::min<uint32_t>(have, 18));
            extension = body + 18;
        } else if (std::memcmp(p, "data", 4) == 0) {
            samples = body;
            dataBytes = have;
            break;
        }
        p = body + chunk + (chunk & 1);
    }
    if (!samples || !extension) return Fail("no format or data chunk");
    const uint16_t blockAlign = uint16_t(record[12] | record[13] << 8);
    const uint16_t cbSize = uint16_t(record[16] | record[17] << 8);
    std::string format(reinterpret_cast<const char*>(record), 18);
    format.append(reinterpret_cast<const char*>(extension), cbSize);
    const uint32_t sampleBytes = dataBytes - dataBytes % blockAlign;

    AVISTREAMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.fccType = streamtypeAUDIO;
    info.dwScale = blockAlign;
    info.dwRate = blockAlign * U32(record + 4);
    info.dwLength = sampleBytes / blockAlign;
    info.dwQuality = 10000;
    info.dwSampleSize = blockAlign;
    std::strncpy(info.szName, floor_ab::Ansi(name).c_str(), sizeof info.szName - 1);

    const std::wstring temp = floor_ab::TempBeside(aviPath);
    if (temp.empty()) return Fail("no temporary file");
    CLSID handler = CLSID_AVIFile;
    AVIFileInit();
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, floor_ab::Ansi(temp).c_str(), OF_WRITE | OF_CREATE, &handler) != 0)
        return Fail("AVIFileOpen failed");
    PAVISTREAM stream = nullptr;
    if (AVIFileCreateStreamA(file, &stream, &info) != 0) return Fail("AVIFileCreateStream failed");
    AVIStreamSetFormat(stream, 0, &format[0], LONG(format.size()));
    AVIStreamWrite(stream, 0, LONG(info.dwLength), const_cast<uint8_t*>(samples), LONG(sampleBytes),
                   0, nullptr, nullptr);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    AVIFileExit();
    UnmapViewOfFile(base);
    CloseHandle(mapping);
    CloseHandle(wav);
    if (DWORD error = floor_ab::FlushAndPlace(temp, aviPath)) {
        DeleteFileW(temp.c_str());
        SetLastError(error);
        return Fail("cannot put the output in place");
    }
    floor_ab::Say("%.6f", floor_ab::Seconds() - start);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::vector<std::wstring> a = floor_ab::FullPathArguments(3, "purnix_floor WAV AVI NAME");
    return a.empty() ? 2 : Convert(a[0], a[1], __wargv[3]);
}
