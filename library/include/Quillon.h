/* Quillon.dll: handle-based DirectDraw for games written in Visual Basic and C.
 *
 * Every export is __stdcall under its plain name. In the 32-bit DLL every argument is one
 * 32-bit slot; the 64-bit DLL (same names, same arguments) uses the one x64 convention.
 * Handles are QHANDLE: surface and palette handles are the addresses of the driver's own
 * interfaces (IDirectDrawSurface3 / IDirectDrawPalette), device contexts are HDCs; 0 means
 * none. Operations return 1 on success and 0 on failure; ddError() tells the driver's
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

/* The one handle type: surfaces, palettes, device contexts and the driver object. It is
 * pointer-sized: on Win32 the same type as long (VB: Long), on Win64 a 64-bit integer
 * (VBA7: LongPtr). Keep handles in it; a long would cut a 64-bit handle short. */
typedef LONG_PTR QHANDLE;

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
QHANDLE QUILLON_API ddGetDD(void);
QHANDLE QUILLON_API ddGetPrimarySurface(void);
QHANDLE QUILLON_API ddGetBackSurface(void);
long QUILLON_API ddIsModeX(void);
/* Stores width, height, bits per pixel per mode; never more than 3 * maxModes integers.
 * maxModes < 1: returns 0 and writes nothing. */
long QUILLON_API ddEnumDisplayModes(long* modes, long maxModes);
long QUILLON_API GetBitsPixel(void);
long QUILLON_API ddCanOverlay(long emulation); /* low 16 bits: 0 = hardware driver */
/* Reports DDCAPS2_WIDESURFACES (0x1000 of dwCaps2), not the dwCaps bit of that value. */
long QUILLON_API ddCanWideSurface(long emulation); /* low 16 bits: 0 = hardware driver */

/* Surfaces and presentation (surface 0 = the back surface) */
/* width and height 1 or more, at most 128M pixels in all; else 0. */
QHANDLE QUILLON_API ddCreateSurface(long width, long height);
long QUILLON_API ddReleaseSurface(QHANDLE surface); /* 0 for the primary or back surface */
long QUILLON_API ddFlip(void); /* full-screen only; windowed callers use ddUpdateWindow */
long QUILLON_API ddUpdateWindow(QHANDLE source);
long QUILLON_API ddAsyncUpdateWindow(QHANDLE source);
long QUILLON_API ddGetWidth(QHANDLE surface);
long QUILLON_API ddGetHeight(QHANDLE surface);
long QUILLON_API ddGetPitch(QHANDLE surface);
long QUILLON_API ddInVideoMemory(QHANDLE surface);
QHANDLE QUILLON_API ddGetDC(QHANDLE surface);
long QUILLON_API ddReleaseDC(QHANDLE surface, QHANDLE hdc);
long QUILLON_API ddWaitVBBegin(void);
long QUILLON_API ddWaitVBEnd(void);

/* Blits and fills (dest 0 = the back surface; colors are pixel values) */
long QUILLON_API ddBlt(QHANDLE dest, const RECT* destRect, QHANDLE src, const RECT* srcRect,
                       long colorKey);
long QUILLON_API ddBitBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                          long srcX, long srcY, long colorKey);
long QUILLON_API ddSafeBitBlt(QHANDLE dest, long x, long y, long width, long height,
                              long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                              long srcLimitX, long srcLimitY, long colorKey);
long QUILLON_API ddStretchBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                              long srcX, long srcY, long srcWidth, long srcHeight, long colorKey);
long QUILLON_API ddBltFX(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                         long srcX, long srcY, long srcWidth, long srcHeight, long rop, long fx);
long QUILLON_API ddBltFast(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                           long srcX, long srcY, long colorKey);
long QUILLON_API ddSafeBltFast(QHANDLE dest, long x, long y, long width, long height,
                               long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                               long srcLimitX, long srcLimitY, long colorKey);
long QUILLON_API ddFillBlt(QHANDLE surface, long x, long y, long width, long height, long color);
long QUILLON_API ddSafeFillBlt(QHANDLE surface, long x, long y, long width, long height,
                               long limitX, long limitY, long color);
long QUILLON_API ddClear(QHANDLE surface, long color);

/* Palettes (256 entries of red, green, blue, flags; surface 0 = the primary surface) */
QHANDLE QUILLON_API ddCreatePalette(const PALETTEENTRY* entries);
QHANDLE QUILLON_API ddCreateDefPalette(void);
QHANDLE QUILLON_API ddCopyPalette(HPALETTE gdiPalette);
QHANDLE QUILLON_API ddCopySystemPalette(void);
/* Colour table over the default palette; a missing or short file leaves the default. */
QHANDLE QUILLON_API ddCreatePaletteFromFile(const char* path);
QHANDLE QUILLON_API ddCreatePaletteFromResource(HINSTANCE module, const char* name);
long QUILLON_API ddSetPalette(QHANDLE surface, QHANDLE palette);
/* The handle ddGetPalette returns carries a reference of its own: release it too. */
QHANDLE QUILLON_API ddGetPalette(QHANDLE surface);
long QUILLON_API ddReleasePalette(QHANDLE palette); /* 1 only when no reference remains */
/* first < 0, count < 0 or first + count > 256: 0, the driver is not called. */
long QUILLON_API ddGetPaletteEntries(QHANDLE palette, long first, long count,
                                     PALETTEENTRY* entries);
long QUILLON_API ddSetPaletteEntries(QHANDLE palette, long first, long count,
                                     const PALETTEENTRY* entries);

/* Colours and colour keys (RGB as 0x00BBGGRR; surface 0 = the primary surface) */
long QUILLON_API ddColor(long rgb);
long QUILLON_API ddColorEx(long rgb, QHANDLE surface);
long QUILLON_API ddSetColorKey(QHANDLE surface, long key); /* key < 0: the pixel at (0,0) */
long QUILLON_API ddGetColorKey(QHANDLE surface);

/* Bitmaps, pictures and raw pixels (surface 0 = the back surface) */
long QUILLON_API GetBitmapWidth(HBITMAP bitmap);
long QUILLON_API GetBitmapHeight(HBITMAP bitmap);
long QUILLON_API ddBitmapBlt(QHANDLE surface, long x, long y, long width, long height,
                             HBITMAP bitmap, long srcX, long srcY);
QHANDLE QUILLON_API ddCreateSurfaceFromBitmap(HBITMAP bitmap);
/* A file shorter than its headers promise is refused (0) rather than loaded. */
QHANDLE QUILLON_API ddCreateSurfaceFromFile(const char* path);
QHANDLE QUILLON_API ddCreateSurfaceFromResource(HINSTANCE module, const char* name);
/* Any image the platform's imaging component decodes (PNG, JPEG, GIF, BMP, TIFF, ICO), its
 * first frame. Transparent images: pixels of alpha below 128 are left out by keyed blits,
 * all others drawn opaque; the key is a colour no opaque pixel has. Opaque images: keyed on
 * the top-left pixel, as ddCreateSurfaceFromFile. */
QHANDLE QUILLON_API ddCreateSurfaceFromImage(const char* path);
/* The same from an image file's bytes in memory (byteCount > 0); the bytes stay yours. */
QHANDLE QUILLON_API ddCreateSurfaceFromImageData(const void* data, long byteCount);
/* Alpha surfaces: the image's first frame with each pixel's alpha (32 bits: blue, green,
 * red, straight alpha); an image without alpha loads opaque. Draw them with ddAlphaBlt. */
QHANDLE QUILLON_API ddCreateAlphaSurfaceFromImage(const char* path);
QHANDLE QUILLON_API ddCreateAlphaSurfaceFromImageData(const void* data, long byteCount);
/* pictureSlot: address of a variable holding one picture reference (a VB StdPicture). */
long QUILLON_API ddGetSurfaceImage(void* pictureSlot, QHANDLE surface, long srcX, long srcY,
                                   long width, long height);
/* Raw copies refuse (0, nothing copied) a negative offset or count, or
 * offset + count > pitch * height of the locked surface. */
long QUILLON_API ddGetSurfaceData(void* buffer, long count, QHANDLE surface);
long QUILLON_API ddSetSurfaceData(const void* buffer, long count, QHANDLE surface);
long QUILLON_API ddGetSurfaceData2(void* buffer, long count, QHANDLE surface, long offset);
long QUILLON_API ddSetSurfaceData2(const void* buffer, long count, QHANDLE surface, long offset);
long QUILLON_API ddGetSurfaceBitCount(void);

/* Translucent blits (dest 0 = the back surface; opacity 0..255, clamped). An alpha surface
 * as source: each pixel at alpha x opacity / 255; a surface of dest's format: every pixel
 * at opacity, its colour-keyed pixels left out. 32-, 24- and 16-bit destinations; 8-bit,
 * alpha-surface, windowed-primary and same-surface destinations refuse with 0.
 * ddAlphaBlt: 0 unless the rectangle lies inside both surfaces. ddSafeAlphaBlt clips as
 * ddSafeBltFast, never past the surfaces' sizes (a limit of 0 = the size). */
long QUILLON_API ddAlphaBlt(QHANDLE dest, long x, long y, long width, long height, QHANDLE src,
                            long srcX, long srcY, long opacity);
long QUILLON_API ddSafeAlphaBlt(QHANDLE dest, long x, long y, long width, long height,
                                long destLimitX, long destLimitY, QHANDLE src, long srcX, long srcY,
                                long srcLimitX, long srcLimitY, long opacity);

/* Frame timer */
long QUILLON_API SetTimeKeeper(long interval);
long QUILLON_API IsTimeElapsed(void);
long QUILLON_API WaitTimeElapsed(void);

#ifdef __cplusplus
}
#endif

#endif
