// Display context: opening and closing it, the window procedures that keep windowed
// presentation on target, and the small queries about the context and the hardware.
#include <algorithm>
#include <string>
#include <vector>

#include "display_rules.h"
#include "internal.h"

using namespace quillon;

static_assert(sizeof(DDCAPS) == 380, "capability record must be 380 bytes");

namespace {

// Whether ddInit hid the cursor, so that ddQuit shows it exactly once again and a failed
// full-screen set-up does not show it a second time.
bool g_cursorHidden = false;

void fillClientScreenRect(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    POINT topLeft = {r.left, r.top}, bottomRight = {r.right, r.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    g_ctx.clientScreen = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

long reportSetupError(const char* stepText) {
    ddQuit();
    std::string text = std::string("Error in ") + stepText;
    MessageBoxA(nullptr, text.c_str(), "Quillon.Dll", MB_SETFOREGROUND);
    return 0;
}

WNDPROC swapWindowProc(HWND window, WNDPROC proc) {
    SetLastError(0);
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

WNDPROC currentWindowProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// A procedure of the library put in front of a window's own. Another subclasser may put its
// own in front of ours after ddInit and keep calling ours after ddQuit: the link then stays
// (inactive) and ours keeps passing messages to the procedure it replaced.
struct ProcLink {
    HWND window;
    WNDPROC ours;
    WNDPROC saved;
    bool active;
};
std::vector<ProcLink> g_links;

std::vector<ProcLink>::iterator findLink(HWND window, WNDPROC ours) {
    return std::find_if(g_links.begin(), g_links.end(), [&](const ProcLink& link) {
        return link.window == window && link.ours == ours;
    });
}

// Asks whether `ours` is still in the window's chain: only our procedure answers this
// message, and only for itself (wParam names it). No platform call walks a chain.
UINT probeMessage() {
    static const UINT message = RegisterWindowMessageA("Quillon.WindowProcProbe");
    return message;
}
constexpr LRESULT kProbeAnswer = 0x51C1;

bool stillChained(HWND window, WNDPROC ours) {
    return SendMessageA(window, probeMessage(), reinterpret_cast<WPARAM>(ours), 0) == kProbeAnswer;
}

// Still in the chain from an earlier context: neither chained twice nor the saved procedure
// overwritten (it would now be someone's that calls ours). A subclasser before ours that
// unhooked by writing back what it had saved has dropped ours: that link is stale.
void chainWindowProc(HWND window, WNDPROC ours) {
    auto link = findLink(window, ours);
    if (link != g_links.end()) {
        if (stillChained(window, ours)) {
            link->active = true;
            return;
        }
        g_links.erase(link);
    }
    pinLibrary();
    if (WNDPROC saved = swapWindowProc(window, ours))
        g_links.push_back({window, ours, saved, true});
}

// The saved procedure goes back only while ours is the window's current one; putting it back
// under a later subclasser would drop that subclasser.
void unchainWindowProc(std::vector<ProcLink>::iterator link) {
    link->active = false;
    if (currentWindowProc(link->window) != link->ours) return;
    swapWindowProc(link->window, link->saved);
    g_links.erase(link);
}

void unchainWindowProc(HWND window, WNDPROC ours) {
    auto link = findLink(window, ours);
    if (link != g_links.end()) unchainWindowProc(link);
}

// Runs `serve` while the link belongs to the open context, then passes the message on to
// the procedure ours replaced (never a null one).
template <class Serve>
LRESULT forwardMessage(WNDPROC ours, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       Serve serve) {
    if (message == probeMessage() && wParam == reinterpret_cast<WPARAM>(ours)) return kProbeAnswer;
    auto link = findLink(window, ours);
    WNDPROC next = link != g_links.end() ? link->saved : nullptr;
    if (link != g_links.end()) {
        if (message == WM_NCDESTROY)
            g_links.erase(link); // the handle may come back as another window
        else if (link->active && contextOpen())
            serve();
        else
            unchainWindowProc(link); // the later subclasser has let go: leave the chain
    }
    return next ? CallWindowProcA(next, window, message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return forwardMessage(DisplayWindowProc, window, message, wParam, lParam, [&] {
        if (message == WM_MOVE) fillClientScreenRect(window);
        if (message == WM_PAINT && g_ctx.repaintSource)
            ddUpdateWindow(asHandle(g_ctx.repaintSource));
    });
}

LRESULT CALLBACK ParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return forwardMessage(ParentWindowProc, window, message, wParam, lParam, [&] {
        if (message == WM_MOVE) fillClientScreenRect(g_ctx.window);
    });
}

// The driver object of both modes: DirectDrawCreate, then its IDirectDraw2 (the first
// interface goes either way). Returns the text of the failing step, or nullptr.
const char* createDriver() {
    IDirectDraw* created = nullptr;
    if (record(DirectDrawCreate(nullptr, &created, nullptr)) != DD_OK) return "DirectDraw Create";
    ComRef<IDirectDraw> first(created);
    HRESULT hr = record(
        first.get()->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&g_ctx.driver)));
    if (hr != DD_OK) {
        g_ctx.driver = nullptr;
        return "DirectDraw2 Create";
    }
    return nullptr;
}

long initFullScreen(HWND window, long width, long height, long flags) {
    ShowWindow(window, SW_SHOWMAXIMIZED);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);

    if (const char* failed = createDriver()) return reportSetupError(failed);
    if (record(g_ctx.driver->SetCooperativeLevel(window, cooperativeLevel(flags))) != DD_OK)
        return reportSetupError("SetCooperativeLevel");
    if (record(g_ctx.driver->SetDisplayMode(width, height, g_ctx.bitDepth, 0, 0)) != DD_OK)
        return reportSetupError("SetDisplayMode\nTry 640 x 480; 8 bits");
    g_ctx.displayModeChanged = 1;

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    if (record(createSurface3(desc, &g_ctx.primary)) != DD_OK)
        return reportSetupError("CreatePrimarySurface");

    DDSCAPS caps = {};
    if (g_ctx.primary->GetCaps(&caps) == DD_OK && (caps.dwCaps & DDSCAPS_MODEX)) g_ctx.modeX = 1;

    DDSCAPS backCaps = {DDSCAPS_BACKBUFFER};
    if (record(g_ctx.primary->GetAttachedSurface(&backCaps, &g_ctx.back)) != DD_OK) {
        g_ctx.back = nullptr;
        return reportSetupError("GetBackSurface");
    }

    EnableWindow(window, FALSE);
    ShowCursor(FALSE);
    g_cursorHidden = true;
    return 1;
}

long initWindowed(HWND window, long width, long height) {
    RECT client = {};
    g_ctx.savedWindowRect = {};
    GetWindowRect(window, &g_ctx.savedWindowRect);
    GetClientRect(window, &client);
    const RECT& saved = g_ctx.savedWindowRect;
    Size outer = windowSizeForClient(width, height, saved.right - saved.left,
                                     saved.bottom - saved.top, client.right, client.bottom);
    SetWindowPos(window, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE | SWP_NOZORDER);
    fillClientScreenRect(window);

    if (const char* failed = createDriver()) return reportSetupError(failed);
    if (record(g_ctx.driver->SetCooperativeLevel(window, DDSCL_NORMAL)) != DD_OK)
        return reportSetupError("SetCooperativeLevel");

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (record(createSurface3(desc, &g_ctx.primary)) != DD_OK)
        return reportSetupError("CreatePrimarySurface");

    // A size the driver cannot back is refused here the way the driver should refuse it.
    if (!surfaceSizeAllowed(width, height)) {
        record(DDERR_INVALIDPARAMS);
        return reportSetupError("CreateBackSurface");
    }
    desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (record(createSurface3(desc, &g_ctx.back)) != DD_OK)
        return reportSetupError("CreateBackSurface");

    if (record(g_ctx.driver->CreateClipper(0, &g_ctx.clipper, nullptr)) != DD_OK) {
        g_ctx.clipper = nullptr;
        return reportSetupError("CreateClipper");
    }
    if (record(g_ctx.clipper->SetHWnd(0, window)) != DD_OK)
        return reportSetupError("SetClipper WindowHandle");
    if (record(g_ctx.primary->SetClipper(g_ctx.clipper)) != DD_OK)
        return reportSetupError("Attach Clipper");

    chainWindowProc(window, DisplayWindowProc);
    g_ctx.parent = GetParent(window);
    if (g_ctx.parent) chainWindowProc(g_ctx.parent, ParentWindowProc);
    g_ctx.fullScreen = 0;
    return 1;
}

// Given back whether GetCaps answered; fills the chosen slot only.
bool readCaps(long emulation, DDCAPS& caps) {
    if (!contextOpen()) return false;
    caps = {};
    caps.dwSize = sizeof caps;
    bool hardware = (emulation & 0xFFFF) == 0;
    return g_ctx.driver->GetCaps(hardware ? &caps : nullptr, hardware ? nullptr : &caps) == DD_OK;
}

HRESULT WINAPI EnumModesCallback(LPDDSURFACEDESC desc, LPVOID context) {
    auto* list = static_cast<ModeListContext*>(context);
    bool goOn = appendMode(*list, static_cast<std::int32_t>(desc->dwWidth),
                           static_cast<std::int32_t>(desc->dwHeight),
                           static_cast<std::int32_t>(desc->ddpfPixelFormat.dwRGBBitCount));
    return goOn ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

} // namespace

long QUILLON_API ddInit(HWND window, long width, long height, long flags) {
    g_ctx.lastResult = 0;
    // A handle that is no window is refused like window 0: this driver would otherwise open
    // a context on it that presents nowhere and gives nothing back.
    if (contextOpen() || !window || !IsWindow(window)) return 0;

    g_ctx.window = window;
    g_ctx.displayModeChanged = 0;
    g_ctx.modeX = 0;
    g_ctx.fullScreen = isFullScreen(flags) ? 1 : 0;
    if (g_ctx.fullScreen) return initFullScreen(window, width, height, flags);
    return initWindowed(window, width, height);
}

long QUILLON_API ddQuit(void) {
    if (g_ctx.driver) g_ctx.driver->FlipToGDISurface();
    if (g_ctx.primary) {
        g_ctx.primary->Release();
        g_ctx.primary = nullptr;
    }
    if (g_ctx.back) {
        // A full-screen back buffer belongs to the primary surface's flipping chain.
        if (!g_ctx.fullScreen) g_ctx.back->Release();
        g_ctx.back = nullptr;
    }
    g_ctx.repaintSource = nullptr;
    if (g_ctx.clipper) {
        // Released before the driver object it was made from.
        g_ctx.clipper->Release();
        g_ctx.clipper = nullptr;
    }
    if (g_ctx.driver) {
        if (g_ctx.displayModeChanged) {
            g_ctx.driver->RestoreDisplayMode();
            g_ctx.displayModeChanged = 0;
        }
        g_ctx.driver->Release();
        g_ctx.driver = nullptr;
    }

    HWND window = g_ctx.window;
    if (window && g_ctx.fullScreen) {
        EnableWindow(window, TRUE);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        ShowWindow(window, SW_RESTORE);
        if (g_cursorHidden) ShowCursor(TRUE);
        g_cursorHidden = false;
    } else if (window) {
        unchainWindowProc(window, DisplayWindowProc);
        if (g_ctx.parent) unchainWindowProc(g_ctx.parent, ParentWindowProc);
        const RECT& saved = g_ctx.savedWindowRect;
        SetWindowPos(window, nullptr, 0, 0, saved.right - saved.left, saved.bottom - saved.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        InvalidateRect(window, nullptr, TRUE);
    }
    g_ctx.window = nullptr;
    g_ctx.parent = nullptr;
    return 1;
}

long QUILLON_API ddSetBitDepth(long bits) {
    g_ctx.bitDepth = bitDepthFor(bits);
    return 1;
}

long QUILLON_API ddGetBitDepth(void) {
    return g_ctx.bitDepth;
}

long QUILLON_API ddError(void) {
    return static_cast<long>(static_cast<DWORD>(g_ctx.lastResult) & 0xFFFF);
}

QHANDLE QUILLON_API ddGetDD(void) {
    return asHandle(g_ctx.driver);
}

QHANDLE QUILLON_API ddGetPrimarySurface(void) {
    return asHandle(g_ctx.primary);
}

QHANDLE QUILLON_API ddGetBackSurface(void) {
    return asHandle(g_ctx.back);
}

long QUILLON_API ddIsModeX(void) {
    return g_ctx.modeX;
}

long QUILLON_API ddEnumDisplayModes(long* modes, long maxModes) {
    if (!contextOpen()) return 0;
    ModeListContext list = makeModeList(reinterpret_cast<std::int32_t*>(modes), maxModes);
    // No room, nothing to store: the array is not touched.
    if (list.capacity == 0 || !modes) return 0;
    if (g_ctx.driver->EnumDisplayModes(0, nullptr, &list, EnumModesCallback) != DD_OK) return 0;
    return list.count / 3;
}

long QUILLON_API GetBitsPixel(void) {
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), BITSPIXEL);
}

long QUILLON_API ddCanOverlay(long emulation) {
    DDCAPS caps;
    if (!readCaps(emulation, caps)) return 0;
    return (caps.dwCaps & DDCAPS_OVERLAY) ? 1 : 0;
}

long QUILLON_API ddCanWideSurface(long emulation) {
    DDCAPS caps;
    if (!readCaps(emulation, caps)) return 0;
    return (caps.dwCaps2 & DDCAPS2_WIDESURFACES) ? 1 : 0;
}
