// Benchmark (not a test), figure 2: TAMSEL adding a 200 MB audio AVI to a video AVI from
// its command line (no dialog: every stream copied) against its floor (tamsel_floor: the
// same AVIFile calls with empty option records, put in place the same way, nothing else)
// and against native ffmpeg mapping the same streams with `-c copy`. The three run in turn,
// each as a whole process; each pair gives a ratio and the median judges.
#include "ab.h"
#include "testdriver/driver.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr double kGoalFloor = 1.1;

struct FloorTimes {
    double open = 0, save = 0, place = 0, total = 0;
};

int Bench(const std::wstring& folder) {
    std::string out;
    // 1189 s of 16-bit stereo at 44100 Hz (209,739,600 bytes of samples) in an AVI of
    // ffmpeg's, and 10 s of uncompressed 320x240 video at 10 frames a second.
    if (td::runUnix("cd '" + td::unixPath(folder) +
                        "' && sox -R -n -r 44100 -c 2 -b 16 big.wav synth 1189 whitenoise && "
                        "ffmpeg -v error -y -i big.wav -c copy audio.avi && rm big.wav && "
                        "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=10:duration=10 "
                        "-c:v rawvideo -pix_fmt bgr24 video.avi",
                    &out, 900000) != 0) {
        std::printf("sox or ffmpeg failed: %s\n", out.c_str());
        return 1;
    }
    double inputBytes = 0;
    for (const wchar_t* name : {L"audio.avi", L"video.avi"}) {
        WIN32_FILE_ATTRIBUTE_DATA fa;
        GetFileAttributesExW(td::join(folder, name).c_str(), GetFileExInfoStandard, &fa);
        inputBytes += double(fa.nFileSizeLow) + double(fa.nFileSizeHigh) * 4294967296.0;
    }

    SIZE_T tamselPeak = 0, floorPeak = 0;
    auto runTamsel = [&]() -> double {
        ab::Run r =
            ab::RunProgram(L"TAMSEL.EXE", L"/add video.avi audio.avi /out tamsel.avi", folder);
        if (!r.ended || r.exitCode != 0) {
            std::printf("TAMSEL failed (%lu): %s\n", r.exitCode, r.output.c_str());
            return -1;
        }
        tamselPeak = std::max(tamselPeak, r.peakWorkingSet);
        return r.seconds;
    };
    auto runFloor = [&](FloorTimes& t) -> double {
        ab::Run r = ab::RunProgram(L"tamsel_floor.exe", L"video.avi audio.avi floor.avi", folder);
        if (!r.ended || r.exitCode != 0 ||
            std::sscanf(r.output.c_str(), "open %lf save %lf place %lf total %lf", &t.open, &t.save,
                        &t.place, &t.total) != 4) {
            std::printf("the floor failed (%lu): %s\n", r.exitCode, r.output.c_str());
            return -1;
        }
        floorPeak = std::max(floorPeak, r.peakWorkingSet);
        return r.seconds;
    };
    auto runFfmpeg = [&]() -> double {
        return ab::TimeUnix(folder,
                            "ffmpeg -v error -y -i video.avi -i audio.avi -map 0:v:0 "
                            "-map '0:a?' -map 1:a -c copy ffmpeg.avi",
                            "ffmpeg");
    };

    // A first run of each, not counted: every counted one then replaces an existing file.
    FloorTimes t;
    if (runTamsel() < 0 || runFloor(t) < 0 || runFfmpeg() < 0) return 1;

    const int pairs = ab::Pairs();
    ab::Series toFloor, toFfmpeg, tamselTimes, floorTimes, ffmpegTimes, open, save, place, outside;
    for (int i = 0; i < pairs; ++i) {
        ab::SettleDisk();
        double a = runTamsel();
        ab::SettleDisk();
        double b = runFloor(t);
        ab::SettleDisk();
        double c = runFfmpeg();
        if (a < 0 || b < 0 || c < 0) return 1;
        tamselTimes.Add(a);
        floorTimes.Add(b);
        ffmpegTimes.Add(c);
        toFloor.Add(a / b);
        toFfmpeg.Add(a / c);
        open.Add(t.open);
        save.Add(t.save);
        place.Add(t.place);
        outside.Add(b - t.total);
    }
    uint64_t hash = 0, tamselBytes = 0, floorBytes = 0;
    ab::HashFile(td::join(folder, L"tamsel.avi"), hash, tamselBytes);
    ab::HashFile(td::join(folder, L"floor.avi"), hash, floorBytes);

    std::printf("  medians: TAMSEL %.3f s, floor %.3f s, ffmpeg %.3f s (whole processes)\n",
                tamselTimes.Median(), floorTimes.Median(), ffmpegTimes.Median());
    ab::PrintRatio("TAMSEL / floor", toFloor, kGoalFloor);
    ab::PrintRatio("TAMSEL / ffmpeg -c copy", toFfmpeg);
    std::printf("  where the time goes (medians): process start and end %.3f s, opening the "
                "files and streams %.3f s, AVISaveV %.3f s, flush and replace %.3f s; TAMSEL "
                "beyond its floor %+.3f s (its checks and the corrections of the written file)\n",
                outside.Median(), open.Median(), save.Median(), place.Median(),
                tamselTimes.Median() - floorTimes.Median());
    std::printf("  peak working set: TAMSEL %.1f MB, floor %.1f MB; inputs %.1f MB; outputs: "
                "TAMSEL %.1f MB, floor %.1f MB\n",
                ab::Mb(double(tamselPeak)), ab::Mb(double(floorPeak)), ab::Mb(inputBytes),
                ab::Mb(double(tamselBytes)), ab::Mb(double(floorBytes)));
    return 0;
}

} // namespace

int main() {
    return ab::Figure("Figure 2: TAMSEL adding a 200 MB audio AVI to a video AVI (pairs of runs in "
                      "turn)",
                      L"tamsel-bench", Bench, L"TAMSEL.EXE");
}
