#include "avifile_api.h"

namespace compositor {

namespace {

template <typename F> bool bind(HMODULE lib, const char* name, F& slot) {
    slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
    return slot != nullptr;
}

} // namespace

bool bindAvifile(AviFileApi& api) {
    HMODULE lib = LoadLibraryA("avifil32.dll");
    if (!lib) return false;
    return bind(lib, "AVIFileInit", api.FileInit) && bind(lib, "AVIFileExit", api.FileExit) &&
           bind(lib, "AVIFileOpenW", api.FileOpenW) &&
           bind(lib, "AVIFileGetStream", api.FileGetStream) &&
           bind(lib, "AVIFileRelease", api.FileRelease) &&
           bind(lib, "AVIStreamRelease", api.StreamRelease) &&
           bind(lib, "AVIStreamInfoA", api.StreamInfoA) &&
           bind(lib, "AVIStreamReadFormat", api.StreamReadFormat) &&
           bind(lib, "AVISaveOptions", api.SaveOptions) &&
           bind(lib, "AVISaveOptionsFree", api.SaveOptionsFree) &&
           bind(lib, "AVISaveVW", api.SaveVW);
}

} // namespace compositor
