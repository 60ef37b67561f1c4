#include "avifile.h"

#include "shell/shell.h"

namespace wavconv {

namespace {

bool load(AviFileApi& api) {
    HMODULE dll = LoadLibraryW(L"avifil32.dll");
    if (!dll) return false;
    return shell::bindByName(dll, "AVIFileInit", api.AVIFileInit) &&
           shell::bindByName(dll, "AVIFileExit", api.AVIFileExit) &&
           shell::bindByName(dll, "AVIFileOpen", api.AVIFileOpen) &&
           shell::bindByName(dll, "AVIFileCreateStream", api.AVIFileCreateStream) &&
           shell::bindByName(dll, "AVIStreamSetFormat", api.AVIStreamSetFormat) &&
           shell::bindByName(dll, "AVIStreamWrite", api.AVIStreamWrite) &&
           shell::bindByName(dll, "AVIStreamRelease", api.AVIStreamRelease) &&
           shell::bindByName(dll, "AVIFileRelease", api.AVIFileRelease);
}

} // namespace

const AviFileApi* aviFile() {
    static AviFileApi api;
    static bool loaded = load(api);
    return loaded ? &api : nullptr;
}

const CLSID& aviFileHandler() {
    static const CLSID handler = {0x00020000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    return handler;
}

} // namespace wavconv
