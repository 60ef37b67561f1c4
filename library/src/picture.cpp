// The system's picture object frees its bitmap when it owns it, but whether it frees the
// palette too differs between systems. The library hands out this thin object around it
// instead: every call goes to the system's picture, and when the last reference to both
// is gone, whatever GDI object is still alive is deleted here, so neither is leaked nor
// deleted twice.
#include "picture.h"

#include <new>

#include <olectl.h>

namespace quillon {

namespace {

void deleteIfAlive(HGDIOBJ object, DWORD type) {
    if (object && GetObjectType(object) == type) DeleteObject(object);
}

class OwningPicture final : public IPictureDisp, public IPicture {
  public:
    OwningPicture(IPictureDisp* disp, IPicture* picture, HBITMAP bitmap, HPALETTE palette)
        : disp_(disp), picture_(picture), bitmap_(bitmap), palette_(palette) {}

    // Releases the system's picture; once nothing else holds it, frees what it left.
    static void finish(IPictureDisp* disp, IPicture* picture, HBITMAP bitmap, HPALETTE palette) {
        ULONG left = picture ? picture->Release() : 0;
        if (disp) left = disp->Release();
        // Something still holds one of the system's other interfaces: it frees the bitmap
        // itself when that goes.
        if (left != 0) return;
        deleteIfAlive(bitmap, OBJ_BITMAP);
        deleteIfAlive(palette, OBJ_PAL);
    }

    // IUnknown: one identity for the two picture interfaces; the system's picture answers
    // for the rest (persistence, connection points).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPictureDisp) {
            *out = static_cast<IPictureDisp*>(this);
        } else if (iid == IID_IPicture) {
            *out = static_cast<IPicture*>(this);
        } else {
            return disp_->QueryInterface(iid, out);
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            finish(disp_, picture_, bitmap_, palette_);
            delete this;
        }
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
    ~OwningPicture() = default;
    LONG refs_ = 1;
    IPictureDisp* disp_;
    IPicture* picture_;
    HBITMAP bitmap_;
    HPALETTE palette_;
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
