#include <initguid.h>

#include "avifile.h"

#include "shell/shell.h"

namespace avi {

bool bindAviFile(AviFileApi& api) {
    HMODULE lib = LoadLibraryW(L"avifil32.dll");
    if (!lib) return false;
    return shell::bindByName(lib, "AVIFileInit", api.FileInit) &&
           shell::bindByName(lib, "AVIFileExit", api.FileExit) &&
           shell::bindByName(lib, "AVIFileRelease", api.FileRelease) &&
           shell::bindByName(lib, "AVIStreamRelease", api.StreamRelease) &&
           shell::bindByName(lib, "AVIFileOpen", api.FileOpen) &&
           shell::bindByName(lib, "AVIFileCreateStream", api.FileCreateStream) &&
           shell::bindByName(lib, "AVIStreamSetFormat", api.StreamSetFormat) &&
           shell::bindByName(lib, "AVIStreamWrite", api.StreamWrite) &&
           shell::bindByName(lib, "AVIFileOpenW", api.FileOpenW) &&
           shell::bindByName(lib, "AVIFileGetStream", api.FileGetStream) &&
           shell::bindByName(lib, "AVIStreamInfoA", api.StreamInfoA) &&
           shell::bindByName(lib, "AVIStreamReadFormat", api.StreamReadFormat) &&
           shell::bindByName(lib, "AVISaveOptions", api.SaveOptions) &&
           shell::bindByName(lib, "AVISaveOptionsFree", api.SaveOptionsFree) &&
           shell::bindByName(lib, "AVISaveVW", api.SaveVW);
}

const CLSID& aviFileHandler() {
    return CLSID_AVIFile;
}

AviFileSession::AviFileSession(const AviFileApi& api) : api_(api) {
    api_.FileInit();
}

AviFileSession::~AviFileSession() {
    for (PAVISTREAM stream : streams_)
        api_.StreamRelease(stream);
    for (PAVIFILE file : files_)
        api_.FileRelease(file);
    api_.FileExit();
}

void AviFileSession::keep(PAVISTREAM stream) {
    if (stream) streams_.push_back(stream);
}

void AviFileSession::keep(PAVIFILE file) {
    if (file) files_.push_back(file);
}

} // namespace avi
