// A surface handle that stands in front of a real driver surface and answers chosen calls
// with chosen result codes (a lost surface, a busy driver) before it lets them through.
// Wine's Blt, BltFast, GetDC and colour-key calls never report a lost surface, so this is
// how the tests see the library's restore-and-retry. Every call the library makes on a
// surface is logged with the proxy's name; whatever is not scripted reaches the real one.
// A palette handle can stand in front of a real palette the same way. Either can be built
// anywhere in memory (placement new), above 4 GB for instance.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "Quillon.h"

#include <deque>
#include <string>
#include <vector>

namespace library_test {

// Passes every call to the real palette, reference counts included, and logs each with its
// name.
class PaletteProxy final : public IDirectDrawPalette {
  public:
    PaletteProxy(IDirectDrawPalette* real, std::string name, std::vector<std::string>& log)
        : real_(real), name_(std::move(name)), log_(log) {}

    QHANDLE handle() { return reinterpret_cast<QHANDLE>(this); }

    // The real palette behind a proxy, or the palette itself when it is none.
    static IDirectDrawPalette* unwrap(IDirectDrawPalette* p) {
        static std::vector<std::string> unused;
        static PaletteProxy sample(nullptr, "", unused);
        if (p && *reinterpret_cast<void* const*>(p) == *reinterpret_cast<void* const*>(&sample))
            return static_cast<PaletteProxy*>(p)->real_;
        return p;
    }

    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        return real_->QueryInterface(riid, out);
    }
    STDMETHOD_(ULONG, AddRef)() override {
        note("AddRef");
        return real_->AddRef();
    }
    STDMETHOD_(ULONG, Release)() override {
        note("Release");
        return real_->Release();
    }
    STDMETHOD(GetCaps)(LPDWORD caps) override { return real_->GetCaps(caps); }
    STDMETHOD(GetEntries)(DWORD f, DWORD first, DWORD count, LPPALETTEENTRY e) override {
        note("GetEntries");
        return real_->GetEntries(f, first, count, e);
    }
    STDMETHOD(Initialize)(LPDIRECTDRAW dd, DWORD f, LPPALETTEENTRY e) override {
        return real_->Initialize(dd, f, e);
    }
    STDMETHOD(SetEntries)(DWORD f, DWORD first, DWORD count, LPPALETTEENTRY e) override {
        note("SetEntries");
        return real_->SetEntries(f, first, count, e);
    }

  private:
    void note(const char* call) { log_.push_back(call + (" " + name_)); }

    IDirectDrawPalette* real_;
    std::string name_;
    std::vector<std::string>& log_;
};

class SurfaceProxy final : public IDirectDrawSurface3 {
  public:
    SurfaceProxy(IDirectDrawSurface3* real, std::string name, std::vector<std::string>& log)
        : real_(real), name_(std::move(name)), log_(log) {}

    QHANDLE handle() { return reinterpret_cast<QHANDLE>(this); }

    // Answers given instead of the real call, in order; DD_OK in the list, or a list used
    // up, lets the call through to the real surface.
    std::deque<HRESULT> blt, bltFast, getDC, setColorKey, getColorKey, lock;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        return real_->QueryInterface(riid, out);
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    // Counted, not logged; the real surface stays.
    STDMETHOD_(ULONG, Release)() override {
        ++releases;
        return 1;
    }
    int releases = 0;

    // What the library calls.
    STDMETHOD(Blt)(LPRECT d, LPDIRECTDRAWSURFACE3 s, LPRECT r, DWORD f, LPDDBLTFX fx) override {
        note("Blt");
        if (HRESULT hr = next(blt)) return hr;
        return real_->Blt(d, unwrap(s), r, f, fx);
    }
    STDMETHOD(BltFast)(DWORD x, DWORD y, LPDIRECTDRAWSURFACE3 s, LPRECT r, DWORD f) override {
        note("BltFast");
        if (HRESULT hr = next(bltFast)) return hr;
        return real_->BltFast(x, y, unwrap(s), r, f);
    }
    STDMETHOD(Restore)() override {
        note("Restore");
        return real_->Restore();
    }
    STDMETHOD(GetDC)(HDC* dc) override {
        note("GetDC");
        if (HRESULT hr = next(getDC)) return hr;
        return real_->GetDC(dc);
    }
    STDMETHOD(ReleaseDC)(HDC dc) override { return real_->ReleaseDC(dc); }
    STDMETHOD(SetColorKey)(DWORD f, LPDDCOLORKEY k) override {
        note("SetColorKey");
        if (HRESULT hr = next(setColorKey)) return hr;
        return real_->SetColorKey(f, k);
    }
    STDMETHOD(GetColorKey)(DWORD f, LPDDCOLORKEY k) override {
        note("GetColorKey");
        if (HRESULT hr = next(getColorKey)) return hr;
        return real_->GetColorKey(f, k);
    }
    STDMETHOD(Lock)(LPRECT r, LPDDSURFACEDESC d, DWORD f, HANDLE e) override {
        note("Lock");
        if (HRESULT hr = next(lock)) return hr;
        return real_->Lock(r, d, f, e);
    }
    STDMETHOD(Unlock)(LPVOID p) override { return real_->Unlock(p); }
    STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC d) override { return real_->GetSurfaceDesc(d); }
    STDMETHOD(IsLost)() override { return real_->IsLost(); }
    // The real surface is handed the real palette behind a palette proxy.
    STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE p) override {
        note("SetPalette");
        return real_->SetPalette(PaletteProxy::unwrap(p));
    }
    STDMETHOD(GetPalette)(LPDIRECTDRAWPALETTE* p) override {
        note("GetPalette");
        return real_->GetPalette(p);
    }

    // The rest is never called by the exports.
    STDMETHOD(AddAttachedSurface)(LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(AddOverlayDirtyRect)(LPRECT) override { return E_NOTIMPL; }
    STDMETHOD(BltBatch)(LPDDBLTBATCH, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(DeleteAttachedSurface)(DWORD, LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(EnumAttachedSurfaces)(LPVOID, LPDDENUMSURFACESCALLBACK) override { return E_NOTIMPL; }
    STDMETHOD(EnumOverlayZOrders)(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE3, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS, LPDIRECTDRAWSURFACE3*) override { return E_NOTIMPL; }
    STDMETHOD(GetBltStatus)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetCaps)(LPDDSCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetClipper)(LPDIRECTDRAWCLIPPER*) override { return E_NOTIMPL; }
    STDMETHOD(GetFlipStatus)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetOverlayPosition)(LPLONG, LPLONG) override { return E_NOTIMPL; }
    STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(LPDIRECTDRAW, LPDDSURFACEDESC) override { return E_NOTIMPL; }
    STDMETHOD(SetClipper)(LPDIRECTDRAWCLIPPER) override { return E_NOTIMPL; }
    STDMETHOD(SetOverlayPosition)(LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(UpdateOverlay)(LPRECT, LPDIRECTDRAWSURFACE3, LPRECT, DWORD, LPDDOVERLAYFX) override {
        return E_NOTIMPL;
    }
    STDMETHOD(UpdateOverlayDisplay)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(UpdateOverlayZOrder)(DWORD, LPDIRECTDRAWSURFACE3) override { return E_NOTIMPL; }
    STDMETHOD(GetDDInterface)(LPVOID*) override { return E_NOTIMPL; }
    STDMETHOD(PageLock)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(PageUnlock)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetSurfaceDesc)(LPDDSURFACEDESC, DWORD) override { return E_NOTIMPL; }

  private:
    void note(const char* call) { log_.push_back(call + (" " + name_)); }
    static HRESULT next(std::deque<HRESULT>& answers) {
        if (answers.empty()) return DD_OK;
        HRESULT hr = answers.front();
        answers.pop_front();
        return hr;
    }
    // The real driver only knows its own surfaces: hand it the one behind a proxy.
    IDirectDrawSurface3* unwrap(IDirectDrawSurface3* s) const {
        if (s && *reinterpret_cast<void* const*>(s) == *reinterpret_cast<void* const*>(this))
            return static_cast<SurfaceProxy*>(s)->real_;
        return s;
    }

    IDirectDrawSurface3* real_;
    std::string name_;
    std::vector<std::string>& log_;
};

} // namespace library_test
