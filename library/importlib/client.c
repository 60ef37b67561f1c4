/* A plain C caller that links against libQuillon.dll.a instead of loading the DLL:
 * the loader must bind every import to the DLL's export of the same plain name, and the
 * calls must work as for any caller. Prints FAIL lines and exits non-zero on a fault. */
#include <stdio.h>

#include "Quillon.h"
#include "import_table.h"

static int failures;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond);                                 \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static void checkImportsBoundByPlainName(void) {
    HMODULE dll = GetModuleHandleA("Quillon.dll");
    int i;
    CHECK(dll != NULL);
    if (dll == NULL) return;
    CHECK(importSlotCount == 72);
    for (i = 0; i < importSlotCount; ++i) {
        FARPROC exported = GetProcAddress(dll, importSlots[i].name);
        if (exported == NULL || (void*)exported != *importSlots[i].slot) {
            printf("FAIL import %s is not bound to the DLL's export of that name\n",
                   importSlots[i].name);
            ++failures;
        }
    }
}

static void checkCallsWithoutDisplayContext(void) {
    CHECK(ddGetDD() == 0);
    CHECK(ddGetBackSurface() == 0);
    CHECK(ddCreateSurface(8, 8) == 0);
    CHECK(ddSetBitDepth(16) == 1);
    CHECK(ddGetBitDepth() == 16);
    CHECK(ddSetBitDepth(15) == 1);
    CHECK(ddGetBitDepth() == 8);
    CHECK(GetBitmapWidth(NULL) == 0);
    CHECK(ddCreateSurfaceFromImage("ball.png") == 0);
    CHECK(SetTimeKeeper(0) == 1);
}

/* What the window shows at client point (x, y), read from the screen. */
static COLORREF screenPixel(HWND window, int x, int y) {
    POINT at = {x, y};
    HDC screen = GetDC(NULL);
    COLORREF color;
    ClientToScreen(window, &at);
    color = GetPixel(screen, at.x, at.y);
    ReleaseDC(NULL, screen);
    return color;
}

static void pumpMessages(void) {
    MSG msg;
    int round;
    for (round = 0; round < 20; ++round) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

/* Saves the window's client area as a BMP, then as PNG through ImageMagick (the test
 * run's screenshot folder is in QUILLON_SHOTS). */
static void saveScreenshot(HWND window, const char* name) {
    char folder[MAX_PATH], bmpPath[MAX_PATH], command[3 * MAX_PATH];
    RECT client;
    HDC screen, memory;
    HBITMAP bitmap;
    BITMAPINFOHEADER info;
    BITMAPFILEHEADER file;
    POINT origin = {0, 0};
    DWORD bytes, written;
    void* bits;
    HANDLE out;
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    if (!GetEnvironmentVariableA("QUILLON_SHOTS", folder, MAX_PATH)) return;
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    ZeroMemory(&info, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = client.right;
    info.biHeight = client.bottom;
    info.biPlanes = 1;
    info.biBitCount = 24;
    bytes = (DWORD)(((client.right * 3 + 3) & ~3) * client.bottom);
    screen = GetDC(NULL);
    memory = CreateCompatibleDC(screen);
    bitmap = CreateDIBSection(screen, (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, NULL, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    snprintf(bmpPath, sizeof bmpPath, "Z:%s/%s.bmp", folder, name);
    out = CreateFileA(bmpPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (out != INVALID_HANDLE_VALUE) {
        ZeroMemory(&file, sizeof file);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + bytes;
        WriteFile(out, &file, sizeof file, &written, NULL);
        WriteFile(out, &info, sizeof info, &written, NULL);
        WriteFile(out, bits, bytes, &written, NULL);
        CloseHandle(out);
        snprintf(command, sizeof command,
                 "/bin/sh -c \"convert '%s/%s.bmp' '%s/%s.png' && rm -f '%s/%s.bmp'\"", folder,
                 name, folder, name, folder, name);
        ZeroMemory(&startup, sizeof startup);
        startup.cb = sizeof startup;
        if (CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
            WaitForSingleObject(process.hProcess, 10000);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(NULL, screen);
}

/* The sprite sheet of the VB sample (the working folder): magenta is its key. Its ball
 * (a PNG with transparency) has an opaque magenta ring: the key moves to another colour. */
static void checkWindowedDrawing(void) {
    WNDCLASSA type;
    HWND window;
    QHANDLE sheet, ball;
    long blue;
    /* A window that paints nothing itself: the library repaints it with the last frame. */
    ZeroMemory(&type, sizeof type);
    type.lpfnWndProc = DefWindowProcA;
    type.hInstance = GetModuleHandleA(NULL);
    type.lpszClassName = "QuillonClient";
    RegisterClassA(&type);
    window =
        CreateWindowExA(0, "QuillonClient", "importlib client", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        10, 10, 240, 160, NULL, NULL, GetModuleHandleA(NULL), NULL);
    CHECK(window != NULL);
    if (window == NULL) return;
    CHECK(ddInit(window, 160, 64, 0) == 1);
    CHECK(ddGetWidth(0) == 160);
    CHECK(ddGetHeight(0) == 64);
    sheet = ddCreateSurfaceFromFile("sprites.bmp");
    CHECK(sheet != 0);
    ball = ddCreateSurfaceFromImage("ball.png");
    CHECK(ball != 0);
    blue = ddColorEx(RGB(0, 0, 255), ddGetBackSurface());
    CHECK(blue != -1);
    CHECK(ddClear(0, blue) == 1);
    /* Keyed and clipped: the sheet hangs 16 pixels over the left edge. */
    CHECK(ddSafeBltFast(0, -16, 16, 128, 32, 160, 64, sheet, 0, 0, 128, 32, 1) == 1);
    CHECK(ddBltFast(0, 128, 16, 32, 32, ball, 0, 0, 1) == 1);
    pumpMessages(); /* let the window settle before the frame is shown */
    CHECK(ddUpdateWindow(0) == 1);
    pumpMessages();
    /* Key colour left out: the blue shows through at the sheet's magenta corner. */
    CHECK(screenPixel(window, 0, 16) == RGB(0, 0, 255));
    /* The red diamond's centre (sheet x 48) lands at x 32. */
    CHECK(screenPixel(window, 32, 32) == RGB(255, 0, 0));
    /* Nothing above the sheet was drawn over. */
    CHECK(screenPixel(window, 32, 8) == RGB(0, 0, 255));
    /* The ball's transparent corner is left out, its magenta ring drawn. */
    CHECK(screenPixel(window, 128, 16) == RGB(0, 0, 255));
    CHECK(screenPixel(window, 128 + 21, 32) == RGB(255, 0, 255));
    saveScreenshot(window, "importlib_client");
    CHECK(ddReleaseSurface(ball) == 1);
    CHECK(ddReleaseSurface(sheet) == 1);
    CHECK(ddQuit() == 1);
    CHECK(ddGetDD() == 0);
    DestroyWindow(window);
}

int main(void) {
    checkImportsBoundByPlainName();
    checkCallsWithoutDisplayContext();
    checkWindowedDrawing();
    printf("%s: %d failure(s)\n", failures ? "FAIL" : "ok", failures);
    return failures ? 1 : 0;
}
