#include "ab.h"

#include "testdriver/driver.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ab {

double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

int Pairs() {
    const char* v = std::getenv("QUILLON_BENCH_PAIRS");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : kFewestPairs;
}

double Series::Median() const {
    if (values_.empty()) return 0;
    std::vector<double> v = values_;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Series::Min() const {
    return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end());
}

double Series::Max() const {
    return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end());
}

void PrintRatio(const char* name, const Series& ratios, double goal, bool atLeast) {
    std::printf("  %-26s median %.2f (min %.2f, max %.2f; %zu pairs)", name, ratios.Median(),
                ratios.Min(), ratios.Max(), ratios.Count());
    const bool met = atLeast ? ratios.Median() >= goal : ratios.Median() <= goal;
    if (goal > 0)
        std::printf("  goal %s %.2f: %s", atLeast ? ">=" : "<=", goal, met ? "met" : "NOT met");
    else
        std::printf("  no goal");
    if (ratios.Count() < size_t(kFewestPairs))
        std::printf(" (fewer than %d pairs: not a judgement)", kFewestPairs);
    std::printf("\n");
}

namespace {

// A file that takes a child's standard output and error, removed when closed.
HANDLE OutputFile() {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    if (!GetTempFileNameW(folder, L"abo", 0, name)) return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, CREATE_ALWAYS,
                       FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadAll(HANDLE file) {
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& folder,
           HANDLE output, PROCESS_INFORMATION& pi) {
    std::wstring path =
        exe.find_first_of(L"\\/") == std::wstring::npos ? td::join(td::exeFolder(), exe) : exe;
    std::wstring line = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = output;
    si.hStdError = output;
    return CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                          folder.c_str(), &si, &pi) != 0;
}

struct WindowSearch {
    DWORD pid;
    bool found;
};

// Window enumeration callbacks are stdcall in the 32-bit build, which a lambda cannot be.
BOOL CALLBACK FindVisibleWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->pid && IsWindowVisible(w)) s->found = true;
    return !s->found;
}

BOOL CALLBACK CloseWindowOf(HWND w, LPARAM p) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == DWORD(p)) PostMessageW(w, WM_CLOSE, 0, 0);
    return TRUE;
}

bool HasVisibleWindow(DWORD pid) {
    WindowSearch search = {pid, false};
    EnumWindows(FindVisibleWindow, LPARAM(&search));
    return search.found;
}

} // namespace

Run RunProgram(const std::wstring& exe, const std::wstring& args, const std::wstring& folder,
               DWORD timeoutMs) {
    Run run;
    HANDLE output = OutputFile();
    PROCESS_INFORMATION pi = {};
    double start = Seconds();
    if (output == INVALID_HANDLE_VALUE || !Start(exe, args, folder, output, pi)) {
        run.output = "could not start " + td::narrow(exe);
        if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
        return run;
    }
    CloseHandle(pi.hThread);
    // The counters are read while it runs: an ended process may report nothing.
    for (;;) {
        DWORD waited = WaitForSingleObject(pi.hProcess, 10);
        PROCESS_MEMORY_COUNTERS m = {};
        m.cb = sizeof m;
        if (GetProcessMemoryInfo(pi.hProcess, &m, sizeof m))
            run.peakWorkingSet =
                std::max({run.peakWorkingSet, m.PeakWorkingSetSize, m.WorkingSetSize});
        if (waited == WAIT_OBJECT_0) {
            run.ended = true;
            break;
        }
        if ((Seconds() - start) * 1000 > timeoutMs) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 10000);
            break;
        }
    }
    run.seconds = Seconds() - start;
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hProcess);
    run.output = ReadAll(output);
    CloseHandle(output);
    return run;
}

bool HasCommandLine(const std::wstring& exe, const std::wstring& folder) {
    HANDLE output = OutputFile();
    PROCESS_INFORMATION pi = {};
    if (output == INVALID_HANDLE_VALUE || !Start(exe, L"/?", folder, output, pi)) {
        if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
        return false;
    }
    CloseHandle(pi.hThread);
    bool ended = false, window = false;
    for (double start = Seconds(); Seconds() - start < 30;) {
        if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (HasVisibleWindow(pi.dwProcessId)) {
            window = true;
            break;
        }
    }
    DWORD code = 1;
    if (ended) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        // Its window (or nothing) instead of an answer: it reads no command line.
        if (window) {
            EnumWindows(CloseWindowOf, LPARAM(pi.dwProcessId));
        }
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 10000);
        }
    }
    CloseHandle(pi.hProcess);
    CloseHandle(output);
    return ended && code == 0;
}

double TimeUnix(const std::wstring& folder, const std::string& command, const char* name) {
    std::string text;
    int rc = td::runUnix("cd '" + td::unixPath(folder) + "' && s=$(date +%s.%N) && { " + command +
                             " ; } && e=$(date +%s.%N) && echo \"@@ $s $e\"",
                         &text, 1800000);
    size_t at = text.rfind("@@ ");
    if (rc != 0 || at == std::string::npos) {
        std::printf("%s failed: %s\n", name, text.c_str());
        return -1;
    }
    char* end = nullptr;
    double s = std::strtod(text.c_str() + at + 3, &end);
    double e = std::strtod(end, nullptr);
    return e - s;
}

void SettleDisk() {
    td::runUnix("sync", nullptr, 600000);
}

bool HashFile(const std::wstring& path, uint64_t& hash, uint64_t& size) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    hash = 14695981039346656037ull;
    size = 0;
    std::vector<unsigned char> buffer(1 << 20);
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buffer.data(), DWORD(buffer.size()), &got, nullptr) != 0) && got) {
        for (DWORD i = 0; i < got; ++i)
            hash = (hash ^ buffer[i]) * 1099511628211ull;
        size += got;
    }
    CloseHandle(f);
    return ok;
}

double Mb(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

int Figure(const char* title, const wchar_t* folderPrefix, int (*body)(const std::wstring& folder),
           const wchar_t* needs) {
    std::printf("%s\n", title);
    std::fflush(stdout);
    std::wstring folder = td::makeTempFolder(folderPrefix);
    int rc = 0;
    if (needs && !HasCommandLine(needs, folder)) {
        std::wstring name = needs;
        name = name.substr(0, name.find(L'.'));
        std::printf("  not measured: %s has no command line in this build\n",
                    td::narrow(name).c_str());
    } else {
        rc = body(folder);
    }
    td::removeTree(folder);
    std::fflush(stdout);
    return rc;
}

} // namespace ab
