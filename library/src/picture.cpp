// The system's picture object frees its bitmap when it owns it, but whether it frees the
// palette too differs between systems. The library hands out this thin object around it
// instead: every call goes to the system's picture, and when the last reference to the
// object is gone, whatever GDI object is still alive is deleted here, so neither is leaked
// nor deleted twice. No interface of the system's picture reaches the caller: persistence
// and connection points are answered by parts of this object (its identity, its lifetime),
// and so is every connection point handed out through them.
#include "picture.h"

#include <memory>
#include <new>
#include <vector>

#include <olectl.h>

#include "internal.h"

namespace quillon {

namespace {

void deleteIfAlive(HGDIOBJ object, DWORD type) {
    if (object && GetObjectType(object) == type) DeleteObject(object);
}

template <class T> void releaseInto(T*& p, ULONG& left) {
    if (p) left = p->Release();
    p = nullptr;
}

// QueryInterface of an object that is nobody's part: it answers IUnknown and its own
// interface, both as itself.
template <class Interface> HRESULT answerOnly(Interface* self, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(Interface)) return E_NOINTERFACE;
    *out = self;
    self->AddRef();
    return S_OK;
}

class OwningPicture final : public IPictureDisp, public IPicture {
  public:
    OwningPicture(IPictureDisp* disp, IPicture* picture, HBITMAP bitmap, HPALETTE palette)
        : disp_(disp), picture_(picture), bitmap_(bitmap), palette_(palette) {}

    // Releases the system's picture; once nothing else holds it, frees what it left.
    static void finish(IPictureDisp* disp, IPicture* picture, HBITMAP bitmap, HPALETTE palette) {
        ULONG left = 0;
        releaseInto(picture, left);
        releaseInto(disp, left);
        if (left != 0) return; // still held elsewhere: it frees the bitmap when that goes
        deleteIfAlive(bitmap, OBJ_BITMAP);
        deleteIfAlive(palette, OBJ_PAL);
    }

    // IUnknown: one identity for every interface answered, and nothing else answered.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPictureDisp) {
            *out = static_cast<IPictureDisp*>(this);
        } else if (iid == IID_IPicture) {
            *out = static_cast<IPicture*>(this);
        } else if (iid == IID_IPersist || iid == IID_IPersistStream) {
            if (!persist_.attach(disp_)) return E_NOINTERFACE;
            *out = static_cast<IPersistStream*>(&persist_);
        } else if (iid == IID_IConnectionPointContainer) {
            if (!container_.attach(disp_)) return E_NOINTERFACE;
            *out = static_cast<IConnectionPointContainer*>(&container_);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return disp_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return disp_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return disp_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                                     UINT* argError) override {
        return disp_->Invoke(id, iid, locale, flags, params, result, error, argError);
    }

    // IPicture
    HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* handle) override {
        return picture_->get_Handle(handle);
    }
    HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* palette) override {
        return picture_->get_hPal(palette);
    }
    HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) override { return picture_->get_Type(type); }
    HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* width) override {
        return picture_->get_Width(width);
    }
    HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* height) override {
        return picture_->get_Height(height);
    }
    HRESULT STDMETHODCALLTYPE Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy,
                                     OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                                     OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                     LPCRECT bounds) override {
        return picture_->Render(dc, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, bounds);
    }
    HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE palette) override {
        return picture_->set_hPal(palette);
    }
    HRESULT STDMETHODCALLTYPE get_CurDC(HDC* dc) override { return picture_->get_CurDC(dc); }
    HRESULT STDMETHODCALLTYPE SelectPicture(HDC dcIn, HDC* dcOut, OLE_HANDLE* bitmapOut) override {
        return picture_->SelectPicture(dcIn, dcOut, bitmapOut);
    }
    HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(WINBOOL* keep) override {
        return picture_->get_KeepOriginalFormat(keep);
    }
    HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(WINBOOL keep) override {
        return picture_->put_KeepOriginalFormat(keep);
    }
    HRESULT STDMETHODCALLTYPE PictureChanged() override { return picture_->PictureChanged(); }
    HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM stream, WINBOOL saveCopy, LONG* size) override {
        return picture_->SaveAsFile(stream, saveCopy, size);
    }
    HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* attributes) override {
        return picture_->get_Attributes(attributes);
    }

  private:
    // A part of the picture that answers one of the system's other interfaces: its
    // IUnknown is the picture's, and so is its reference count.
    template <class Interface> class Part : public Interface {
      public:
        explicit Part(OwningPicture& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            return owner_.QueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

        // Fetches the system's interface on first use; false when it has none.
        bool attach(IUnknown* system) {
            if (!inner_ && system->QueryInterface(__uuidof(Interface),
                                                  reinterpret_cast<void**>(&inner_)) != S_OK)
                inner_ = nullptr;
            return inner_ != nullptr;
        }
        void detach(ULONG& left) { releaseInto(inner_, left); }

      protected:
        OwningPicture& owner_;
        Interface* inner_ = nullptr;
    };

    class PersistStream final : public Part<IPersistStream> {
      public:
        using Part::Part;
        HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override { return inner_->GetClassID(id); }
        HRESULT STDMETHODCALLTYPE IsDirty() override { return inner_->IsDirty(); }
        HRESULT STDMETHODCALLTYPE Load(IStream* stream) override { return inner_->Load(stream); }
        HRESULT STDMETHODCALLTYPE Save(IStream* stream, WINBOOL clearDirty) override {
            return inner_->Save(stream, clearDirty);
        }
        HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
            return inner_->GetSizeMax(size);
        }
    };

    // One of the system's connection points, handed out as the picture's: its container is
    // the picture's container. Lives as long as the picture.
    class ConnectionPoint final : public IConnectionPoint {
      public:
        ConnectionPoint(OwningPicture& owner, IConnectionPoint* inner)
            : owner_(owner), inner_(inner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            return answerOnly(static_cast<IConnectionPoint*>(this), iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
        HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
            return inner_->GetConnectionInterface(iid);
        }
        HRESULT STDMETHODCALLTYPE
        GetConnectionPointContainer(IConnectionPointContainer** out) override {
            if (!out) return E_POINTER;
            *out = nullptr;
            return owner_.QueryInterface(IID_IConnectionPointContainer,
                                         reinterpret_cast<void**>(out));
        }
        HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
            return inner_->Advise(sink, cookie);
        }
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
            return inner_->Unadvise(cookie);
        }
        HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
            return inner_->EnumConnections(out);
        }
        IConnectionPoint* inner() const { return inner_; }
        void detach(ULONG& left) { releaseInto(inner_, left); }

      private:
        OwningPicture& owner_;
        IConnectionPoint* inner_;
    };

    // Takes over one reference to a system connection point and gives back a reference to
    // the picture's own for it (one per system point, so it keeps its identity), or nullptr
    // with the reference dropped when there is no memory for it.
    IConnectionPoint* adopt(IConnectionPoint* inner) {
        for (auto& point : points_) {
            if (point->inner() != inner) continue;
            inner->Release();
            point->AddRef();
            return point.get();
        }
        std::unique_ptr<ConnectionPoint> point(new (std::nothrow) ConnectionPoint(*this, inner));
        if (!point) {
            inner->Release();
            return nullptr;
        }
        points_.push_back(std::move(point));
        points_.back()->AddRef();
        return points_.back().get();
    }

    // The system's enumeration of connection points, giving out the picture's own points.
    class PointEnum final : public IEnumConnectionPoints {
      public:
        PointEnum(OwningPicture& owner, IEnumConnectionPoints* inner)
            : owner_(owner), inner_(inner) {
            owner_.AddRef();
        }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            return answerOnly(static_cast<IEnumConnectionPoints*>(this), iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override {
            return static_cast<ULONG>(InterlockedIncrement(&refs_));
        }
        ULONG STDMETHODCALLTYPE Release() override {
            LONG left = InterlockedDecrement(&refs_);
            if (left == 0) {
                inner_->Release();
                owner_.Release();
                delete this;
            }
            return static_cast<ULONG>(left);
        }
        HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points,
                                       ULONG* fetched) override {
            if (!points) return E_POINTER;
            ULONG got = 0;
            HRESULT hr = inner_->Next(count, points, &got);
            if (FAILED(hr)) return hr;
            for (ULONG i = 0; i < got; ++i) {
                points[i] = owner_.adopt(points[i]);
                if (!points[i]) {
                    for (ULONG j = 0; j < i; ++j)
                        points[j]->Release();
                    for (ULONG j = i + 1; j < got; ++j)
                        points[j]->Release();
                    if (fetched) *fetched = 0;
                    return E_OUTOFMEMORY;
                }
            }
            if (fetched) *fetched = got;
            return hr;
        }
        HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return inner_->Skip(count); }
        HRESULT STDMETHODCALLTYPE Reset() override { return inner_->Reset(); }
        HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override {
            return owner_.wrapEnum(
                out, [&](IEnumConnectionPoints** copy) { return inner_->Clone(copy); });
        }

      private:
        ~PointEnum() = default;
        LONG refs_ = 1;
        OwningPicture& owner_;
        IEnumConnectionPoints* inner_;
    };

    // Gives out the picture's enumeration around the one `make` gets from the system.
    template <class Make> HRESULT wrapEnum(IEnumConnectionPoints** out, Make make) {
        if (!out) return E_POINTER;
        *out = nullptr;
        IEnumConnectionPoints* inner = nullptr;
        HRESULT hr = make(&inner);
        if (FAILED(hr)) return hr;
        if (!inner) return E_UNEXPECTED;
        PointEnum* wrapped = new (std::nothrow) PointEnum(*this, inner);
        if (!wrapped) {
            inner->Release();
            return E_OUTOFMEMORY;
        }
        *out = wrapped;
        return S_OK;
    }

    class Container final : public Part<IConnectionPointContainer> {
      public:
        using Part::Part;
        HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
            return owner_.wrapEnum(out, [&](IEnumConnectionPoints** points) {
                return inner_->EnumConnectionPoints(points);
            });
        }
        HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
            if (!out) return E_POINTER;
            *out = nullptr;
            IConnectionPoint* inner = nullptr;
            HRESULT hr = inner_->FindConnectionPoint(iid, &inner);
            if (FAILED(hr)) return hr;
            if (!inner) return E_UNEXPECTED;
            *out = owner_.adopt(inner);
            return *out ? hr : E_OUTOFMEMORY;
        }
    };

    // Every system interface goes before the system's picture itself, so that its answer
    // tells whether anything else still holds it.
    ~OwningPicture() {
        ULONG left = 0;
        for (auto& point : points_)
            point->detach(left);
        persist_.detach(left);
        container_.detach(left);
        finish(disp_, picture_, bitmap_, palette_);
    }

    LONG refs_ = 1;
    IPictureDisp* disp_;
    IPicture* picture_;
    HBITMAP bitmap_;
    HPALETTE palette_;
    PersistStream persist_{*this};
    Container container_{*this};
    std::vector<std::unique_ptr<ConnectionPoint>> points_;
};

} // namespace

HRESULT createOwningPicture(HBITMAP bitmap, HPALETTE palette, IPictureDisp** out) {
    PICTDESC desc = {};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    desc.bmp.hpal = palette;
    IPictureDisp* disp = nullptr;
    IPicture* picture = nullptr;
    HRESULT hr =
        OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&disp));
    if (hr == S_OK && disp)
        hr = disp->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture));
    OwningPicture* owner = nullptr;
    // The picture's code lives here and the caller may keep it past FreeLibrary.
    if (hr == S_OK && picture) pinLibrary();
    if (hr == S_OK && picture)
        owner = new (std::nothrow) OwningPicture(disp, picture, bitmap, palette);
    if (!owner) {
        OwningPicture::finish(disp, picture, bitmap, palette);
        return hr == S_OK ? E_OUTOFMEMORY : hr;
    }
    *out = owner;
    return S_OK;
}

} // namespace quillon
