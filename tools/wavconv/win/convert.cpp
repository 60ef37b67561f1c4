#include "convert.h"

#include "avifile.h"
#include "conversion.h"
#include "avi_fixup.h"
#include "wave_reader.h"
#include "shell/shell.h"
#include "shell/win_file.h"

#include <cstdio>
#include <cstring>

namespace wavconv {

namespace {

const wchar_t kRefused[] = L"WAVEファイルの形式が認識できません。";
const wchar_t kCannotOpenAvi[] = L"AVIファイルをオープンできません。";
const wchar_t kCannotCreateStream[] = L"WAVEストリームを作成できません。";
const wchar_t kCreated[] = L"AVIファイルを作成しました。";
const wchar_t kCannotReadWave[] = L"WAVEファイルを読み込めません。";
const wchar_t kCannotWriteAvi[] = L"AVIファイルを書き込めません。";

// The AVI fix-ups explain a failure in English; the warning gives it in Japanese.
std::wstring fixupReason(const std::string& why) {
    static const struct {
        const char* english;
        const wchar_t* text;
    } kReasons[] = {
        {"not a RIFF file", L"RIFFファイルではありません。"},
        {"empty file", L"ファイルが空です。"},
        {"a RIFF chunk runs past the end of the file",
         L"RIFFチャンクがファイルの終わりを越えています。"},
        {"unexpected RIFF form type", L"AVIファイルの形式ではありません。"},
        {"a chunk runs past the end of its list", L"チャンクがリストの終わりを越えています。"},
        {"lists nested too deeply", L"リストの入れ子が深すぎます。"},
        {"malformed AVI lists", L"AVIファイルのリストが壊れています。"},
        {"no main AVI header", L"AVIファイルのヘッダーがありません。"},
        {"no such stream chunk", L"ストリームのヘッダーが見つかりません。"},
        {"no such stream", L"ストリームが見つかりません。"},
        {"the change would break the file", L"ヘッダーを書き直すとファイルが壊れます。"},
        {"cannot shorten the file", L"ファイルを切り詰められません。"},
        {"no room after the header list", L"ヘッダーを書き直す領域が足りません。"},
        {"the stored format is not a prefix of the full one",
         L"書き込まれたフォーマットが元のフォーマットと一致しません。"},
        {"read error", L"読み込みに失敗しました。"},
        {"write error", L"書き込みに失敗しました。"},
    };
    for (const auto& r : kReasons)
        if (why == r.english) return r.text;
    return L"AVIファイルを修正できません。";
}

Outcome warning(const std::wstring& first, const std::wstring& detail = {}) {
    return {detail.empty() ? first : first + L"\r" + detail, MB_ICONEXCLAMATION};
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

// Checks the released file, corrects what the platform writes wrong (audio length,
// format extension, double-byte stream name, trailing zeros), and makes sure every sample
// arrived. An empty string means the file is complete.
std::wstring finishAvi(const std::wstring& aviPath, uint32_t sampleBytes,
                       const std::vector<uint8_t>& format, const std::string& name) {
    shell::Win32File out;
    if (!out.Open(aviPath, true)) return shell::systemErrorText(out.LastError());
    avi::FixupResult fix = avi::FixAudioLengths(out);
    if (fix.ok) fix = avi::RestoreStreamFormat(out, 0, format);
    if (fix.ok) fix = avi::RestoreStreamName(out, 0, name);
    if (fix.ok) fix = avi::TrimAfterRiff(out); // the platform leaves zeros after the RIFF chunk
    if (!fix.ok) {
        if (out.LastError()) return shell::systemErrorText(out.LastError());
        return fixupReason(fix.why);
    }
    avi::AviLayout layout;
    if (!avi::ReadAviLayout(out, layout) || layout.streams.size() != 1 ||
        layout.streams[0].dataBytes != sampleBytes)
        return L"AVIファイルにすべてのデータが書き込まれていません。";
    return {};
}

} // namespace

Outcome convertWaveToAvi(const std::wstring& wavPath, const std::wstring& aviPath,
                         const std::wstring& streamName) {
    // The samples may be a view of the open WAV file: it stays open (shared for reading
    // only) until they are written.
    shell::Win32File in;
    wavconv::WaveData wave;
    if (!in.Open(wavPath, false))
        return warning(kCannotReadWave, shell::systemErrorText(in.LastError()));
    switch (wavconv::readWaveFile(in, wave)) {
    case wavconv::WaveStatus::Ok:
        break;
    case wavconv::WaveStatus::Refused:
        return warning(kRefused);
    case wavconv::WaveStatus::ReadError:
        return warning(kCannotReadWave, shell::systemErrorText(in.LastError()));
    case wavconv::WaveStatus::OutOfMemory:
        return warning(kCannotReadWave, shell::systemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }

    // A WAV file whose name already ends in the output name would be replaced by it.
    if (shell::sameFile(wavPath, aviPath))
        return warning(kCannotOpenAvi, L"変換元のWAVEファイルと同じファイルです。");
    std::string ansiPath;
    if (!shell::toAnsi(aviPath, ansiPath, shell::AnsiMode::kExact))
        return warning(kCannotOpenAvi, L"ファイル名に使えない文字があります。");
    const AviFileApi* api = aviFile();
    if (!api) return warning(kCannotOpenAvi, shell::systemErrorText(GetLastError()));

    api->AVIFileInit();
    PAVIFILE file = nullptr;
    HRESULT hr = api->AVIFileOpen(&file, ansiPath.c_str(), OF_WRITE | OF_CREATE,
                                  const_cast<CLSID*>(&aviFileHandler()));
    if (hr != 0 || !file) {
        api->AVIFileExit();
        return warning(kCannotOpenAvi);
    }

    const uint32_t sampleBytes = wavconv::wholeBlockBytes(wave.size, wave.format);
    AVISTREAMINFOA info = streamInfo(wave, sampleBytes, streamName);
    PAVISTREAM stream = nullptr;
    hr = api->AVIFileCreateStream(file, &stream, &info);
    if (hr != 0 || !stream) {
        api->AVIFileRelease(file);
        api->AVIFileExit();
        DeleteFileW(aviPath.c_str()); // a file without a stream is no conversion
        return {kCannotCreateStream, 0};
    }

    const std::vector<uint8_t> format = wavconv::streamFormat(wave);
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

    std::wstring why = failed ? shell::systemErrorText(DWORD(failed))
                              : finishAvi(aviPath, sampleBytes, format, info.szName);
    if (!why.empty()) {
        DeleteFileW(aviPath.c_str());
        return warning(kCannotWriteAvi, why);
    }
    return {kCreated, 0};
}

} // namespace wavconv
