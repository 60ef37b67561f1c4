#include "conversion.h"

#include "avi_fixup.h"

#include <cstring>

namespace wavconv {

namespace {

template <class S> S outputName(const S& wavName, const S& dot, const S& avi) {
    size_t at = wavName.find(dot[0]);
    if (at == S::npos) return wavName + dot + avi;
    return wavName.substr(0, at + 1) + avi;
}

} // namespace

std::string outputFileName(const std::string& wavName) {
    return outputName<std::string>(wavName, ".", "avi");
}

std::wstring outputFileName(const std::wstring& wavName) {
    return outputName<std::wstring>(wavName, L".", L"avi");
}

std::wstring streamNameFromFile(const std::wstring& wavName) {
    return wavName.substr(0, wavName.find(L'.'));
}

void fillStreamName(const std::string& ansi, char (&field)[kStreamNameField],
                    const std::function<bool(uint8_t)>& isLeadByte) {
    std::memset(field, 0, sizeof field);
    size_t n = 0;
    while (n < ansi.size() && ansi[n] != '\0') {
        size_t width = isLeadByte(uint8_t(ansi[n])) && n + 1 < ansi.size() ? 2 : 1;
        if (n + width > kStreamNameField - 1) break;
        n += width;
    }
    std::memcpy(field, ansi.data(), n);
}

uint32_t wholeBlockBytes(uint32_t sampleBytes, const WaveFormat& f) {
    if (f.nBlockAlign <= 0) return 0;
    return sampleBytes - sampleBytes % uint32_t(f.nBlockAlign);
}

AudioStreamHeader makeStreamHeader(const WaveFormat& f, uint32_t sampleBytes) {
    AudioStreamHeader h;
    h.fccType = uint32_t(strToFourCC("auds"));
    h.dwScale = uint32_t(f.nBlockAlign);
    h.dwRate = uint32_t(int32_t(f.nBlockAlign) * f.nSamplesPerSec);
    h.dwStart = 0;
    h.dwLength = avi::BlockCount(sampleBytes, uint32_t(f.nBlockAlign));
    h.dwQuality = 10000;
    h.dwSampleSize = uint32_t(f.nBlockAlign);
    return h;
}

} // namespace wavconv
