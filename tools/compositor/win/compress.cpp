// Command1_Click: gathers the streams of the chosen operation, lets the user pick the
// compression and writes the new file with AVISaveV.
#include <initguid.h>

#include <vector>

#include "avifile_api.h"
#include "form1.h"
#include "output_checks.h"

using tamsel::AudioOperation;

namespace {

const wchar_t kCannotOpen[] = L"AVIファイルが開けません。";
const wchar_t kNoVideo[] = L"ビデオ ストリームがありません。";
const wchar_t kNoAudio[] = L"オーディオ ストリームがありません。";
const wchar_t kSameName[] = L"保存ファイル名が変換元ファイル名と同じです。";
const wchar_t kNotCreated[] = L"圧縮ファイルは作成できませんでした。";

std::string to_ansi(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(out.empty() ? 0 : out.size() - 1);
    return out;
}

BOOL WINAPI SaveCallback(int percent) {
    SetWindowTextW(g_form1.hwnd, tamsel::progress_caption(kAppTitle, percent).c_str());
    return 0; // the save cannot be interrupted
}

// Everything one run obtained; the destructor is the clean-up of every stop after
// AVIFileInit: each obtained stream released once, both files, then AVIFileExit.
struct Run {
    const AviFileApi& avi;
    PAVISTREAM streams[tamsel::kStreamSlots] = {};
    tamsel::StreamTable table;
    PAVIFILE video_file = nullptr;
    PAVIFILE audio_file = nullptr;

    explicit Run(const AviFileApi& api) : avi(api) { avi.FileInit(); }
    ~Run() {
        for (int i = 0; i < table.count(); ++i)
            if (streams[i]) avi.StreamRelease(streams[i]);
        if (video_file) avi.FileRelease(video_file);
        if (audio_file) avi.FileRelease(audio_file);
        avi.FileExit();
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Requests one stream into the next slot. A full table still probes the file so the
    // user can be told how many streams were left out; such a stream is released at once.
    bool get(PAVIFILE file, DWORD type, LONG index) {
        int slot = table.next_slot();
        PAVISTREAM stream = nullptr;
        if (avi.FileGetStream(file, &stream, type, index) != 0 || !stream) return false;
        if (slot < 0) {
            avi.StreamRelease(stream);
            table.left_out();
        } else {
            streams[slot] = stream;
            table.filled();
        }
        return true;
    }
};

// Starts each option record from its stream's own format, so that confirming the dialog
// without a change keeps every stream as it is (Wine's audio chooser otherwise starts at
// 8 kHz 8-bit mono and the save then fails).
void default_options(const AviFileApi& avi, PAVISTREAM stream, AVICOMPRESSOPTIONS& options) {
    options = AVICOMPRESSOPTIONS{};
    AVISTREAMINFOA info{};
    if (avi.StreamInfoA(stream, &info, sizeof(info)) != 0) return;
    options.fccType = info.fccType;
    if (info.fccType == streamtypeVIDEO) {
        options.fccHandler = comptypeDIB; // full frames (uncompressed)
        options.dwQuality = static_cast<DWORD>(ICQUALITY_DEFAULT);
        return;
    }
    LONG size = 0;
    if (avi.StreamReadFormat(stream, info.dwStart, nullptr, &size) != 0 || size <= 0) return;
    void* format = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!format) return;
    if (avi.StreamReadFormat(stream, info.dwStart, format, &size) != 0) {
        HeapFree(GetProcessHeap(), 0, format);
        return;
    }
    options.lpFormat = format;
    options.cbFormat = static_cast<DWORD>(size);
}

// What AVISaveOptionsFree leaves behind (a record the dialog never marked valid).
void free_options(std::vector<AVICOMPRESSOPTIONS>& records) {
    for (auto& r : records) {
        if (r.lpFormat) HeapFree(GetProcessHeap(), 0, r.lpFormat);
        if (r.lpParms) HeapFree(GetProcessHeap(), 0, r.lpParms);
        r.lpFormat = r.lpParms = nullptr;
    }
}

void pump_pending_events() {
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

// Steps 5 to 12, after the name checks.
void compose(const AviFileApi& avi, AudioOperation op, const std::wstring& folder,
             const std::wstring& video_name, const std::wstring& audio_name,
             const std::wstring& output) {
    Run run(avi);

    std::wstring video_path = folder + video_name;
    if (!avi_input_readable(video_path) ||
        avi.FileOpenA(&run.video_file, to_ansi(video_path).c_str(), OF_READ, nullptr) != 0) {
        run.video_file = nullptr;
        message_box(video_name + L"\r" + kCannotOpen, MB_ICONEXCLAMATION);
        return;
    }
    for (const auto& step : tamsel::gather_steps(op)) {
        PAVIFILE file = step.file == tamsel::SourceFile::Video ? run.video_file : nullptr;
        const std::wstring& name = step.file == tamsel::SourceFile::Video ? video_name : audio_name;
        if (step.file == tamsel::SourceFile::Audio) {
            std::wstring audio_path = folder + audio_name;
            if (!avi_input_readable(audio_path) ||
                avi.FileOpenA(&run.audio_file, to_ansi(audio_path).c_str(), OF_READ, nullptr) !=
                    0) {
                run.audio_file = nullptr;
                message_box(audio_name + L"\r" + kCannotOpen, MB_ICONEXCLAMATION);
                return;
            }
            file = run.audio_file;
        }
        DWORD type = step.kind == tamsel::StreamKind::Video ? streamtypeVIDEO : streamtypeAUDIO;
        LONG index = 0;
        if (!run.get(file, type, index)) {
            if (step.required) {
                message_box(name + L"\r" +
                                (step.kind == tamsel::StreamKind::Video ? kNoVideo : kNoAudio),
                            MB_ICONEXCLAMATION);
                return;
            }
            continue;
        }
        if (step.all)
            while (run.get(file, type, ++index)) {
            }
    }
    int count = run.table.count();
    if (run.table.left_out_count() > 0)
        message_box(tamsel::left_out_message(run.table.left_out_count()), MB_ICONEXCLAMATION);

    std::vector<AVICOMPRESSOPTIONS> records(count);
    // One spare null entry: some AVIFile versions read one entry past the count when
    // freeing the options.
    std::vector<LPAVICOMPRESSOPTIONS> addresses(count + 1, nullptr);
    for (int i = 0; i < count; ++i) {
        default_options(avi, run.streams[i], records[i]);
        addresses[i] = &records[i];
    }
    INT_PTR confirmed = avi.SaveOptions(g_form1.hwnd, 7, count, run.streams, addresses.data());
    pump_pending_events();
    if (!confirmed) {
        free_options(records);
        return;
    }

    g_form1.busy = true;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    std::wstring failure;
    bool saved = false;
    if (!remove_existing_output(output, failure)) {
        g_form1.busy = false;
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        avi.SaveOptionsFree(count, addresses.data());
        free_options(records);
        message_box(failure, MB_ICONEXCLAMATION);
        return;
    }
    // The handler class is named so that an output called *.wav is still written as AVI.
    CLSID avi_handler = CLSID_AVIFile;
    HRESULT result = avi.SaveVA(to_ansi(output).c_str(), &avi_handler, SaveCallback, count,
                                run.streams, addresses.data());
    SetWindowTextW(g_form1.hwnd, kAppTitle);
    g_form1.busy = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    avi.SaveOptionsFree(count, addresses.data());
    free_options(records);
    if (result == 0) saved = fix_up_output(output);
    if (!saved) {
        DeleteFileW(output.c_str()); // never leave a half-written file behind
        message_box(kNotCreated, 0);
    }
}

} // namespace

void Command1_Click() {
    AudioOperation op = g_form1.operation;
    // 1, 2: selections.
    if (g_form1.chooser.File1ListIndex() < 0) {
        message_box(L"ビデオAVIファイルを選択してください。", MB_ICONEXCLAMATION);
        return;
    }
    std::wstring video_name = g_form1.chooser.File1Name();
    std::wstring audio_name;
    if (tamsel::needs_audio_file(op)) {
        if (g_form1.chooser.File2ListIndex() < 0) {
            message_box(L"オーディオAVIファイルを選択してください。", MB_ICONEXCLAMATION);
            return;
        }
        audio_name = g_form1.chooser.File2Name();
    }
    // 3: folder.
    std::wstring folder = tamsel::folder_with_backslash(g_form1.chooser.FilePath());
    // 4: output name.
    std::wstring answer; // Cancel leaves it empty, like an empty answer
    shell::InputBox(g_form1.hwnd, L"保存ファイル名を入力してください。", kAppTitle, L"", answer);
    if (answer.empty()) return;
    answer = tamsel::complete_output_name(answer);
    if (tamsel::same_file_name(answer, video_name) ||
        (tamsel::needs_audio_file(op) && tamsel::same_file_name(answer, audio_name))) {
        message_box(kSameName, MB_ICONEXCLAMATION);
        return;
    }
    std::wstring output = tamsel::output_path(folder, answer);
    // A typed name can still reach a source through a folder part: compare the files
    // themselves, so the deletion before the save can never remove a source.
    if (shell::SameFile(output, folder + video_name) ||
        (tamsel::needs_audio_file(op) && shell::SameFile(output, folder + audio_name))) {
        message_box(kSameName, MB_ICONEXCLAMATION);
        return;
    }
    const AviFileApi* avi = avifile_api();
    if (!avi) {
        message_box(video_name + L"\r" + kCannotOpen, MB_ICONEXCLAMATION);
        return;
    }
    compose(*avi, op, folder, video_name, audio_name, output);
}
