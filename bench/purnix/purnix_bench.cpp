// Benchmark (not a test), figure 1: PURNIX converting a 200 MB WAV under Wine against its
// floor (purnix_floor: the same AVIFile calls on the same mapped WAV, put in place the same
// way, nothing else) and against native `ffmpeg -c copy`. The three run in turn; each pair
// gives a ratio and the median judges. PURNIX is timed through its window from the click to
// its output in place, the floor by itself from opening the WAV to its output in place, so
// that neither counts a process start. Also the conversion's memory, and that PURNIX writes
// the same bytes every time (the WAV is the same in every run of the benchmark, so the
// printed hash tells whether a change of PURNIX changed its output).
#include "ab.h"
#include "form1_ids.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr double kGoalFloor = 1.05, kGoalMemory = 1.1;

// When a file was last written; zero when there is none.
FILETIME Written(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa)) return FILETIME{};
    return fa.ftLastWriteTime;
}

struct Conversion {
    double placed = -1;  // from the click to the new output under its name
    double message = -1; // from the click to the message
};

// One conversion through the window: the output's name is watched every 2 ms for the new
// file (a file's times are read without the Wine server, so the watch takes nearly nothing
// from the conversion); the message is then waited for as the driver does (every 20 ms).
// Negative times, with the reason printed, when it failed.
Conversion ConvertOnce(td::App& app, HWND form, HWND command1, const std::wstring& output) {
    Conversion c;
    td::sync(form);
    const FILETIME before = Written(output);
    const double start = ab::Seconds();
    td::click(command1);
    // A failure shows its message without placing anything: looked for now and then.
    for (int i = 1; c.placed < 0 && ab::Seconds() - start < 600; ++i) {
        FILETIME now = Written(output);
        if ((now.dwLowDateTime || now.dwHighDateTime) && CompareFileTime(&now, &before) != 0)
            c.placed = ab::Seconds() - start;
        else if (i % 250 == 0 && !app.noMessageBox(0))
            break;
        else
            Sleep(2);
    }
    HWND box = app.waitMessageBox(600000);
    if (!box) {
        std::printf("PURNIX gave no message\n");
        return {};
    }
    c.message = ab::Seconds() - start;
    td::Box b = td::readBox(box);
    td::pressBoxButton(box, IDOK);
    if (b.text != L"AVIファイルを作成しました。" || c.placed < 0) {
        std::printf("PURNIX failed: %s\n", td::narrow(b.text).c_str());
        return {};
    }
    return c;
}

// One run of the floor: the seconds it reports, or a negative value.
double FloorOnce(const std::wstring& folder) {
    ab::Run r = ab::RunProgram(L"purnix_floor.exe", L"big.wav floor.avi big", folder);
    if (!r.ended || r.exitCode != 0) {
        std::printf("the floor failed (%lu): %s\n", r.exitCode, r.output.c_str());
        return -1;
    }
    return std::atof(r.output.c_str());
}

double FfmpegOnce(const std::wstring& folder) {
    return ab::TimeUnix(folder, "ffmpeg -v error -y -i big.wav -c copy ffmpeg.avi", "ffmpeg");
}

int Bench(const std::wstring& folder) {
    std::string out;
    // 1189 s of 16-bit stereo at 44100 Hz: 209,739,600 bytes of samples.
    if (td::runUnix("cd '" + td::unixPath(folder) +
                        "' && sox -R -n -r 44100 -c 2 -b 16 big.wav synth 1189 whitenoise",
                    &out, 600000) != 0) {
        std::printf("sox failed: %s\n", out.c_str());
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA fa;
    GetFileAttributesExW(td::join(folder, L"big.wav").c_str(), GetFileExInfoStandard, &fa);
    double dataBytes = double(fa.nFileSizeLow) + double(fa.nFileSizeHigh) * 4294967296.0 - 44;

    td::App app(L"PURNIX.EXE", folder);
    HWND form = app.waitWindow(L"Purnix");
    HWND file1 = td::control(form, shell::kIdFile1);
    HWND command1 = td::control(form, wavconv::kIdCommand1);
    if (!form || !file1 || !command1 || !td::selectListItem(file1, L"big.wav")) {
        std::printf("PURNIX did not start\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.pid());
    PROCESS_MEMORY_COUNTERS idle = {};
    idle.cb = sizeof idle;
    GetProcessMemoryInfo(process, &idle, sizeof idle);

    // A first run of each, not counted: every counted one then replaces an existing file
    // and finds the libraries loaded.
    const std::wstring output = td::join(folder, L"big.avi");
    if (ConvertOnce(app, form, command1, output).placed < 0 || FloorOnce(folder) < 0 ||
        FfmpegOnce(folder) < 0)
        return 1;
    uint64_t firstHash = 0, outputBytes = 0;
    if (!ab::HashFile(output, firstHash, outputBytes)) {
        std::printf("PURNIX's output cannot be read\n");
        return 1;
    }

    const int pairs = ab::Pairs();
    ab::Series toFloor, toFfmpeg, purnix, message, floorTimes, ffmpeg;
    bool same = true;
    for (int i = 0; i < pairs; ++i) {
        ab::SettleDisk();
        Conversion conversion = ConvertOnce(app, form, command1, output);
        double a = conversion.placed;
        ab::SettleDisk();
        double b = FloorOnce(folder);
        ab::SettleDisk();
        double c = FfmpegOnce(folder);
        if (a < 0 || b < 0 || c < 0) return 1;
        uint64_t hash = 0, bytes = 0;
        same =
            same && ab::HashFile(output, hash, bytes) && hash == firstHash && bytes == outputBytes;
        purnix.Add(a);
        message.Add(conversion.message - a);
        floorTimes.Add(b);
        ffmpeg.Add(c);
        toFloor.Add(a / b);
        toFfmpeg.Add(a / c);
    }
    PROCESS_MEMORY_COUNTERS peak = {};
    peak.cb = sizeof peak;
    GetProcessMemoryInfo(process, &peak, sizeof peak);
    CloseHandle(process);
    td::close(form);
    app.waitExit(10000);

    // The conversion's own memory: what the process gained over its idle working set.
    double memory = double(peak.PeakWorkingSetSize - idle.WorkingSetSize) / dataBytes;
    std::printf(
        "  medians: PURNIX %.3f s (click to output in place; the message about %.2f s later), "
        "floor %.3f s, ffmpeg %.3f s\n",
        purnix.Median(), message.Median(), floorTimes.Median(), ffmpeg.Median());
    ab::PrintRatio("PURNIX / floor", toFloor, kGoalFloor);
    ab::PrintRatio("PURNIX / ffmpeg -c copy", toFfmpeg);
    std::printf("  conversion memory / data: %.2f (peak %.1f MB minus idle %.1f MB; %.1f MB of "
                "samples)  goal <= %.1f: %s\n",
                memory, ab::Mb(double(peak.PeakWorkingSetSize)),
                ab::Mb(double(idle.WorkingSetSize)), ab::Mb(dataBytes), kGoalMemory,
                memory <= kGoalMemory ? "met" : "NOT met");
    std::printf("  PURNIX's output: %llu bytes, FNV-1a %016llx, %s\n",
                (unsigned long long)outputBytes, (unsigned long long)firstHash,
                same ? "the same bytes in every run" : "NOT the same bytes in every run");
    return same ? 0 : 1;
}

} // namespace

int main() {
    return ab::Figure("Figure 1: PURNIX converting a 200 MB WAV (pairs of runs in turn)",
                      L"purnix-bench", Bench);
}
