// The floor under TAMSEL adding audio to a video (the benchmark's own program, never
// shipped): the AVIFile calls of one run that adds the audio file's streams to the video
// file's, with empty option records (every stream copied as it is, no dialog), saved to a
// temporary file in the output's folder that is flushed and put in place over the output.
// Nothing else: no checks of the inputs, no corrections of the output.
//   tamsel_floor VIDEO AUDIO OUT
// prints "open S save S place S total S": opening the files and getting their streams,
// AVISaveV and the releases, the flush and the replace, and all of it.
#include <initguid.h>

#include <windows.h>
#include <vfw.h>

#include "floor.h"

#include <vector>

namespace {

BOOL WINAPI SaveCallback(int) {
    return 0;
}

// Every stream of a type from the file, in the file's order.
void GetStreams(PAVIFILE file, DWORD type, std::vector<PAVISTREAM>& streams) {
    PAVISTREAM s = nullptr;
    for (LONG i = 0; AVIFileGetStream(file, &s, type, i) == 0 && s; ++i)
        streams.push_back(s);
}

int Add(const std::wstring& videoPath, const std::wstring& audioPath, const std::wstring& out) {
    const double start = floor_ab::Seconds();
    AVIFileInit();
    PAVIFILE video = nullptr, audio = nullptr;
    if (AVIFileOpenW(&video, videoPath.c_str(), OF_READ, nullptr) != 0) return 1;
    std::vector<PAVISTREAM> streams;
    PAVISTREAM first = nullptr;
    if (AVIFileGetStream(video, &first, streamtypeVIDEO, 0) != 0 || !first) return 1;
    streams.push_back(first);
    GetStreams(video, streamtypeAUDIO, streams);
    if (AVIFileOpenW(&audio, audioPath.c_str(), OF_READ, nullptr) != 0) return 1;
    GetStreams(audio, streamtypeAUDIO, streams);
    const int count = int(streams.size());
    std::vector<AVICOMPRESSOPTIONS> records(count); // empty: copy every stream as it is
    std::vector<LPAVICOMPRESSOPTIONS> addresses(count + 1, nullptr);
    for (int i = 0; i < count; ++i)
        addresses[i] = &records[i];

    const std::wstring temp = floor_ab::TempBeside(out);
    if (temp.empty()) return 1;
    const double opened = floor_ab::Seconds();
    // The handler is named: the temporary name does not end in .avi.
    CLSID handler = CLSID_AVIFile;
    HRESULT saved =
        AVISaveVW(temp.c_str(), &handler, SaveCallback, count, streams.data(), addresses.data());
    AVISaveOptionsFree(count, addresses.data());
    for (PAVISTREAM s : streams)
        AVIStreamRelease(s);
    AVIFileRelease(video);
    AVIFileRelease(audio);
    AVIFileExit();
    const double written = floor_ab::Seconds();
    if (saved != 0 || floor_ab::FlushAndPlace(temp, out)) {
        DeleteFileW(temp.c_str());
        return 1;
    }
    const double end = floor_ab::Seconds();
    floor_ab::Say("open %.6f save %.6f place %.6f total %.6f", opened - start, written - opened,
                  end - written, end - start);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::vector<std::wstring> a = floor_ab::FullPathArguments(3, "tamsel_floor VIDEO AUDIO OUT");
    return a.empty() ? 2 : Add(a[0], a[1], a[2]);
}
