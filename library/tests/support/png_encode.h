// Images made at run time: pixels encoded as PNG through the platform's imaging component,
// for the tests and benchmarks that feed the image loaders known alpha values.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace library_test {

// Straight BGRA pixels (rows top down) as a PNG file's bytes: 32-bit with alpha, or 24-bit
// without (`alpha` false); empty when the imaging component cannot make it.
inline std::vector<BYTE> encodePng(UINT width, UINT height, const std::vector<std::uint32_t>& bgra,
                                   bool alpha) {
    std::vector<BYTE> out;
    HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    std::vector<BYTE> rows;
    const UINT bytes = alpha ? 4 : 3;
    for (std::uint32_t v : bgra)
        for (UINT i = 0; i < bytes; ++i)
            rows.push_back(static_cast<BYTE>(v >> (8 * i)));
    WICPixelFormatGUID format = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
    const WICPixelFormatGUID asked = format;
    bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
        SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, asked) &&
        SUCCEEDED(frame->WritePixels(height, width * bytes, static_cast<UINT>(rows.size()),
                                     rows.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL memory = nullptr;
    STATSTG stat = {};
    if (ok && SUCCEEDED(GetHGlobalFromStream(stream, &memory)) &&
        SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
        auto* p = static_cast<const BYTE*>(GlobalLock(memory));
        out.assign(p, p + stat.cbSize.QuadPart);
        GlobalUnlock(memory);
    }
    for (IUnknown* u : std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory})
        if (u) u->Release();
    if (SUCCEEDED(entered)) CoUninitialize();
    return out;
}

} // namespace library_test
