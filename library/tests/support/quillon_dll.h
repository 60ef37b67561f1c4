// Test access to Quillon.dll the way a VB program has it: LoadLibrary, then
// GetProcAddress by plain name into __stdcall pointers. Plus a window to draw into.
#pragma once

#include <windows.h>
#include <string>

#include "Quillon.h"

namespace library_test {

struct QuillonDll {
    HMODULE module = nullptr;
    decltype(&::ddInit) ddInit = nullptr;
    decltype(&::ddQuit) ddQuit = nullptr;
    decltype(&::ddSetBitDepth) ddSetBitDepth = nullptr;
    decltype(&::ddGetBitDepth) ddGetBitDepth = nullptr;
    decltype(&::ddError) ddError = nullptr;
    decltype(&::ddGetDD) ddGetDD = nullptr;
    decltype(&::ddGetPrimarySurface) ddGetPrimarySurface = nullptr;
    decltype(&::ddGetBackSurface) ddGetBackSurface = nullptr;
    decltype(&::ddIsModeX) ddIsModeX = nullptr;
    decltype(&::ddEnumDisplayModes) ddEnumDisplayModes = nullptr;
    decltype(&::GetBitsPixel) GetBitsPixel = nullptr;
    decltype(&::ddCanOverlay) ddCanOverlay = nullptr;
    decltype(&::ddCanWideSurface) ddCanWideSurface = nullptr;
    decltype(&::ddCreateSurface) ddCreateSurface = nullptr;
    decltype(&::ddReleaseSurface) ddReleaseSurface = nullptr;
    decltype(&::ddFlip) ddFlip = nullptr;
    decltype(&::ddUpdateWindow) ddUpdateWindow = nullptr;
    decltype(&::ddAsyncUpdateWindow) ddAsyncUpdateWindow = nullptr;
    decltype(&::ddGetWidth) ddGetWidth = nullptr;
    decltype(&::ddGetHeight) ddGetHeight = nullptr;
    decltype(&::ddGetPitch) ddGetPitch = nullptr;
    decltype(&::ddInVideoMemory) ddInVideoMemory = nullptr;
    decltype(&::ddGetDC) ddGetDC = nullptr;
    decltype(&::ddReleaseDC) ddReleaseDC = nullptr;
    decltype(&::ddWaitVBBegin) ddWaitVBBegin = nullptr;
    decltype(&::ddWaitVBEnd) ddWaitVBEnd = nullptr;
    decltype(&::ddBlt) ddBlt = nullptr;
    decltype(&::ddBitBlt) ddBitBlt = nullptr;
    decltype(&::ddSafeBitBlt) ddSafeBitBlt = nullptr;
    decltype(&::ddStretchBlt) ddStretchBlt = nullptr;
    decltype(&::ddBltFX) ddBltFX = nullptr;
    decltype(&::ddBltFast) ddBltFast = nullptr;
    decltype(&::ddSafeBltFast) ddSafeBltFast = nullptr;
    decltype(&::ddFillBlt) ddFillBlt = nullptr;
    decltype(&::ddSafeFillBlt) ddSafeFillBlt = nullptr;
    decltype(&::ddClear) ddClear = nullptr;
    decltype(&::ddCreatePalette) ddCreatePalette = nullptr;
    decltype(&::ddCreateDefPalette) ddCreateDefPalette = nullptr;
    decltype(&::ddCopyPalette) ddCopyPalette = nullptr;
    decltype(&::ddCopySystemPalette) ddCopySystemPalette = nullptr;
    decltype(&::ddCreatePaletteFromFile) ddCreatePaletteFromFile = nullptr;
    decltype(&::ddCreatePaletteFromResource) ddCreatePaletteFromResource = nullptr;
    decltype(&::ddSetPalette) ddSetPalette = nullptr;
    decltype(&::ddGetPalette) ddGetPalette = nullptr;
    decltype(&::ddReleasePalette) ddReleasePalette = nullptr;
    decltype(&::ddGetPaletteEntries) ddGetPaletteEntries = nullptr;
    decltype(&::ddSetPaletteEntries) ddSetPaletteEntries = nullptr;
    decltype(&::ddColor) ddColor = nullptr;
    decltype(&::ddColorEx) ddColorEx = nullptr;
    decltype(&::ddSetColorKey) ddSetColorKey = nullptr;
    decltype(&::ddGetColorKey) ddGetColorKey = nullptr;
    decltype(&::GetBitmapWidth) GetBitmapWidth = nullptr;
    decltype(&::GetBitmapHeight) GetBitmapHeight = nullptr;
    decltype(&::ddBitmapBlt) ddBitmapBlt = nullptr;
    decltype(&::ddCreateSurfaceFromBitmap) ddCreateSurfaceFromBitmap = nullptr;
    decltype(&::ddCreateSurfaceFromFile) ddCreateSurfaceFromFile = nullptr;
    decltype(&::ddCreateSurfaceFromResource) ddCreateSurfaceFromResource = nullptr;
    decltype(&::ddCreateSurfaceFromImage) ddCreateSurfaceFromImage = nullptr;
    decltype(&::ddCreateSurfaceFromImageData) ddCreateSurfaceFromImageData = nullptr;
    decltype(&::ddCreateAlphaSurfaceFromImage) ddCreateAlphaSurfaceFromImage = nullptr;
    decltype(&::ddCreateAlphaSurfaceFromImageData) ddCreateAlphaSurfaceFromImageData = nullptr;
    decltype(&::ddAlphaBlt) ddAlphaBlt = nullptr;
    decltype(&::ddSafeAlphaBlt) ddSafeAlphaBlt = nullptr;
    decltype(&::ddGetSurfaceImage) ddGetSurfaceImage = nullptr;
    decltype(&::ddGetSurfaceData) ddGetSurfaceData = nullptr;
    decltype(&::ddSetSurfaceData) ddSetSurfaceData = nullptr;
    decltype(&::ddGetSurfaceData2) ddGetSurfaceData2 = nullptr;
    decltype(&::ddSetSurfaceData2) ddSetSurfaceData2 = nullptr;
    decltype(&::ddGetSurfaceBitCount) ddGetSurfaceBitCount = nullptr;
    decltype(&::SetTimeKeeper) SetTimeKeeper = nullptr;
    decltype(&::IsTimeElapsed) IsTimeElapsed = nullptr;
    decltype(&::WaitTimeElapsed) WaitTimeElapsed = nullptr;
};

// Loads the DLL beside the test program once; every export must resolve by plain name.
const QuillonDll& dll();

// A visible top-level window (or child of `parent`) with the given client size.
HWND makeWindow(int clientWidth, int clientHeight, HWND parent = nullptr, int x = 100, int y = 100);

// Lets the window manager and the library's window procedures run.
void pump(int milliseconds = 0);

// What is on screen now (GetDC(NULL) + GetPixel), after pumping messages.
COLORREF screenPixel(int x, int y);

// The folder of the running test program, with a trailing backslash.
std::wstring programFolder();

// Saves the whole screen as a PNG under QUILLON_SHOTS (if set); returns its path.
std::wstring saveScreenshot(const wchar_t* name);

// Watches from its own thread for a message box (#32770) of this process, reads its text
// and caption and presses OK, the way a user would.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    // Stops watching (waits for the thread); true when a box was seen and closed.
    bool finish();
    std::wstring text, caption;
    int boxes = 0;

  private:
    static DWORD WINAPI run(void* self);
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
};

// Puts test functions in front of chosen methods of one real driver interface (a surface
// handle, say) by giving that object a copied method table; the object's own table comes
// back on destruction. Lets a test make the real driver answer what this driver never
// answers (a lost surface on Blt or GetDC, a busy driver) and count the calls.
// Never hook an interface that is passed as an argument to another driver call: the
// driver checks its arguments' method tables.
class MethodHook {
  public:
    explicit MethodHook(QHANDLE handle, int slots = 40);
    ~MethodHook();
    MethodHook(const MethodHook&) = delete;
    MethodHook& operator=(const MethodHook&) = delete;
    void replace(int slot, const void* fn);
    template <class Fn> Fn original(int slot) const { return reinterpret_cast<Fn>(saved_[slot]); }

  private:
    void** object_;
    void** saved_;
    void* table_[64];
};

// Method slots of IDirectDrawSurface3.
namespace surface_slot {
constexpr int Blt = 5, BltFast = 7, Flip = 11, GetDC = 17, IsLost = 24, Lock = 25, ReleaseDC = 26,
              Restore = 27;
}

#ifdef __i386__
// Calls a stdcall function with `count` 32-bit arguments and returns how many bytes of
// arguments were left on the stack after it returned (0 when the callee popped them).
// The function's own answer goes to *result. 32-bit only: x64 has one calling convention,
// in which the caller always removes the arguments, so there is nothing to measure.
unsigned long bytesLeftOnStack(const void* fn, const unsigned long* args, unsigned long count,
                               unsigned long* result);
#endif

} // namespace library_test
