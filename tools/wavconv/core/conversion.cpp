#include "conversion.h"

#include "avi_fixup.h"

#include <algorithm>
#include <cstring>

namespace wavconv {

std::wstring outputFileName(const std::wstring& wavName) {
    size_t at = wavName.find(L'.');
    if (at == std::wstring::npos) return wavName + L".avi";
    return wavName.substr(0, at + 1) + L"avi";
}

std::wstring streamNameFromFile(const std::wstring& wavName) {
    return wavName.substr(0, wavName.find(L'.'));
}

void fillStreamName(const std::string& ansi, char (&field)[kStreamNameField],
                    const std::function<size_t(uint8_t)>& charBytes) {
    std::memset(field, 0, sizeof field);
    size_t n = 0;
    while (n < ansi.size() && ansi[n] != '\0') {
        size_t width = std::min(std::max<size_t>(charBytes(uint8_t(ansi[n])), 1), ansi.size() - n);
        if (n + width > kStreamNameField - 1) break;
        n += width;
    }
    std::memcpy(field, ansi.data(), n);
}

size_t utf8CharBytes(uint8_t lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

uint32_t wholeBlockBytes(uint32_t sampleBytes, const WaveFormat& f) {
    if (f.nBlockAlign <= 0) return 0;
    return sampleBytes - sampleBytes % uint32_t(f.nBlockAlign);
}

uint32_t streamBytes(uint32_t sampleBytes, const WaveFormat& f) {
    const uint32_t whole = wholeBlockBytes(sampleBytes, f);
    return whole == sampleBytes ? whole : whole + uint32_t(f.nBlockAlign);
}

AudioStreamHeader makeStreamHeader(const WaveFormat& f, uint32_t sampleBytes) {
    AudioStreamHeader h;
    h.fccType = riff::fourCC("auds");
    h.dwScale = uint32_t(f.nBlockAlign);
    h.dwRate = uint32_t(int32_t(f.nBlockAlign) * f.nSamplesPerSec);
    h.dwStart = 0;
    h.dwLength = avi::blockCount(sampleBytes, uint32_t(f.nBlockAlign));
    h.dwQuality = 10000;
    h.dwSampleSize = uint32_t(f.nBlockAlign);
    return h;
}

} // namespace wavconv
