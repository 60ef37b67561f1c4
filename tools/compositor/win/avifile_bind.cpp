#include "avifile_api.h"

#include "shell/shell.h"

namespace compositor {

bool bindAvifile(AviFileApi& api) {
    HMODULE lib = LoadLibraryA("avifil32.dll");
    if (!lib) return false;
    return shell::bindByName(lib, "AVIFileInit", api.FileInit) &&
           shell::bindByName(lib, "AVIFileExit", api.FileExit) &&
           shell::bindByName(lib, "AVIFileOpenW", api.FileOpenW) &&
           shell::bindByName(lib, "AVIFileGetStream", api.FileGetStream) &&
           shell::bindByName(lib, "AVIFileRelease", api.FileRelease) &&
           shell::bindByName(lib, "AVIStreamRelease", api.StreamRelease) &&
           shell::bindByName(lib, "AVIStreamInfoA", api.StreamInfoA) &&
           shell::bindByName(lib, "AVIStreamReadFormat", api.StreamReadFormat) &&
           shell::bindByName(lib, "AVISaveOptions", api.SaveOptions) &&
           shell::bindByName(lib, "AVISaveOptionsFree", api.SaveOptionsFree) &&
           shell::bindByName(lib, "AVISaveVW", api.SaveVW);
}

} // namespace compositor
