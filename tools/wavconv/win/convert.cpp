#include "convert.h"

#include "avifile.h"

#include "conversion.h"
#include "finish_avi.h"
#include "wave_reader.h"
#include "shell/replace_file.h"
#include "shell/shell.h"
#include "shell/win_file.h"

#include <cstring>

namespace wavconv {

namespace {

const wchar_t kRefused[] = L"WAVEファイルの形式が認識できません。";
const wchar_t kCannotOpenAvi[] = L"AVIファイルをオープンできません。";
const wchar_t kCannotCreateStream[] = L"WAVEストリームを作成できません。";
const wchar_t kCreated[] = L"AVIファイルを作成しました。";
const wchar_t kCannotReadWave[] = L"WAVEファイルを読み込めません。";
const wchar_t kCannotWriteAvi[] = L"AVIファイルを書き込めません。";
using shell::kUnusableName;
const wchar_t kNoSamples[] = L"音声データがありません。";

shell::Outcome warning(const std::wstring& first, const std::wstring& detail = {}) {
    return {shell::Result::kFailed, detail.empty() ? first : first + L"\r" + detail,
            MB_ICONEXCLAMATION};
}

AVISTREAMINFOA streamInfo(const wavconv::WaveData& wave, uint32_t sampleBytes,
                          const std::wstring& streamName) {
    wavconv::AudioStreamHeader h = wavconv::makeStreamHeader(wave.format, sampleBytes);
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
    // A character without ANSI form becomes the default one.
    shell::toAnsi(streamName, ansiName, shell::AnsiMode::kExact);
    static_assert(sizeof info.szName == wavconv::kStreamNameField, "64-byte name field");
    // The cut falls between characters of the code page; IsDBCSLeadByte knows nothing of
    // UTF-8's characters of up to 4 bytes.
    const bool utf8 = GetACP() == CP_UTF8;
    wavconv::fillStreamName(ansiName, info.szName, [utf8](uint8_t b) -> size_t {
        if (utf8) return wavconv::utf8CharBytes(b);
        return IsDBCSLeadByte(b) ? 2 : 1;
    });
    return info;
}

} // namespace

shell::Outcome convertWaveToAvi(const std::wstring& wavPath, const std::wstring& aviPath,
                                const std::wstring& streamName) {
    // The samples may be a view of the open WAV file: it stays open (shared for reading
    // only) until they are written.
    shell::Win32File in;
    wavconv::WaveData wave;
    if (!in.open(wavPath, false))
        return warning(kCannotReadWave, shell::systemErrorText(in.lastError()));
    switch (wavconv::readWaveFile(in, wave)) {
    case wavconv::WaveStatus::kOk:
        break;
    case wavconv::WaveStatus::kRefused:
        return warning(kRefused);
    case wavconv::WaveStatus::kReadError:
        return warning(kCannotReadWave, shell::systemErrorText(in.lastError()));
    case wavconv::WaveStatus::kOutOfMemory:
        return warning(kCannotReadWave, shell::systemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }
    if (wave.size == 0) return warning(kRefused, kNoSamples);

    // A WAV file whose name already ends in the output name would be replaced by it.
    if (shell::sameFile(wavPath, aviPath))
        return warning(kCannotOpenAvi, L"変換元のWAVEファイルと同じファイルです。");
    std::string ansiPath;
    if (!shell::toAnsi(aviPath, ansiPath, shell::AnsiMode::kExact))
        return warning(kCannotOpenAvi, kUnusableName);
    const avi::AviFileApi* api = avi::aviFile();
    if (!api) return warning(kCannotOpenAvi, shell::systemErrorText(GetLastError()));

    // Written and corrected under a temporary name beside the output, which it replaces only
    // when complete: every failure leaves an existing output as it was.
    shell::FileReplacement replacement(aviPath);
    if (DWORD error = replacement.begin())
        return warning(kCannotOpenAvi, shell::systemErrorText(error));
    // Its name is plain ASCII in the output's folder, so this holds whenever the output's does.
    std::string ansiTemp;
    if (!shell::toAnsi(replacement.temp(), ansiTemp, shell::AnsiMode::kExact))
        return warning(kCannotOpenAvi, kUnusableName);
    // A last block that the data ends inside is written filled up with zeros (streamBytes).
    const uint32_t wholeBytes = wavconv::wholeBlockBytes(wave.size, wave.format);
    std::vector<uint8_t> lastBlock(wave.samples + wholeBytes, wave.samples + wave.size);
    if (!lastBlock.empty()) lastBlock.resize(size_t(wave.format.nBlockAlign), 0);
    const uint32_t sampleBytes = wavconv::streamBytes(wave.size, wave.format);
    AVISTREAMINFOA info = streamInfo(wave, sampleBytes, streamName);
    const std::vector<uint8_t> format = wavconv::streamFormat(wave);
    HRESULT failed = 0;
    {
        // The file is released and the library left before the corrections read it.
        avi::AviFileSession session(*api);
        PAVIFILE file = nullptr;
        HRESULT hr = api->FileOpen(&file, ansiTemp.c_str(), OF_WRITE | OF_CREATE,
                                   const_cast<CLSID*>(&avi::aviFileHandler()));
        if (hr != 0 || !file) return warning(kCannotOpenAvi);
        session.keep(file);

        PAVISTREAM stream = nullptr;
        hr = api->FileCreateStream(file, &stream, &info);
        if (hr != 0 || !stream) return {shell::Result::kFailed, kCannotCreateStream, 0};
        session.keep(stream);

        failed = api->StreamSetFormat(stream, 0, const_cast<uint8_t*>(format.data()),
                                      LONG(format.size()));
        const LONG wholeBlocks = LONG(wholeBytes / info.dwSampleSize);
        if (failed == 0 && wholeBlocks > 0)
            failed = api->StreamWrite(stream, 0, wholeBlocks, const_cast<uint8_t*>(wave.samples),
                                      LONG(wholeBytes), 0, nullptr, nullptr);
        // Appended where the platform says the stream ends: it may count that length in
        // write calls, not samples, and refuses any other start.
        AVISTREAMINFOA now;
        if (failed == 0 && !lastBlock.empty()) failed = api->StreamInfoA(stream, &now, sizeof now);
        if (failed == 0 && !lastBlock.empty())
            failed = api->StreamWrite(stream, LONG(now.dwStart + now.dwLength), 1, lastBlock.data(),
                                      LONG(lastBlock.size()), 0, nullptr, nullptr);
    }
    wave = wavconv::WaveData{};
    in.close();

    std::wstring why = failed ? shell::systemErrorText(DWORD(failed))
                              : finishAvi(replacement.temp(), sampleBytes, format, info.szName);
    if (!why.empty()) return warning(kCannotWriteAvi, why);
    if (DWORD error = replacement.commit()) {
        if (!replacement.keptBoth().empty()) return warning(replacement.keptBoth());
        return warning(kCannotOpenAvi, shell::systemErrorText(error));
    }
    return {shell::Result::kDone, kCreated, 0};
}

} // namespace wavconv
