// The AVIFile functions the compression run calls, bound by name from "avifil32.dll"
// at the first call. Paths go through the wide entry points: an ANSI copy of a name
// outside the code page can name another file than the one the checks examined.
#pragma once

#include <windows.h>
#include <vfw.h>

namespace compositor {

struct AviFileApi {
    void(WINAPI* FileInit)();
    void(WINAPI* FileExit)();
    HRESULT(WINAPI* FileOpenW)(PAVIFILE*, LPCWSTR, UINT, LPCLSID);
    HRESULT(WINAPI* FileGetStream)(PAVIFILE, PAVISTREAM*, DWORD, LONG);
    ULONG(WINAPI* FileRelease)(PAVIFILE);
    ULONG(WINAPI* StreamRelease)(PAVISTREAM);
    HRESULT(WINAPI* StreamInfoA)(PAVISTREAM, AVISTREAMINFOA*, LONG);
    HRESULT(WINAPI* StreamReadFormat)(PAVISTREAM, LONG, LPVOID, LONG*);
    INT_PTR(WINAPI* SaveOptions)(HWND, UINT, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS*);
    HRESULT(WINAPI* SaveOptionsFree)(int, LPAVICOMPRESSOPTIONS*);
    HRESULT(WINAPI* SaveVW)
    (LPCWSTR, CLSID*, AVISAVECALLBACK, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS*);
};

// The bound functions, or nullptr when the library or one of its functions is missing.
const AviFileApi* avifileApi();

} // namespace compositor
