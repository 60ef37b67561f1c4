// The AVIFile services of avifil32.dll that TAMSEL and PURNIX call, bound by name at the
// first call. PURNIX writes through the ANSI entry points (the plain names resolve to
// them: the stream name field is ANSI); TAMSEL opens and saves through the wide ones, so
// that a name outside the code page cannot reach another file than the one it checked.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <vector>

namespace avi {

struct AviFileApi {
    void(WINAPI* FileInit)();
    void(WINAPI* FileExit)();
    ULONG(WINAPI* FileRelease)(PAVIFILE);
    ULONG(WINAPI* StreamRelease)(PAVISTREAM);
    // ANSI: "AVIFileOpen", "AVIFileCreateStream".
    HRESULT(WINAPI* FileOpen)(PAVIFILE*, LPCSTR, UINT, LPCLSID);
    HRESULT(WINAPI* FileCreateStream)(PAVIFILE, PAVISTREAM*, AVISTREAMINFOA*);
    HRESULT(WINAPI* StreamSetFormat)(PAVISTREAM, LONG, LPVOID, LONG);
    HRESULT(WINAPI* StreamWrite)(PAVISTREAM, LONG, LONG, LPVOID, LONG, DWORD, LONG*, LONG*);
    // Wide: "AVIFileOpenW", "AVISaveVW"; the stream's facts come from "AVIStreamInfoA".
    HRESULT(WINAPI* FileOpenW)(PAVIFILE*, LPCWSTR, UINT, LPCLSID);
    HRESULT(WINAPI* FileGetStream)(PAVIFILE, PAVISTREAM*, DWORD, LONG);
    HRESULT(WINAPI* StreamInfoA)(PAVISTREAM, AVISTREAMINFOA*, LONG);
    HRESULT(WINAPI* StreamReadFormat)(PAVISTREAM, LONG, LPVOID, LONG*);
    INT_PTR(WINAPI* SaveOptions)(HWND, UINT, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS*);
    HRESULT(WINAPI* SaveOptionsFree)(int, LPAVICOMPRESSOPTIONS*);
    HRESULT(WINAPI* SaveVW)
    (LPCWSTR, CLSID*, AVISAVECALLBACK, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS*);
};

// Loads avifil32.dll and binds every function; false (GetLastError tells why) when the
// library or one of its functions is missing.
bool bindAviFile(AviFileApi& api);

// The bound functions, or null when binding failed. The program's build binds the real
// library once; TAMSEL's counting test build gives its own table.
const AviFileApi* aviFile();

// The AVI file handler, so that an output's name or extension never picks another writer.
const CLSID& aviFileHandler();

// One use of the library: AVIFileInit at the start; at the end every stream and file handed
// to it is released once (streams first, each kind in the order given), then AVIFileExit.
class AviFileSession {
  public:
    explicit AviFileSession(const AviFileApi& api);
    ~AviFileSession();
    AviFileSession(const AviFileSession&) = delete;
    AviFileSession& operator=(const AviFileSession&) = delete;

    const AviFileApi& api() const { return api_; }
    void keep(PAVISTREAM stream);
    void keep(PAVIFILE file);

  private:
    const AviFileApi& api_;
    std::vector<PAVISTREAM> streams_;
    std::vector<PAVIFILE> files_;
};

} // namespace avi
