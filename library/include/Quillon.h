/* Quillon.dll: handle-based DirectDraw for games written in Visual Basic and C.
 *
 * Every export is __stdcall under its plain name; every argument is one 32-bit slot.
 * Surface and palette handles are the addresses of the driver's own interfaces
 * (IDirectDrawSurface3 / IDirectDrawPalette) as 32-bit integers; 0 means none.
 * Operations return 1 on success and 0 on failure; ddError() tells the driver's
 * error number of the last recorded driver call.
 *
 * Link with libQuillon.dll.a, or load the DLL and use GetProcAddress by plain name.
 */
#ifndef QUILLON_H
#define QUILLON_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QUILLON_API __stdcall

/* Display context, queries and error number */
/* flags (low three bits): 0 windowed on `window` (its client area becomes width x height),
 * 1 full-screen width x height x ddGetBitDepth(), 2 or 3 full-screen with Mode X modes
 * allowed, + 4 lets the reboot keys through in full-screen. 0 when a context is already
 * open or window is not a window; a failing driver step shows "Error in <step>". */
long QUILLON_API ddInit(HWND window, long width, long height, long flags);
long QUILLON_API ddQuit(void); /* always 1; gives the window back (size, not position) */
long QUILLON_API ddSetBitDepth(long bits); /* low 16 bits: 16, 24, 32, else 8 */
long QUILLON_API ddGetBitDepth(void);
long QUILLON_API ddError(void);
long QUILLON_API ddGetDD(void);
long QUILLON_API ddGetPrimarySurface(void);
long QUILLON_API ddGetBackSurface(void);
long QUILLON_API ddIsModeX(void);
/* Stores width, height, bits per pixel per mode; never more than 3 * maxModes integers.
 * maxModes < 1: returns 0 and writes nothing. */
long QUILLON_API ddEnumDisplayModes(long* modes, long maxModes);
long QUILLON_API GetBitsPixel(void);
long QUILLON_API ddCanOverlay(long emulation);     /* low 16 bits: 0 = hardware driver */
/* Reports DDCAPS2_WIDESURFACES (0x1000 of dwCaps2), not the dwCaps bit of that value. */
long QUILLON_API ddCanWideSurface(long emulation); /* low 16 bits: 0 = hardware driver */

/* Surfaces and presentation (surface 0 = the back surface) */
/* width and height 1 or more, at most 128M pixels in all; else 0. */
long QUILLON_API ddCreateSurface(long width, long height);
long QUILLON_API ddReleaseSurface(long surface); /* 0 for the primary or back surface */
long QUILLON_API ddFlip(void); /* full-screen only; windowed callers use ddUpdateWindow */
long QUILLON_API ddUpdateWindow(long source);
long QUILLON_API ddAsyncUpdateWindow(long source);
long QUILLON_API ddGetWidth(long surface);
long QUILLON_API ddGetHeight(long surface);
long QUILLON_API ddGetPitch(long surface);
long QUILLON_API ddInVideoMemory(long surface);
long QUILLON_API ddGetDC(long surface);
long QUILLON_API ddReleaseDC(long surface, long hdc);
long QUILLON_API ddWaitVBBegin(void);
long QUILLON_API ddWaitVBEnd(void);

/* Blits and fills (dest 0 = the back surface; colors are pixel values) */
long QUILLON_API ddBlt(long dest, const RECT* destRect, long src, const RECT* srcRect,
                       long colorKey);
long QUILLON_API ddBitBlt(long dest, long x, long y, long width, long height, long src,
                          long srcX, long srcY, long colorKey);
long QUILLON_API ddSafeBitBlt(long dest, long x, long y, long width, long height,
                              long destLimitX, long destLimitY, long src, long srcX, long srcY,
                              long srcLimitX, long srcLimitY, long colorKey);
long QUILLON_API ddStretchBlt(long dest, long x, long y, long width, long height, long src,
                              long srcX, long srcY, long srcWidth, long srcHeight,
                              long colorKey);
long QUILLON_API ddBltFX(long dest, long x, long y, long width, long height, long src,
                         long srcX, long srcY, long srcWidth, long srcHeight, long rop,
                         long fx);
long QUILLON_API ddBltFast(long dest, long x, long y, long width, long height, long src,
                           long srcX, long srcY, long colorKey);
long QUILLON_API ddSafeBltFast(long dest, long x, long y, long width, long height,
                               long destLimitX, long destLimitY, long src, long srcX,
                               long srcY, long srcLimitX, long srcLimitY, long colorKey);
long QUILLON_API ddFillBlt(long surface, long x, long y, long width, long height, long color);
long QUILLON_API ddSafeFillBlt(long surface, long x, long y, long width, long height,
                               long limitX, long limitY, long color);
long QUILLON_API ddClear(long surface, long color);

/* Palettes (256 entries of red, green, blue, flags; surface 0 = the primary surface) */
long QUILLON_API ddCreatePalette(const PALETTEENTRY* entries);
long QUILLON_API ddCreateDefPalette(void);
long QUILLON_API ddCopyPalette(HPALETTE gdiPalette);
long QUILLON_API ddCopySystemPalette(void);
/* Colour table over the default palette; a missing or short file leaves the default. */
long QUILLON_API ddCreatePaletteFromFile(const char* path);
long QUILLON_API ddCreatePaletteFromResource(HINSTANCE module, const char* name);
long QUILLON_API ddSetPalette(long surface, long palette);
/* The handle ddGetPalette returns carries a reference of its own: release it too. */
long QUILLON_API ddGetPalette(long surface);
long QUILLON_API ddReleasePalette(long palette); /* 1 only when no reference remains */
/* first < 0, count < 0 or first + count > 256: 0, the driver is not called. */
long QUILLON_API ddGetPaletteEntries(long palette, long first, long count,
                                     PALETTEENTRY* entries);
long QUILLON_API ddSetPaletteEntries(long palette, long first, long count,
                                     const PALETTEENTRY* entries);

/* Colours and colour keys (RGB as 0x00BBGGRR; surface 0 = the primary surface) */
long QUILLON_API ddColor(long rgb);
long QUILLON_API ddColorEx(long rgb, long surface);
long QUILLON_API ddSetColorKey(long surface, long key); /* key < 0: the pixel at (0,0) */
long QUILLON_API ddGetColorKey(long surface);

/* Bitmaps, pictures and raw pixels (surface 0 = the back surface) */
long QUILLON_API GetBitmapWidth(HBITMAP bitmap);
long QUILLON_API GetBitmapHeight(HBITMAP bitmap);
long QUILLON_API ddBitmapBlt(long surface, long x, long y, long width, long height,
                             HBITMAP bitmap, long srcX, long srcY);
long QUILLON_API ddCreateSurfaceFromBitmap(HBITMAP bitmap);
/* A file shorter than its headers promise is refused (0) rather than loaded. */
long QUILLON_API ddCreateSurfaceFromFile(const char* path);
long QUILLON_API ddCreateSurfaceFromResource(HINSTANCE module, const char* name);
/* pictureSlot: address of a variable holding one picture reference (a VB StdPicture). */
long QUILLON_API ddGetSurfaceImage(void* pictureSlot, long surface, long srcX, long srcY,
                                   long width, long height);
/* Raw copies refuse (0, nothing copied) a negative offset or count, or
 * offset + count > pitch * height of the locked surface. */
long QUILLON_API ddGetSurfaceData(void* buffer, long count, long surface);
long QUILLON_API ddSetSurfaceData(const void* buffer, long count, long surface);
long QUILLON_API ddGetSurfaceData2(void* buffer, long count, long surface, long offset);
long QUILLON_API ddSetSurfaceData2(const void* buffer, long count, long surface, long offset);
long QUILLON_API ddGetSurfaceBitCount(void);

/* Frame timer */
long QUILLON_API SetTimeKeeper(long interval);
long QUILLON_API IsTimeElapsed(void);
long QUILLON_API WaitTimeElapsed(void);

#ifdef __cplusplus
}
#endif

#endif
