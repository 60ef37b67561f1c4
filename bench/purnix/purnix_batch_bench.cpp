// Benchmark (not a test), figure 3: PURNIX converting 100 WAV files of 2 MB in one call of
// its command line, against native `ffmpeg -c copy` called once a file. The two run in
// turn, each timed whole (PURNIX flushes every file it writes; ffmpeg does not).
#include "ab.h"
#include "testdriver/driver.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kFiles = 100;

int Bench(const std::wstring& folder) {
    std::string out;
    // 524,288 samples of 16-bit stereo: 2 MB of data a file.
    if (td::runUnix("cd '" + td::unixPath(folder) +
                        "' && sox -R -n -r 44100 -c 2 -b 16 one.wav synth 524288s whitenoise && "
                        "for i in $(seq -w 0 " +
                        std::to_string(kFiles - 1) +
                        "); do cp one.wav take$i.wav; done && rm one.wav && mkdir ff",
                    &out, 300000) != 0) {
        std::printf("sox failed: %s\n", out.c_str());
        return 1;
    }
    auto runPurnix = [&]() -> double {
        ab::Run r = ab::RunProgram(L"PURNIX.EXE", L"*.wav", folder);
        long lines = long(std::count(r.output.begin(), r.output.end(), '\n'));
        if (!r.ended || r.exitCode != 0 || lines != kFiles) {
            std::printf("PURNIX failed (%lu, %ld lines): %s\n", r.exitCode, lines,
                        r.output.c_str());
            return -1;
        }
        return r.seconds;
    };
    auto runFfmpeg = [&]() -> double {
        return ab::TimeUnix(folder,
                            "for f in *.wav; do ffmpeg -v error -y -i \"$f\" -c copy "
                            "\"ff/${f%.wav}.avi\" || exit 1; done",
                            "ffmpeg");
    };

    // A first run of each, not counted: every counted one then replaces existing files.
    if (runPurnix() < 0 || runFfmpeg() < 0) return 1;
    ab::Series ratios, purnix, ffmpeg;
    for (int i = 0, pairs = ab::Pairs(); i < pairs; ++i) {
        ab::SettleDisk();
        double a = runPurnix();
        ab::SettleDisk();
        double b = runFfmpeg();
        if (a < 0 || b < 0) return 1;
        purnix.Add(a);
        ffmpeg.Add(b);
        ratios.Add(a / b);
    }
    std::printf("  medians: PURNIX %.3f s (one process), ffmpeg %.3f s (%d processes)\n",
                purnix.Median(), ffmpeg.Median(), kFiles);
    ab::PrintRatio("PURNIX / ffmpeg x 100", ratios);
    return 0;
}

} // namespace

int main() {
    return ab::Figure(
        "Figure 3: PURNIX converting 100 WAV files of 2 MB in one call (pairs of runs "
        "in turn)",
        L"purnix-batch-bench", Bench, L"PURNIX.EXE");
}
