#include "output_fixup.h"

#include "avi_fixup.h"
#include "avi_video_fixup.h"
#include "riff.h"
#include "shell/win_file.h"

namespace compositor {

namespace {

// The timing in the source's own stream header (the platform's reader reports a copied
// audio stream as 22050/1 too), and the bytes the stream holds there.
bool sourceStream(const KeptStream& k, uint32_t& scale, uint32_t& rate, uint64_t& bytes) {
    shell::Win32File store;
    avi::AviLayout layout;
    if (!store.open(k.source, false) || !avi::readAviLayout(store, layout)) return false;
    size_t nth = 0;
    for (const avi::StreamLayout& s : layout.streams) {
        if (s.fccType != riff::fourCC("auds")) continue;
        if (nth++ != k.source_audio) continue;
        uint8_t b[8];
        if (s.strhSize < avi::kStrhRate + 4 || !store.Read(s.strh + avi::kStrhScale, b, 8))
            return false;
        scale = riff::loadU32(b);
        rate = riff::loadU32(b + 4);
        bytes = s.dataBytes;
        return true;
    }
    return false;
}

} // namespace

// The platform's writer may count audio chunks instead of samples, invert the frame period
// and drop key-frame flags; readers that trust these fields then misread the file. A
// copied stream loses its format's extension and its timing (written as 22050/1), and
// the platform's reader copies only part of one whose dwSampleSize is not its block.
bool fixUpOutput(const std::wstring& path, const std::vector<KeptStream>& kept) {
    shell::Win32File store;
    avi::AviLayout written;
    if (!store.open(path, true) || !avi::readAviLayout(store, written)) return false;
    bool ok = true;
    for (const KeptStream& k : kept) {
        uint32_t scale = 0, rate = 0;
        uint64_t bytes = 0;
        ok = ok && sourceStream(k, scale, rate, bytes) && k.index < written.streams.size() &&
             written.streams[k.index].dataBytes == bytes &&
             avi::restoreStreamFormat(store, k.index, k.format).ok &&
             avi::restoreStreamRate(store, k.index, scale, rate).ok;
    }
    ok = ok && avi::fixAudioLengths(store).ok && avi::fixVideoHeaders(store).ok &&
         avi::trimAfterRiff(store).ok;
    store.close();
    return ok;
}

} // namespace compositor
