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
    CHECK(importSlotCount == 66);
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
    CHECK(SetTimeKeeper(0) == 1);
}

static void checkWindowedDrawing(void) {
    HWND window = CreateWindowExA(0, "STATIC", "importlib client", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  10, 10, 200, 150, NULL, NULL, GetModuleHandleA(NULL), NULL);
    long surface;
    CHECK(window != NULL);
    if (window == NULL) return;
    CHECK(ddInit(window, 64, 48, 0) == 1);
    CHECK(ddGetWidth(0) == 64);
    CHECK(ddGetHeight(0) == 48);
    surface = ddCreateSurface(16, 16);
    CHECK(surface != 0);
    CHECK(ddFillBlt(surface, 0, 0, 16, 16, 0) == 1);
    CHECK(ddSafeBltFast(0, -4, -4, 16, 16, 64, 48, surface, 0, 0, 16, 16, 0) == 1);
    CHECK(ddUpdateWindow(0) == 1);
    CHECK(ddReleaseSurface(surface) == 1);
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
