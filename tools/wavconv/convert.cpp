#include "convert.h"

#include "avifile.h"
#include "conversion.h"
#include "avi_fixup.h"
#include "wave_reader.h"
#include "win_file.h"

#include <cstdio>
#include <cstring>

namespace purnix {

namespace {

const wchar_t kRefused[] = L"WAVEファイルの形式が認識できません。";
const wchar_t kCannotOpenAvi[] = L"AVIファイルをオープンできません。";
const wchar_t kCannotCreateStream[] = L"WAVEストリームを作成できません。";
const wchar_t kCreated[] = L"AVIファイルを作成しました。";
const wchar_t kCannotReadWave[] = L"WAVEファイルを読み込めません。";
const wchar_t kCannotWriteAvi[] = L"AVIファイルを書き込めません。";

std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    wchar_t code_text[32];
    std::swprintf(code_text, 32, L"(0x%08lX)", static_cast<unsigned long>(code));
    return text.empty() ? code_text : text + L" " + code_text;
}

Outcome Warning(const std::wstring& first, const std::wstring& detail = {}) {
    return {detail.empty() ? first : first + L"\r" + detail, MB_ICONEXCLAMATION};
}

// The path in the ANSI code page; false when a character has no ANSI form (the library
// would then open another name).
bool ToAnsi(const std::wstring& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    int n =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, &lossy);
    if (n <= 0) return false;
    out.resize(size_t(n));
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), out.data(), n, nullptr, &lossy);
    return !lossy;
}

AVISTREAMINFOA StreamInfo(const wavconv::WaveData& wave, uint32_t sampleBytes,
                          const std::wstring& streamName) {
    wavconv::AudioStreamHeader h = wavconv::MakeStreamHeader(wave.format, sampleBytes);
    AVISTREAMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.fccType = h.fccType;
    info.dwScale = h.dwScale;
    info.dwRate = h.dwRate;
    info.dwStart = h.dwStart;
    info.dwLength = h.dwLength;
    info.dwQuality = h.dwQuality;
    info.dwSampleSize = h.dwSampleSize;
    std::string ansiName;
    ToAnsi(streamName, ansiName); // a character without ANSI form becomes the default one
    static_assert(sizeof info.szName == wavconv::kStreamNameField, "64-byte name field");
    wavconv::FillStreamName(ansiName, info.szName,
                            [](uint8_t b) { return IsDBCSLeadByte(b) != FALSE; });
    return info;
}

// Checks the released file, corrects what the platform writes wrong (audio length,
// format extension, double-byte stream name), and makes sure every sample
// arrived. An empty string means the file is complete.
std::wstring FinishAvi(const std::wstring& aviPath, uint32_t sampleBytes,
                       const std::vector<uint8_t>& format, const std::string& name) {
    Win32File out;
    if (!out.Open(aviPath, true)) return SystemText(out.LastError());
    avi::FixupResult fix = avi::FixAudioLengths(out);
    if (fix.ok) fix = avi::RestoreStreamFormat(out, 0, format);
    if (fix.ok) fix = avi::RestoreStreamName(out, 0, name);
    if (!fix.ok) {
        if (out.LastError()) return SystemText(out.LastError());
        return std::wstring(fix.why.begin(), fix.why.end());
    }
    avi::AviLayout layout;
    if (!avi::ReadAviLayout(out, layout) || layout.streams.size() != 1 ||
        layout.streams[0].dataBytes != sampleBytes)
        return L"incomplete file";
    return {};
}

} // namespace

Outcome ConvertWaveToAvi(const std::wstring& wavPath, const std::wstring& aviPath,
                         const std::wstring& streamName) {
    // The samples may be a view of the open WAV file: it stays open (shared for reading
    // only) until they are written.
    Win32File in;
    wavconv::WaveData wave;
    if (!in.Open(wavPath, false)) return Warning(kCannotReadWave, SystemText(in.LastError()));
    switch (wavconv::ReadWaveFile(in, wave)) {
    case wavconv::WaveStatus::Ok:
        break;
    case wavconv::WaveStatus::Refused:
        return Warning(kRefused);
    case wavconv::WaveStatus::ReadError:
        return Warning(kCannotReadWave, SystemText(in.LastError()));
    case wavconv::WaveStatus::OutOfMemory:
        return Warning(kCannotReadWave, SystemText(ERROR_NOT_ENOUGH_MEMORY));
    }

    // A WAV file whose name already ends in the output name would be replaced by it.
    if (SameFile(wavPath, aviPath))
        return Warning(kCannotOpenAvi, L"変換元のWAVEファイルと同じファイルです。");
    std::string ansiPath;
    if (!ToAnsi(aviPath, ansiPath))
        return Warning(kCannotOpenAvi, L"ファイル名に使えない文字があります。");
    const AviFileApi* api = AviFile();
    if (!api) return Warning(kCannotOpenAvi, SystemText(GetLastError()));

    api->AVIFileInit();
    PAVIFILE file = nullptr;
    HRESULT hr = api->AVIFileOpen(&file, ansiPath.c_str(), OF_WRITE | OF_CREATE,
                                  const_cast<CLSID*>(&AviFileHandler()));
    if (hr != 0 || !file) {
        api->AVIFileExit();
        return Warning(kCannotOpenAvi);
    }

    const uint32_t sampleBytes = wavconv::WholeBlockBytes(wave.size, wave.format);
    AVISTREAMINFOA info = StreamInfo(wave, sampleBytes, streamName);
    PAVISTREAM stream = nullptr;
    hr = api->AVIFileCreateStream(file, &stream, &info);
    if (hr != 0 || !stream) {
        api->AVIFileRelease(file);
        api->AVIFileExit();
        DeleteFileW(aviPath.c_str()); // a file without a stream is no conversion
        return {kCannotCreateStream, 0};
    }

    const std::vector<uint8_t> format = wavconv::StreamFormat(wave);
    HRESULT failed = api->AVIStreamSetFormat(stream, 0, const_cast<uint8_t*>(format.data()),
                                             LONG(format.size()));
    if (failed == 0)
        failed =
            api->AVIStreamWrite(stream, 0, LONG(info.dwLength), const_cast<uint8_t*>(wave.samples),
                                LONG(sampleBytes), 0, nullptr, nullptr);
    api->AVIStreamRelease(stream);
    api->AVIFileRelease(file);
    api->AVIFileExit();
    wave = wavconv::WaveData{};
    in.Close();

    std::wstring why =
        failed ? SystemText(DWORD(failed)) : FinishAvi(aviPath, sampleBytes, format, info.szName);
    if (!why.empty()) {
        DeleteFileW(aviPath.c_str());
        return Warning(kCannotWriteAvi, why);
    }
    return {kCreated, 0};
}

} // namespace purnix
