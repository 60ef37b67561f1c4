// Owning types for Windows handles, shared by the library, the programs and the test driver:
// each frees or gives back what it holds when its scope ends, on every path out of it.
// Header-only, so the library links against nothing of the programs'.
#pragma once

#include <windows.h>

namespace common {

// One handle, freed when its owner goes; `Traits` names the empty value and the release.
template <class Traits> class Owned {
  public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    explicit operator bool() const { return handle_ != Traits::empty(); }
    Handle get() const { return handle_; }
    // Hands the handle on; the owner is left empty.
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::empty();
        return handle;
    }
    void reset(Handle handle = Traits::empty()) {
        if (*this) Traits::free(handle_);
        handle_ = handle;
    }
    // Frees what is held and gives the place a call that hands out a handle writes it to.
    // Only for calls that write the empty value, or nothing, when they fail.
    Handle* put() {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Traits::empty();
};

// Kernel handles: files and snapshots are INVALID_HANDLE_VALUE when missing, processes,
// threads and file mappings null.
struct FileTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void free(Handle file) { CloseHandle(file); }
};
struct HandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void free(Handle handle) { CloseHandle(handle); }
};
// A search of FindFirstFile.
struct FindTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void free(Handle search) { FindClose(search); }
};
// A view of MapViewOfFile.
struct MappedViewTraits {
    using Handle = void*;
    static Handle empty() { return nullptr; }
    static void free(Handle view) { UnmapViewOfFile(view); }
};
// Memory the system allocated for the caller with LocalAlloc (FormatMessage's buffer).
template <class Element> struct LocalMemoryTraits {
    using Handle = Element*;
    static Handle empty() { return nullptr; }
    static void free(Handle memory) { LocalFree(memory); }
};
// A block of GlobalAlloc memory kept locked and known by its address, as GlobalAllocPtr and
// GlobalFreePtr keep it: for blocks a system call may reallocate or free that way.
struct GlobalPointerTraits {
    using Handle = void*;
    static Handle empty() { return nullptr; }
    static void free(Handle pointer) {
        HGLOBAL block = GlobalHandle(pointer);
        GlobalUnlock(block);
        GlobalFree(block);
    }
};
template <class Object> struct GdiObjectTraits {
    using Handle = Object;
    static Handle empty() { return nullptr; }
    static void free(Handle object) { DeleteObject(object); }
};
struct MemoryDCTraits {
    using Handle = HDC;
    static Handle empty() { return nullptr; }
    static void free(Handle dc) { DeleteDC(dc); }
};
template <class Interface> struct ComTraits {
    using Handle = Interface*;
    static Handle empty() { return nullptr; }
    static void free(Handle object) { object->Release(); }
};

using UniqueFile = Owned<FileTraits>;
using UniqueHandle = Owned<HandleTraits>;
using FindHandle = Owned<FindTraits>;
using MappedView = Owned<MappedViewTraits>;
template <class Element> using LocalMemory = Owned<LocalMemoryTraits<Element>>;
using GlobalPointer = Owned<GlobalPointerTraits>;
template <class Object> using GdiObject = Owned<GdiObjectTraits<Object>>;
// A device context of CreateCompatibleDC.
using MemoryDC = Owned<MemoryDCTraits>;
// One reference to a COM object.
template <class Interface> using ComRef = Owned<ComTraits<Interface>>;

// Calls a method that hands out an interface through its last argument, and takes it: the
// reference is kept only when the call succeeds, and a success without one is E_POINTER.
template <class Interface, class Call> HRESULT take(ComRef<Interface>& ref, Call call) {
    Interface* raw = nullptr;
    HRESULT hr = call(&raw);
    ref.reset(SUCCEEDED(hr) ? raw : nullptr);
    if (SUCCEEDED(hr) && !raw) return E_POINTER;
    return hr;
}

// A window's device context (the whole screen's for a null window), given back when the
// scope ends.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context; the one it replaced goes back when the scope
// ends. Declared after the device context's owner, it is put back before that lets go.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), former_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, former_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ former_;
};

// A DirectDraw surface locked for the length of a scope: `description` receives the memory
// and format; unlocked when the scope ends. Empty when the lock is refused.
template <class Surface> class SurfaceLock {
  public:
    template <class Description>
    SurfaceLock(Surface* surface, Description& description, DWORD flags)
        : surface_(surface->Lock(nullptr, &description, flags, nullptr) == S_OK ? surface
                                                                                : nullptr) {}
    ~SurfaceLock() {
        if (surface_) surface_->Unlock(nullptr);
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    explicit operator bool() const { return surface_ != nullptr; }

  private:
    Surface* surface_;
};

} // namespace common
