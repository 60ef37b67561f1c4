// Wine and Unix: Unix paths of Windows ones, Unix commands run to the end, and drive
// letters mapped through Wine's mount manager.

#include "testdriver/driver.h"

#include <winioctl.h>

#include <cstring>

#include <algorithm>

namespace td {

std::string UnixPath(const std::wstring& windowsPath) {
    std::wstring p = windowsPath;
    if (p.size() >= 2 && (p[0] == L'Z' || p[0] == L'z') && p[1] == L':') p = p.substr(2);
    std::replace(p.begin(), p.end(), L'\\', L'/');
    return Narrow(p);
}

int RunUnix(const std::string& command, std::string* output, DWORD timeoutMs) {
    // The exit code of a Unix process does not come back through Wine: the script records
    // it in a file that we wait for.
    static int counter = 0;
    std::string base =
        "/tmp/td-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    std::wstring wbase = L"Z:" + Widen(base);
    std::replace(wbase.begin(), wbase.end(), L'/', L'\\');
    std::string script = "( " + command + " ) > " + base + ".out 2>&1\necho $? > " + base +
                         ".rc.tmp\nmv " + base + ".rc.tmp " + base + ".rc\n";
    if (!WriteBytes(wbase + L".sh", script)) return -1;
    std::string line = "/bin/sh " + base + ".sh";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string rc;
    bool done = WaitFor([&] { return ReadBytes(wbase + L".rc", rc) && !rc.empty(); }, timeoutMs);
    if (output) {
        output->clear();
        ReadBytes(wbase + L".out", *output);
    }
    DeleteFileW((wbase + L".sh").c_str());
    DeleteFileW((wbase + L".out").c_str());
    DeleteFileW((wbase + L".rc").c_str());
    return done ? atoi(rc.c_str()) : -1;
}

namespace {

// Wine's mount manager request that defines or (with no mount point) removes a drive.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
const DWORD kDefineUnixDrive =
    CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool DefineUnixDrive(wchar_t letter, const std::string* unixPath) {
    HANDLE mgr =
        CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE) return false;
    std::string buffer(sizeof(UnixDriveRequest), '\0');
    UnixDriveRequest request = {};
    request.type = DRIVE_FIXED;
    request.letter = wchar_t(towlower(letter));
    if (unixPath) {
        request.mountPointOffset = USHORT(buffer.size());
        buffer += *unixPath;
        buffer += '\0';
    }
    request.size = ULONG(buffer.size());
    memcpy(&buffer[0], &request, sizeof(request));
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(mgr, kDefineUnixDrive, &buffer[0], DWORD(buffer.size()), nullptr, 0,
                              &returned, nullptr);
    CloseHandle(mgr);
    return ok != 0;
}

} // namespace

bool MapWineDrive(wchar_t letter, const std::string& unixPath) {
    return DefineUnixDrive(letter, &unixPath);
}

bool UnmapWineDrive(wchar_t letter) {
    return DefineUnixDrive(letter, nullptr);
}

} // namespace td
