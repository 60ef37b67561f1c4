// Test build only: binds the real AVIFile functions and counts what a run obtains and
// releases. Each AVIFileExit appends one line to TAMSEL_COUNTS.TXT beside the program:
// "init=I exit=E streams=S released=R opened=O closed=C".
#include <cstdio>

#include "avifile.h"

namespace avi {

namespace {

AviFileApi g_real{};
struct Counts {
    int init, exit, streams, released, opened, closed;
} g_counts{};

void WINAPI countingInit() {
    ++g_counts.init;
    g_real.FileInit();
}

void WINAPI countingExit() {
    ++g_counts.exit;
    g_real.FileExit();
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n && path[n - 1] != L'\\')
        --n;
    lstrcpyW(path + n, L"TAMSEL_COUNTS.TXT");
    FILE* f = _wfopen(path, L"ab");
    if (!f) return;
    std::fprintf(f, "init=%d exit=%d streams=%d released=%d opened=%d closed=%d\n", g_counts.init,
                 g_counts.exit, g_counts.streams, g_counts.released, g_counts.opened,
                 g_counts.closed);
    std::fclose(f);
    g_counts = Counts{};
}

HRESULT WINAPI countingOpen(PAVIFILE* file, LPCWSTR path, UINT mode, LPCLSID handler) {
    HRESULT hr = g_real.FileOpenW(file, path, mode, handler);
    if (hr == 0) ++g_counts.opened;
    return hr;
}

ULONG WINAPI countingFileRelease(PAVIFILE file) {
    ++g_counts.closed;
    return g_real.FileRelease(file);
}

HRESULT WINAPI countingGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD type, LONG index) {
    HRESULT hr = g_real.FileGetStream(file, stream, type, index);
    if (hr == 0 && *stream) ++g_counts.streams;
    return hr;
}

ULONG WINAPI countingStreamRelease(PAVISTREAM stream) {
    ++g_counts.released;
    return g_real.StreamRelease(stream);
}

} // namespace

const AviFileApi* aviFile() {
    static AviFileApi api{};
    static const bool bound = [] {
        if (!bindAviFile(g_real)) return false;
        api = g_real;
        api.FileInit = countingInit;
        api.FileExit = countingExit;
        api.FileOpenW = countingOpen;
        api.FileRelease = countingFileRelease;
        api.FileGetStream = countingGetStream;
        api.StreamRelease = countingStreamRelease;
        return true;
    }();
    return bound ? &api : nullptr;
}

} // namespace avi
