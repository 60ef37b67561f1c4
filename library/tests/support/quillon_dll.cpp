#include "quillon_dll.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "testdriver/driver.h"

namespace library_test {

namespace {
template <class Fn> void loadInto(HMODULE m, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}
} // namespace

const QuillonDll& dll() {
    static QuillonDll d = [] {
        QuillonDll d;
        d.module = LoadLibraryW(L"Quillon.dll");
        auto load = [&](auto& fn, const char* name) {
            loadInto(d.module, fn, name);
            if (!fn) ADD_FAILURE() << "Quillon.dll does not export " << name;
        };
        if (!d.module) {
            ADD_FAILURE() << "Quillon.dll not found beside the test";
            return d;
        }
        load(d.ddInit, "ddInit");
        load(d.ddQuit, "ddQuit");
        load(d.ddSetBitDepth, "ddSetBitDepth");
        load(d.ddGetBitDepth, "ddGetBitDepth");
        load(d.ddError, "ddError");
        load(d.ddGetDD, "ddGetDD");
        load(d.ddGetPrimarySurface, "ddGetPrimarySurface");
        load(d.ddGetBackSurface, "ddGetBackSurface");
        load(d.ddIsModeX, "ddIsModeX");
        load(d.ddEnumDisplayModes, "ddEnumDisplayModes");
        load(d.GetBitsPixel, "GetBitsPixel");
        load(d.ddCanOverlay, "ddCanOverlay");
        load(d.ddCanWideSurface, "ddCanWideSurface");
        load(d.ddCreateSurface, "ddCreateSurface");
        load(d.ddReleaseSurface, "ddReleaseSurface");
        load(d.ddFlip, "ddFlip");
        load(d.ddUpdateWindow, "ddUpdateWindow");
        load(d.ddAsyncUpdateWindow, "ddAsyncUpdateWindow");
        load(d.ddGetWidth, "ddGetWidth");
        load(d.ddGetHeight, "ddGetHeight");
        load(d.ddGetPitch, "ddGetPitch");
        load(d.ddInVideoMemory, "ddInVideoMemory");
        load(d.ddGetDC, "ddGetDC");
        load(d.ddReleaseDC, "ddReleaseDC");
        load(d.ddWaitVBBegin, "ddWaitVBBegin");
        load(d.ddWaitVBEnd, "ddWaitVBEnd");
        load(d.ddBlt, "ddBlt");
        load(d.ddBitBlt, "ddBitBlt");
        load(d.ddSafeBitBlt, "ddSafeBitBlt");
        load(d.ddStretchBlt, "ddStretchBlt");
        load(d.ddBltFX, "ddBltFX");
        load(d.ddBltFast, "ddBltFast");
        load(d.ddSafeBltFast, "ddSafeBltFast");
        load(d.ddFillBlt, "ddFillBlt");
        load(d.ddSafeFillBlt, "ddSafeFillBlt");
        load(d.ddClear, "ddClear");
        load(d.ddCreatePalette, "ddCreatePalette");
        load(d.ddCreateDefPalette, "ddCreateDefPalette");
        load(d.ddCopyPalette, "ddCopyPalette");
        load(d.ddCopySystemPalette, "ddCopySystemPalette");
        load(d.ddCreatePaletteFromFile, "ddCreatePaletteFromFile");
        load(d.ddCreatePaletteFromResource, "ddCreatePaletteFromResource");
        load(d.ddSetPalette, "ddSetPalette");
        load(d.ddGetPalette, "ddGetPalette");
        load(d.ddReleasePalette, "ddReleasePalette");
        load(d.ddGetPaletteEntries, "ddGetPaletteEntries");
        load(d.ddSetPaletteEntries, "ddSetPaletteEntries");
        load(d.ddColor, "ddColor");
        load(d.ddColorEx, "ddColorEx");
        load(d.ddSetColorKey, "ddSetColorKey");
        load(d.ddGetColorKey, "ddGetColorKey");
        load(d.GetBitmapWidth, "GetBitmapWidth");
        load(d.GetBitmapHeight, "GetBitmapHeight");
        load(d.ddBitmapBlt, "ddBitmapBlt");
        load(d.ddCreateSurfaceFromBitmap, "ddCreateSurfaceFromBitmap");
        load(d.ddCreateSurfaceFromFile, "ddCreateSurfaceFromFile");
        load(d.ddCreateSurfaceFromResource, "ddCreateSurfaceFromResource");
        load(d.ddCreateSurfaceFromImage, "ddCreateSurfaceFromImage");
        load(d.ddCreateSurfaceFromImageData, "ddCreateSurfaceFromImageData");
        load(d.ddCreateAlphaSurfaceFromImage, "ddCreateAlphaSurfaceFromImage");
        load(d.ddCreateAlphaSurfaceFromImageData, "ddCreateAlphaSurfaceFromImageData");
        load(d.ddAlphaBlt, "ddAlphaBlt");
        load(d.ddSafeAlphaBlt, "ddSafeAlphaBlt");
        load(d.ddGetSurfaceImage, "ddGetSurfaceImage");
        load(d.ddGetSurfaceData, "ddGetSurfaceData");
        load(d.ddSetSurfaceData, "ddSetSurfaceData");
        load(d.ddGetSurfaceData2, "ddGetSurfaceData2");
        load(d.ddSetSurfaceData2, "ddSetSurfaceData2");
        load(d.ddGetSurfaceBitCount, "ddGetSurfaceBitCount");
        load(d.SetTimeKeeper, "SetTimeKeeper");
        load(d.IsTimeElapsed, "IsTimeElapsed");
        load(d.WaitTimeElapsed, "WaitTimeElapsed");
        return d;
    }();
    return d;
}

static LRESULT CALLBACK plainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

HWND makeWindow(int clientWidth, int clientHeight, HWND parent, int x, int y) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = plainWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"QuillonTestWindow";
        RegisterClassW(&wc);
        registered = true;
    }
    DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, style, FALSE);
    HWND w =
        CreateWindowExW(0, L"QuillonTestWindow", L"Quillon test", style, x, y, r.right - r.left,
                        r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    pump(50);
    return w;
}

void pump(int milliseconds) {
    DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (milliseconds) Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

COLORREF screenPixel(int x, int y) {
    pump();
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::wstring saveScreenshot(const wchar_t* name) {
    pump(50);
    // Screenshot names are plain ASCII.
    std::string png = td::screenshot(std::string(name, name + wcslen(name)));
    return std::wstring(png.begin(), png.end());
}

MessageBoxWatcher::MessageBoxWatcher() {
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    finish();
}

bool MessageBoxWatcher::finish() {
    if (thread_) {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return boxes > 0;
}

namespace {
struct BoxSearch {
    DWORD process;
    HWND box;
};
BOOL CALLBACK findBox(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (pid == s->process && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(w)) {
        s->box = w;
        return FALSE;
    }
    return TRUE;
}
} // namespace

DWORD WINAPI MessageBoxWatcher::run(void* p) {
    auto* self = static_cast<MessageBoxWatcher*>(p);
    // Keeps watching until told to stop, so a second box would be counted too.
    while (!self->stop_) {
        BoxSearch s = {GetCurrentProcessId(), nullptr};
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&s));
        if (s.box) {
            wchar_t buf[512] = {};
            GetDlgItemTextW(s.box, 0xFFFF, buf, 512);
            self->text = buf;
            GetWindowTextW(s.box, buf, 512);
            self->caption = buf;
            ++self->boxes;
            PostMessageW(GetDlgItem(s.box, IDOK), BM_CLICK, 0, 0);
            for (int i = 0; i < 200 && IsWindow(s.box); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
    return 0;
}

MethodHook::MethodHook(QHANDLE handle, int slots) {
    object_ = reinterpret_cast<void**>(handle);
    saved_ = static_cast<void**>(*object_);
    for (int i = 0; i < slots && i < 64; ++i)
        table_[i] = saved_[i];
    *object_ = table_;
}

MethodHook::~MethodHook() {
    *object_ = saved_;
}

void MethodHook::replace(int slot, const void* fn) {
    table_[slot] = const_cast<void*>(fn);
}

#ifdef __i386__
unsigned long bytesLeftOnStack(const void* fn, const unsigned long* args, unsigned long count,
                               unsigned long* result) {
    unsigned long left = count, answer = 0;
    // Push the arguments right to left, call, and measure the stack pointer; then put it
    // back whatever the callee did.
    asm volatile("movl %%esp, %%edi\n\t"
                 "1:\n\t"
                 "testl %%ecx, %%ecx\n\t"
                 "jz 2f\n\t"
                 "pushl -4(%%esi,%%ecx,4)\n\t"
                 "decl %%ecx\n\t"
                 "jmp 1b\n"
                 "2:\n\t"
                 "call *%%ebx\n\t"
                 "movl %%edi, %%ecx\n\t"
                 "subl %%esp, %%ecx\n\t"
                 "movl %%edi, %%esp\n\t"
                 : "+c"(left), "=a"(answer)
                 : "b"(fn), "S"(args)
                 : "edx", "edi", "memory", "cc");
    if (result) *result = answer;
    return left;
}
#endif

} // namespace library_test
