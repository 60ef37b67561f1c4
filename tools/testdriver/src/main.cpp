// The main of every Windows test program: GoogleTest's, plus a report written shortly before
// ctest would stop a case that does not end. ctest's timeout kills the process and keeps only
// what it printed, which for a case stuck in a wait is its "[ RUN ]" line and nothing else.

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/owned.h"
#include "testdriver/driver.h"

namespace {

// Seconds before ctest's limit (QUILLON_TEST_TIMEOUT, set with it) that the report is due.
constexpr DWORD kReportMargin = 20;

DWORD reportDelayMs() {
    wchar_t text[16] = L"";
    DWORD n = GetEnvironmentVariableW(L"QUILLON_TEST_TIMEOUT", text, 16);
    long timeout = n > 0 && n < 16 ? wcstol(text, nullptr, 10) : 0;
    if (timeout <= long(kReportMargin) * 2) return 0;
    return DWORD(timeout - long(kReportMargin)) * 1000;
}

std::wstring exeOf(DWORD pid) {
    common::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    if (snapshot)
        for (BOOL ok = Process32FirstW(snapshot.get(), &pe); ok;
             ok = Process32NextW(snapshot.get(), &pe))
            if (pe.th32ProcessID == pid) return pe.szExeFile;
    return L"?";
}

BOOL CALLBACK printWindow(HWND hwnd, LPARAM) {
    if (!IsWindowVisible(hwnd)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    // The caption another process's window keeps, read without a message to it.
    wchar_t caption[256] = L"", cls[128] = L"";
    InternalGetWindowText(hwnd, caption, 256);
    GetClassNameW(hwnd, cls, 128);
    std::printf("  %s (%lu): %s \"%s\"%s\n", td::narrow(exeOf(pid)).c_str(), pid,
                td::narrow(cls).c_str(), td::narrow(caption).c_str(),
                IsHungAppWindow(hwnd) ? ", not answering" : "");
    return TRUE;
}

// Where the main thread is: the module and offset of its instruction pointer and of every
// value on its stack that points into a loaded module's code (return addresses, mostly).
// `x86_64-w64-mingw32-addr2line -f -e MODULE 0xBASE+OFFSET` names the functions.
void printStack(HANDLE thread) {
    if (SuspendThread(thread) == DWORD(-1)) return;
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_CONTROL;
    const bool got = GetThreadContext(thread, &context);
#ifdef _WIN64
    const uintptr_t ip = context.Rip, sp = context.Rsp;
#else
    const uintptr_t ip = context.Eip, sp = context.Esp;
#endif
    auto describe = [](uintptr_t address) {
        HMODULE module = nullptr;
        wchar_t name[MAX_PATH] = L"";
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(address), &module) ||
            !GetModuleFileNameW(module, name, MAX_PATH))
            return std::string();
        std::wstring file = name;
        file = file.substr(file.find_last_of(L"\\/") + 1);
        char line[MAX_PATH + 64];
        std::snprintf(line, sizeof(line), "%s+0x%llx", td::narrow(file).c_str(),
                      static_cast<unsigned long long>(address - uintptr_t(module)));
        return std::string(line);
    };
    if (got) {
        std::printf("  the test's thread is at %s; on its stack:\n", describe(ip).c_str());
        MEMORY_BASIC_INFORMATION region = {};
        VirtualQuery(reinterpret_cast<void*>(sp), &region, sizeof(region));
        const uintptr_t end = uintptr_t(region.BaseAddress) + region.RegionSize;
        int shown = 0;
        for (uintptr_t p = sp; p + sizeof(uintptr_t) <= end && shown < 40; p += sizeof(uintptr_t)) {
            const uintptr_t value = *reinterpret_cast<const uintptr_t*>(p);
            MEMORY_BASIC_INFORMATION target = {};
            if (!VirtualQuery(reinterpret_cast<void*>(value), &target, sizeof(target)) ||
                !(target.Protect & (PAGE_EXECUTE_READ | PAGE_EXECUTE | PAGE_EXECUTE_READWRITE)))
                continue;
            const std::string where = describe(value);
            if (where.empty()) continue;
            std::printf("    %s\n", where.c_str());
            ++shown;
        }
    }
    ResumeThread(thread);
}

// Waits on its own thread while a case runs; when the case outlasts the delay it prints what
// is on the screen and where the case's thread waits, and saves a screenshot.
class HangReport : public ::testing::EmptyTestEventListener {
  public:
    explicit HangReport(DWORD delayMs) : delayMs_(delayMs) {}

    void OnTestStart(const ::testing::TestInfo& info) override {
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        HANDLE self = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
        testThread_.reset(self);
        ended_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        watcher_.reset(CreateThread(nullptr, 0, watch, this, 0, nullptr));
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        if (!watcher_) return;
        SetEvent(ended_.get());
        WaitForSingleObject(watcher_.get(), INFINITE);
        watcher_.reset();
    }

  private:
    static DWORD WINAPI watch(void* self) {
        auto* report = static_cast<HangReport*>(self);
        if (WaitForSingleObject(report->ended_.get(), report->delayMs_) == WAIT_TIMEOUT)
            report->print();
        return 0;
    }

    void print() {
        std::printf("== %s is still running after %lu s. The windows on the screen:\n",
                    name_.c_str(), delayMs_ / 1000);
        EnumWindows(printWindow, 0);
        printStack(testThread_.get());
        std::fflush(stdout);
        const std::string shot = td::screenshot("hang_" + name_);
        if (!shot.empty()) std::printf("  screenshot: %s\n", shot.c_str());
        std::fflush(stdout);
    }

    DWORD delayMs_;
    std::string name_;
    common::UniqueHandle testThread_, ended_, watcher_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (DWORD delay = reportDelayMs())
        ::testing::UnitTest::GetInstance()->listeners().Append(new HangReport(delay));
    return RUN_ALL_TESTS();
}
