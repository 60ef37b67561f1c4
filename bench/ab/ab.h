// Comparisons of programs run in turn (A B A B ...): one ratio per pair of runs, judged on
// their median and printed with their minimum and maximum, so that one noisy run decides
// nothing. Also what the benchmarks share: running a Windows program or a Unix command
// line and timing it, letting the disk settle between runs, comparing outputs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ab {

// Seconds on a monotonic clock.
double Seconds();

// Pairs of runs a figure makes: QUILLON_BENCH_PAIRS, 9 when unset. Fewer than 9 is for
// development: PrintRatio then says so.
int Pairs();
constexpr int kFewestPairs = 9;

// The values of one quantity over the pairs.
class Series {
  public:
    void Add(double v) { values_.push_back(v); }
    size_t Count() const { return values_.size(); }
    double Median() const; // the mean of the middle two for an even count
    double Min() const;
    double Max() const;

  private:
    std::vector<double> values_;
};

// "NAME   median 1.03 (min 0.97, max 1.12; 9 pairs)", then "goal <= G: met" or "NOT met"
// when goal is above 0, or "no goal". A ratio of speeds (higher is better) has its goal
// `atLeast`: "goal >= G".
void PrintRatio(const char* name, const Series& ratios, double goal = 0, bool atLeast = false);

struct Run {
    bool ended = false; // ended by itself within the time (else it was ended)
    DWORD exitCode = 0;
    double seconds = 0;        // from its creation to its end, as seen from here
    SIZE_T peakWorkingSet = 0; // the largest the system reported while it ran
    std::string output;        // standard output and standard error
};

// Runs a Windows program (a name beside the benchmark, or a path) with arguments, in a
// folder, with standard output and error into a file, and waits for it.
Run RunProgram(const std::wstring& exe, const std::wstring& args, const std::wstring& folder,
               DWORD timeoutMs = 900000);

// Whether a program reads a command line: `exe /?` ends by itself with status 0, where a
// program that reads none opens its window instead (then closed here).
bool HasCommandLine(const std::wstring& exe, const std::wstring& folder);

// A Unix command line run in a folder and timed by the shell itself, so that starting the
// shell through Wine is not counted. Seconds, or a negative value when it failed (then its
// output is printed after "NAME failed: ").
double TimeUnix(const std::wstring& folder, const std::string& command, const char* name);

// Writes every dirty page to disk (sync), so that a run does not pay for the writes of the
// one before it.
void SettleDisk();

// 64-bit FNV-1a of a file's bytes; false when it cannot be read.
bool HashFile(const std::wstring& path, uint64_t& hash, uint64_t& size);

double Mb(double bytes);

// Prints a figure's title, then runs it in a fresh scratch folder, removed afterwards, and
// returns its status. A figure that needs a program's command line (`needs` names the
// program) prints "not measured: NAME has no command line in this build" in a build whose
// program reads none, and succeeds.
int Figure(const char* title, const wchar_t* folderPrefix, int (*body)(const std::wstring& folder),
           const wchar_t* needs = nullptr);

} // namespace ab
