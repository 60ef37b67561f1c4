// Wine and Unix: Unix paths of Windows ones and back, Unix scripts started and commands run
// to the end, and drive letters mapped through Wine's mount manager.

#include "driver_internal.h"

#include <winioctl.h>

#include <cstring>

#include <algorithm>

namespace td {

std::string unixPath(const std::wstring& windowsPath) {
    std::wstring p = windowsPath;
    if (p.size() >= 2 && (p[0] == L'Z' || p[0] == L'z') && p[1] == L':') p = p.substr(2);
    std::replace(p.begin(), p.end(), L'\\', L'/');
    return narrow(p);
}

std::wstring windowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + widen(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::string startUnixScript(const std::function<std::string(const std::string&)>& body) {
    static int counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string script = "/tmp/td-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++counter) + ".sh";
        std::wstring path = windowsPath(script);
        common::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return "";
        }
        std::string text = body(script);
        DWORD done = 0;
        bool written = WriteFile(file.get(), text.data(), DWORD(text.size()), &done, nullptr) &&
                       done == text.size();
        file.reset();
        std::string line = "/bin/sh " + script;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (written && CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi)) {
            // Not waited for. Wine starts a Unix program without a Windows process, answers
            // TRUE and leaves whatever its stack held in `pi` (seen: thread 0x0086f304,
            // process 0, id 13): closing those values closed other handles of this test.
            return script;
        }
        DeleteFileW(path.c_str());
        return "";
    }
    return "";
}

int runUnix(const std::string& command, std::string* output, DWORD timeoutMs) {
    // The exit code of a Unix process does not come back through Wine: the script records
    // it in a file that we wait for.
    std::string script = startUnixScript([&](const std::string& base) {
        return "( " + command + " ) > " + base + ".out 2>&1\necho $? > " + base + ".rc.tmp\nmv " +
               base + ".rc.tmp " + base + ".rc\n";
    });
    if (script.empty()) return -1;
    std::wstring base = windowsPath(script);
    std::string rc;
    bool done = waitFor([&] { return readBytes(base + L".rc", rc) && !rc.empty(); }, timeoutMs);
    if (output) {
        output->clear();
        readBytes(base + L".out", *output);
    }
    // The script's own file last: while it is there, no other run takes its name.
    DeleteFileW((base + L".out").c_str());
    DeleteFileW((base + L".rc").c_str());
    DeleteFileW(base.c_str());
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

bool defineUnixDrive(wchar_t letter, const std::string* unixPath) {
    common::UniqueFile mgr(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!mgr) return false;
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
    return DeviceIoControl(mgr.get(), kDefineUnixDrive, &buffer[0], DWORD(buffer.size()), nullptr,
                           0, &returned, nullptr) != 0;
}

} // namespace

bool mapWineDrive(wchar_t letter, const std::string& unixPath) {
    return defineUnixDrive(letter, &unixPath);
}

bool unmapWineDrive(wchar_t letter) {
    return defineUnixDrive(letter, nullptr);
}

} // namespace td
