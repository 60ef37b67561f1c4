// The RIFF checks shared with the converter, applied to Tamsel's inputs and output.
#include <windows.h>

#include "avi_fixup.h"
#include "avi_video_fixup.h"
#include "output_checks.h"
#include "riff.h"

bool avi_input_readable(const std::wstring& path) {
    riff::FileStore store;
    if (!store.Open(std::filesystem::path(path), false)) return false;
    return riff::CheckStructure(store, riff::FourCC("AVI "));
}

// The platform's writer may count audio chunks instead of samples, invert the frame period
// and drop key-frame flags; readers that trust these fields then misread the file.
bool fix_up_output(const std::wstring& path) {
    riff::FileStore store;
    if (!store.Open(std::filesystem::path(path), true)) return false;
    bool ok = avi::FixAudioLengths(store).ok && avi::FixVideoHeaders(store).ok;
    store.Close();
    return ok;
}
