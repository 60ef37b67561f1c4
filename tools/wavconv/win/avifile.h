// The AVIFile services of avifil32.dll, bound by name at the first call (the ANSI entry
// points: the plain names resolve to them).
#pragma once

#include <windows.h>
#include <vfw.h>

namespace wavconv {

struct AviFileApi {
    void(WINAPI* AVIFileInit)();
    void(WINAPI* AVIFileExit)();
    HRESULT(WINAPI* AVIFileOpen)(PAVIFILE*, LPCSTR, UINT, LPCLSID);
    HRESULT(WINAPI* AVIFileCreateStream)(PAVIFILE, PAVISTREAM*, AVISTREAMINFOA*);
    HRESULT(WINAPI* AVIStreamSetFormat)(PAVISTREAM, LONG, LPVOID, LONG);
    HRESULT(WINAPI* AVIStreamWrite)(PAVISTREAM, LONG, LONG, LPVOID, LONG, DWORD, LONG*, LONG*);
    ULONG(WINAPI* AVIStreamRelease)(PAVISTREAM);
    ULONG(WINAPI* AVIFileRelease)(PAVIFILE);
};

// The bound functions, or null (GetLastError tells why) when the library or one of its
// functions is missing.
const AviFileApi* aviFile();

// The AVI file handler, so that the output's extension never picks another writer.
const CLSID& aviFileHandler();

} // namespace wavconv
