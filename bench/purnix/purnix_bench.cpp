// Benchmark (not a test): PURNIX converting a 200 MB WAV under Wine against native
// `ffmpeg -c copy` doing the same remux; prints both times, their ratio and the peak
// memory of the conversion. Run by bench/purnix/run-bench.sh.
#include "form1_ids.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kRuns = 3;
constexpr double kGoalRatio = 1.5, kGoalMemory = 1.1;

double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

double Mb(SIZE_T bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main() {
    std::wstring folder = td::MakeTempFolder(L"purnix-bench");
    std::string unix = td::UnixPath(folder);
    std::string out;
    // 1189 s of 16-bit stereo at 44100 Hz: 209,739,600 bytes of samples.
    if (td::RunUnix("cd '" + unix +
                        "' && sox -n -r 44100 -c 2 -b 16 big.wav synth 1189 "
                        "whitenoise",
                    &out, 600000) != 0) {
        std::printf("sox failed: %s\n", out.c_str());
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA fa;
    GetFileAttributesExW(td::Join(folder, L"big.wav").c_str(), GetFileExInfoStandard, &fa);
    double dataBytes = double(fa.nFileSizeLow) + double(fa.nFileSizeHigh) * 4294967296.0 - 44;

    // Native remux; the shell times itself so process start-up through Wine is not counted.
    double ffmpegBest = 1e9;
    for (int i = 0; i < kRuns; i++) {
        if (td::RunUnix(
                "cd '" + unix +
                    "' && s=$(date +%s.%N) && ffmpeg -v error -y -i big.wav "
                    "-c copy ffmpeg.avi && e=$(date +%s.%N) && awk \"BEGIN { print $e - $s }\"",
                &out, 600000) != 0) {
            std::printf("ffmpeg failed: %s\n", out.c_str());
            return 1;
        }
        ffmpegBest = std::min(ffmpegBest, std::atof(out.c_str()));
    }

    td::App app(L"PURNIX.EXE", folder);
    HWND form = app.WaitWindow(L"Purnix");
    HWND file1 = td::Control(form, shell::kIdFile1);
    HWND command1 = td::Control(form, wavconv::kIdCommand1);
    if (!form || !file1 || !command1 || !td::SelectListItem(file1, L"big.wav")) {
        std::printf("PURNIX did not start\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.Pid());
    PROCESS_MEMORY_COUNTERS idle = {};
    idle.cb = sizeof idle;
    GetProcessMemoryInfo(process, &idle, sizeof idle);

    double purnixBest = 1e9;
    for (int i = 0; i < kRuns; i++) {
        td::Sync(form);
        double start = Seconds();
        td::Click(command1);
        HWND box = app.WaitMessageBox(600000);
        double took = Seconds() - start;
        if (!box) {
            std::printf("PURNIX gave no message\n");
            return 1;
        }
        td::Box b = td::ReadBox(box);
        td::PressBoxButton(box, IDOK);
        if (b.text != L"AVIファイルを作成しました。") {
            std::printf("PURNIX failed: %s\n", td::Narrow(b.text).c_str());
            return 1;
        }
        purnixBest = std::min(purnixBest, took);
    }
    PROCESS_MEMORY_COUNTERS peak = {};
    peak.cb = sizeof peak;
    GetProcessMemoryInfo(process, &peak, sizeof peak);
    CloseHandle(process);

    double ratio = purnixBest / ffmpegBest;
    // The conversion's own memory: what the process gained over its idle working set.
    double memory = double(peak.PeakWorkingSetSize - idle.WorkingSetSize) / dataBytes;
    double whole = double(peak.PeakWorkingSetSize) / dataBytes;
    std::printf("WAV data:                 %.1f MB\n", Mb(SIZE_T(dataBytes)));
    std::printf("PURNIX under Wine:        %.3f s (best of %d, click to message)\n", purnixBest,
                kRuns);
    std::printf("ffmpeg -c copy (native):  %.3f s (best of %d)\n", ffmpegBest, kRuns);
    std::printf("time ratio:               %.2f (goal <= %.1f) %s\n", ratio, kGoalRatio,
                ratio <= kGoalRatio ? "met" : "NOT met");
    std::printf("peak working set:         %.1f MB (%.1f MB before converting)\n",
                Mb(peak.PeakWorkingSetSize), Mb(idle.WorkingSetSize));
    std::printf("conversion memory / data: %.2f (peak minus idle; goal <= %.1f) %s\n", memory,
                kGoalMemory, memory <= kGoalMemory ? "met" : "NOT met");
    std::printf("whole process peak / data:%.2f\n", whole);
    std::printf("peak pagefile usage:      %.1f MB\n", Mb(peak.PeakPagefileUsage));
    td::Close(form);
    app.WaitExit(10000);
    td::RemoveTree(folder);
    return 0;
}
