// TAMSEL's work behind Command1: checks the chosen files and the output name, gathers the
// streams of the chosen operation, lets the user pick the compression and writes the new
// file with AVISaveV.
#include "compose.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "avifile.h"
#include "common/owned.h"

#include <mmreg.h>
#include <msacm.h>

#include "output_fixup.h"
#include "riff.h"
#include "shell/replace_file.h"
#include "shell/shell.h"
#include "shell/win_file.h"
#include "stream_index.h"

namespace compositor {

namespace {

using avi::AviFileApi;

const wchar_t kCannotOpen[] = L"AVIファイルが開けません。";
const wchar_t kNoVideo[] = L"ビデオ ストリームがありません。";
const wchar_t kNoAudio[] = L"オーディオ ストリームがありません。";
const wchar_t kSameName[] = L"保存ファイル名が変換元ファイル名と同じです。";
const wchar_t kNotCreated[] = L"圧縮ファイルは作成できませんでした。";
using shell::kUnusableName;
const wchar_t kCannotDelete[] = L"既存のファイルを削除できないため、保存しませんでした。\r";
const wchar_t kShortData[] = L"ヘッダーが示す長さのデータがないため";
const wchar_t kNoData[] = L"データがないため";

// Why a stream the platform cannot read is not saved: the video stops the run, an audio
// stream (numbered from 1 among its file's) is left out.
std::wstring unreadable(const std::wstring& name, LONG audio, avi::StreamMeasure::Data data) {
    const wchar_t* why = data == avi::StreamMeasure::Data::kEmpty ? kNoData : kShortData;
    if (audio < 0) return name + L"\rビデオ ストリームは、" + why + L"保存できません。";
    return name + L"\rオーディオ ストリーム" + std::to_wstring(audio + 1) + L"は、" + why +
           L"保存されません。";
}

// A save that failed for a reason the system names.
std::wstring notCreated(const std::wstring& path, DWORD error) {
    return path + L"\r" + kNotCreated + L"\r" + shell::systemErrorText(error);
}

// The warning for an existing output that cannot be replaced, with the system's reason.
std::wstring replaceRefused(const std::wstring& path, DWORD error) {
    return path + L"\r" + kCannotDelete + shell::systemErrorText(error);
}

// False for a file whose RIFF structure is damaged or truncated: AVIFile crashes while
// reading such a file, so it is refused before it is opened.
bool aviInputReadable(const std::wstring& path) {
    shell::Win32File store;
    if (!store.open(path, false)) return false;
    return riff::checkStructure(store, riff::fourCC("AVI "));
}

// The events of the run in progress: AVISaveV's callback carries no context.
const ComposeEvents* g_events = nullptr;

BOOL WINAPI SaveCallback(int percent) {
    if (g_events && g_events->progress) g_events->progress(percent);
    return 0; // the save cannot be interrupted
}

shell::Outcome refusal(const std::wstring& text) {
    return {shell::Result::kFailed, text, MB_ICONEXCLAMATION};
}

// The file name after its folder, as the messages name it.
std::wstring bareName(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// Everything one run obtained. Its session is the clean-up of every stop after
// AVIFileInit: each obtained stream released once, the video file, the audio file, then
// AVIFileExit.
struct Run {
    avi::AviFileSession session;
    const AviFileApi& avi;
    PAVISTREAM streams[kStreamSlots] = {};
    StreamTable table;
    PAVIFILE videoFile = nullptr;
    PAVIFILE audioFile = nullptr;

    std::wstring origin[kStreamSlots];   // the file each stream came from
    LONG originIndex[kStreamSlots] = {}; // and its number among that type's
    int count = 0;                       // streams handed to the save

    explicit Run(const AviFileApi& api) : session(api), avi(api) {}

    // Opens an input for reading, kept for the clean-up; false when it cannot be opened.
    bool open(const std::wstring& path, PAVIFILE& file) {
        if (!aviInputReadable(path) || avi.FileOpenW(&file, path.c_str(), OF_READ, nullptr) != 0)
            return false;
        session.keep(file);
        return true;
    }

    // Requests one stream into the next slot. A full table still probes the file so the
    // user can be told how many streams were left out; such a stream is released at once.
    bool get(PAVIFILE file, const std::wstring& path, DWORD type, LONG index) {
        int slot = table.nextSlot();
        PAVISTREAM stream = nullptr;
        if (avi.FileGetStream(file, &stream, type, index) != 0 || !stream) return false;
        if (slot < 0) {
            avi.StreamRelease(stream);
            table.leftOut();
        } else {
            streams[slot] = stream;
            session.keep(stream);
            origin[slot] = path;
            originIndex[slot] = index;
            table.filled();
            count = table.count();
        }
        return true;
    }

    // Measures every gathered stream in its file, as the platform's reader will read it. A
    // stream whose header promises more than its index holds, or that holds nothing, makes
    // that reader assert in the middle of the save and end the process: the video stops the
    // run (the returned message), an audio stream is left out and `leftOut` says which.
    // Empty when the run goes on.
    std::wstring dropUnreadable(std::vector<std::wstring>& leftOut) {
        std::map<std::wstring, std::vector<avi::StreamMeasure>> files;
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            auto found = files.find(origin[i]);
            if (found == files.end()) {
                shell::Win32File store;
                std::vector<avi::StreamMeasure> measures;
                if (!store.open(origin[i], false) || !avi::measureStreams(store, measures))
                    return bareName(origin[i]) + L"\r" + kCannotOpen;
                found = files.emplace(origin[i], std::move(measures)).first;
            }
            const uint32_t type = i == 0 ? riff::fourCC("vids") : riff::fourCC("auds");
            LONG nth = originIndex[i];
            auto data = avi::StreamMeasure::Data::kWhole;
            for (const avi::StreamMeasure& m : found->second)
                if (m.fccType == type && nth-- == 0) data = m.data();
            if (data != avi::StreamMeasure::Data::kWhole) {
                if (i == 0) return unreadable(bareName(origin[0]), -1, data);
                leftOut.push_back(unreadable(bareName(origin[i]), originIndex[i], data));
                continue; // still released by the session
            }
            streams[kept] = streams[i];
            origin[kept] = origin[i];
            originIndex[kept] = originIndex[i];
            ++kept;
        }
        count = kept;
        return {};
    }
};

// The platform reallocates and frees option formats and parameters as global memory
// (GlobalReAllocPtr, and GlobalFreePtr in AVISaveOptionsFree): they are allocated and
// freed only that way.
common::GlobalPointer globalAlloc(size_t size) {
    HGLOBAL block = GlobalAlloc(GHND, size);
    return common::GlobalPointer(block ? GlobalLock(block) : nullptr);
}

// Frees the block a record's field points to, and empties the field.
void freeBlock(LPVOID& field) {
    common::GlobalPointer block(field);
    field = nullptr;
}

// The blocks a record points to when its run ends, wherever the platform moved them:
// AVISaveOptionsFree frees them and empties the fields, but may skip a record.
struct RecordBlocksTraits {
    using Handle = AVICOMPRESSOPTIONS*;
    static Handle empty() { return nullptr; }
    static void free(Handle record) {
        freeBlock(record->lpFormat);
        freeBlock(record->lpParms);
    }
};

// The format a record holds is its WAVEFORMATEX and cbSize bytes after it: the block
// around it may grow (the format chooser raises cbFormat to the largest format size as
// soon as it opens, even when it is cancelled).
bool sameFormat(const AVICOMPRESSOPTIONS& r, const std::vector<uint8_t>& prefill) {
    static_assert(sizeof(WAVEFORMATEX) == 18, "the 18-byte record the platform reads");
    const size_t header = sizeof(WAVEFORMATEX);
    if (r.cbFormat < header || prefill.size() < header) return false;
    const size_t bytes = header + static_cast<const WAVEFORMATEX*>(r.lpFormat)->cbSize;
    return bytes <= r.cbFormat &&
           bytes == header + reinterpret_cast<const WAVEFORMATEX*>(prefill.data())->cbSize &&
           bytes <= prefill.size() && std::memcmp(r.lpFormat, prefill.data(), bytes) == 0;
}

// The option records of one run. Each starts from its stream's own format, so that
// confirming the dialog without a change keeps every stream as it is (Wine's audio
// chooser otherwise starts at 8 kHz 8-bit mono and the save then fails).
struct Options {
    std::vector<AVICOMPRESSOPTIONS> records;
    // One spare null entry: some AVIFile versions read one entry past the count when
    // freeing the options.
    std::vector<LPAVICOMPRESSOPTIONS> addresses;
    std::vector<AVISTREAMINFOA> info;
    std::vector<std::vector<uint8_t>> source;  // an audio stream's format as stored
    std::vector<std::vector<uint8_t>> prefill; // what its record started with
    // Last, so that the records are still there when their blocks go.
    std::vector<common::Owned<RecordBlocksTraits>> blocks;

    explicit Options(int count)
        : records(count), addresses(count + 1, nullptr), info(count), source(count),
          prefill(count) {
        blocks.reserve(records.size());
        for (int i = 0; i < count; ++i) {
            addresses[i] = &records[i];
            blocks.emplace_back(&records[i]);
        }
    }

    void start(const AviFileApi& avi, int i, PAVISTREAM stream) {
        AVICOMPRESSOPTIONS& options = records[i];
        options = AVICOMPRESSOPTIONS{};
        if (avi.StreamInfoA(stream, &info[i], sizeof(info[i])) != 0) return;
        options.fccType = info[i].fccType;
        if (info[i].fccType == streamtypeVIDEO) {
            options.fccHandler = comptypeDIB; // full frames (uncompressed)
            options.dwQuality = static_cast<DWORD>(ICQUALITY_DEFAULT);
            return;
        }
        LONG size = 0;
        if (avi.StreamReadFormat(stream, info[i].dwStart, nullptr, &size) != 0 || size <= 0) return;
        // At least a whole WAVEFORMATEX, which is what the platform reads: a 16-byte PCM
        // format gets cbSize 0. The block has the largest size any codec's format needs,
        // so the dialog's format chooser never moves it (a Cancel restores the old pointer).
        const size_t record = std::max<size_t>(size_t(size), sizeof(WAVEFORMATEX));
        DWORD largest = 0;
        if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest) != 0) largest = 0;
        common::GlobalPointer block = globalAlloc(std::max<size_t>(record, largest));
        if (!block || avi.StreamReadFormat(stream, info[i].dwStart, block.get(), &size) != 0)
            return;
        const auto* format = static_cast<const uint8_t*>(block.get());
        source[i].assign(format, format + size);
        prefill[i].assign(format, format + record);
        options.lpFormat = block.release(); // the record's, freed with it
        options.cbFormat = static_cast<DWORD>(record);
    }

    // After OK: a compressed stream whose record still holds its own format is copied
    // unchanged (an empty record), since no codec converts a format into itself. Returns
    // what the written file must then say about those streams.
    std::vector<KeptStream> keepUnchanged(const Run& run) {
        std::vector<KeptStream> kept;
        for (size_t i = 0; i < records.size(); ++i) {
            AVICOMPRESSOPTIONS& r = records[i];
            if (r.fccType != streamtypeAUDIO || !r.lpFormat || prefill[i].empty() ||
                !sameFormat(r, prefill[i]) ||
                reinterpret_cast<const WAVEFORMATEX*>(prefill[i].data())->wFormatTag ==
                    WAVE_FORMAT_PCM)
                continue;
            freeBlock(r.lpFormat);
            r.cbFormat = 0;
            kept.push_back({i, source[i], run.origin[i], size_t(run.originIndex[i])});
        }
        return kept;
    }

    // Without the dialog: every record empty, so that every stream is copied as it is.
    // Returns what the written file must then say about the audio streams.
    std::vector<KeptStream> copyAll(const Run& run) {
        std::vector<KeptStream> kept;
        for (size_t i = 0; i < records.size(); ++i) {
            const bool audio = records[i].fccType == streamtypeAUDIO && !prefill[i].empty();
            freeBlock(records[i].lpFormat);
            freeBlock(records[i].lpParms);
            records[i] = AVICOMPRESSOPTIONS{};
            if (audio) kept.push_back({i, prefill[i], run.origin[i], size_t(run.originIndex[i])});
        }
        return kept;
    }
};

void pumpPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The save proper: the new file is written and corrected under a temporary name beside
// the output and replaces it only when complete, so an existing output survives every
// failure. Every file of the attempt is gone when it returns, except both texts of a
// replace that could not be undone, which the message names. A file that was not created
// is told without an icon; one the output could not make way for, with the warning's.
shell::Outcome save(const AviFileApi& avi, Run& run, LPAVICOMPRESSOPTIONS* options,
                    const std::vector<KeptStream>& kept, const std::wstring& output,
                    shell::FileReplacement& replacement) {
    // The handler class is named so that the temporary name (and an output called *.wav)
    // is still written as AVI.
    CLSID aviHandler = avi::aviFileHandler();
    if (avi.SaveVW(replacement.temp().c_str(), &aviHandler, SaveCallback, run.count, run.streams,
                   options) != 0 ||
        !fixUpOutput(replacement.temp(), kept, run.origin[0]).empty())
        return {shell::Result::kFailed, kNotCreated, 0};
    const bool existed = GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (DWORD error = replacement.commit()) {
        if (!replacement.keptBoth().empty()) return refusal(replacement.keptBoth());
        if (existed) return refusal(replaceRefused(output, error));
        return {shell::Result::kFailed, notCreated(output, error), 0};
    }
    return {shell::Result::kDone, {}, 0};
}

// The run after the name checks: opens the files, gathers the streams of the operation,
// takes the option records and saves. Every way out goes through the run's clean-up.
shell::Outcome compose(const AviFileApi& avi, const ComposeRequest& request,
                       const ComposeEvents& events, const std::wstring& output) {
    Run run(avi);
    const std::wstring videoName = bareName(request.video);
    const std::wstring audioName = bareName(request.audio);
    if (!run.open(request.video, run.videoFile)) return refusal(videoName + L"\r" + kCannotOpen);
    for (const auto& step : gatherSteps(request.operation)) {
        const bool fromVideo = step.file == SourceFile::kVideo;
        if (!fromVideo && !run.open(request.audio, run.audioFile))
            return refusal(audioName + L"\r" + kCannotOpen);
        PAVIFILE file = fromVideo ? run.videoFile : run.audioFile;
        const std::wstring& path = fromVideo ? request.video : request.audio;
        DWORD type = step.kind == StreamKind::kVideo ? streamtypeVIDEO : streamtypeAUDIO;
        LONG index = 0;
        if (!run.get(file, path, type, index)) {
            if (step.required)
                return refusal((fromVideo ? videoName : audioName) + L"\r" +
                               (step.kind == StreamKind::kVideo ? kNoVideo : kNoAudio));
            continue;
        }
        if (step.all)
            while (run.get(file, path, type, ++index)) {
            }
    }
    // An output that cannot be replaced is refused before any notice or dialog, not after.
    shell::FileReplacement replacement(output);
    if (DWORD error = replacement.begin()) {
        if (!replacement.targetRefused())
            return {shell::Result::kFailed, notCreated(output, error), 0};
        return refusal(replaceRefused(output, error));
    }
    if (run.table.leftOutCount() > 0 && events.notice)
        events.notice(leftOutMessage(run.table.leftOutCount()), MB_ICONEXCLAMATION);
    std::vector<std::wstring> leftOut;
    const std::wstring stop = run.dropUnreadable(leftOut);
    if (!stop.empty()) return refusal(stop);
    for (const std::wstring& text : leftOut)
        if (events.notice) events.notice(text, MB_ICONEXCLAMATION);
    const int count = run.count;

    Options options(count);
    for (int i = 0; i < count; ++i)
        options.start(avi, i, run.streams[i]);
    std::vector<KeptStream> kept;
    if (request.compression == Compression::kAsk) {
        INT_PTR confirmed =
            avi.SaveOptions(request.owner, 7, count, run.streams, options.addresses.data());
        pumpPendingEvents();
        if (!confirmed) return {shell::Result::kCancelled, {}, 0};
        kept = options.keepUnchanged(run);
    } else {
        kept = options.copyAll(run);
    }

    shell::Outcome saved;
    {
        shell::BusyCursor busy;
        g_events = &events;
        saved = save(avi, run, options.addresses.data(), kept, output, replacement);
        g_events = nullptr;
    }
    if (request.compression == Compression::kAsk)
        avi.SaveOptionsFree(count, options.addresses.data());
    return saved;
}

} // namespace

shell::Outcome composeAvi(const ComposeRequest& request, const ComposeEvents& events) {
    const bool withAudio = needsAudioFile(request.operation);
    const std::wstring videoName = bareName(request.video);
    const std::wstring audioName = withAudio ? bareName(request.audio) : L"";
    // The output name: ".avi" completed, never a source's name, in the video's folder
    // unless it names a folder of its own.
    const std::wstring answer = completeOutputName(request.outputName);
    if (sameFileName(answer, videoName) || (withAudio && sameFileName(answer, audioName)))
        return refusal(kSameName);
    const std::wstring folder = request.video.substr(0, request.video.size() - videoName.size());
    const std::wstring output = shell::outputPath(folder, answer);
    // A name can still reach a source through a folder part: compare the files themselves,
    // so the save can never replace a source.
    if (shell::sameFile(output, request.video) ||
        (withAudio && shell::sameFile(output, request.audio)))
        return refusal(kSameName);
    // Every name goes through the platform's ANSI conversion: one that does not survive it
    // exactly could make AVIFile read or overwrite another file than the one checked here.
    std::string ansi;
    for (const auto& [shown, full] :
         {std::pair<std::wstring, std::wstring>{videoName, request.video},
          {audioName, withAudio ? request.audio : L""},
          {answer, output}}) {
        if (!shell::toAnsi(full, ansi, shell::AnsiMode::kExact))
            return refusal(shown + L"\r" + kUnusableName);
    }
    const AviFileApi* avi = avi::aviFile();
    if (!avi) return refusal(videoName + L"\r" + kCannotOpen);
    return compose(*avi, request, events, output);
}

} // namespace compositor
