#include "avifile.h"

namespace wavconv {

namespace {

template <class F> bool Bind(HMODULE dll, const char* name, F& fn) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return fn != nullptr;
}

bool Load(AviFileApi& api) {
    HMODULE dll = LoadLibraryW(L"avifil32.dll");
    if (!dll) return false;
    return Bind(dll, "AVIFileInit", api.AVIFileInit) && Bind(dll, "AVIFileExit", api.AVIFileExit) &&
           Bind(dll, "AVIFileOpen", api.AVIFileOpen) &&
           Bind(dll, "AVIFileCreateStream", api.AVIFileCreateStream) &&
           Bind(dll, "AVIStreamSetFormat", api.AVIStreamSetFormat) &&
           Bind(dll, "AVIStreamWrite", api.AVIStreamWrite) &&
           Bind(dll, "AVIStreamRelease", api.AVIStreamRelease) &&
           Bind(dll, "AVIFileRelease", api.AVIFileRelease);
}

} // namespace

const AviFileApi* aviFile() {
    static AviFileApi api;
    static bool loaded = Load(api);
    return loaded ? &api : nullptr;
}

const CLSID& aviFileHandler() {
    static const CLSID handler = {0x00020000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    return handler;
}

} // namespace wavconv
