#include "output_fixup.h"

#include <algorithm>

#include "avi_fixup.h"
#include "avi_video_fixup.h"
#include "fixup_failure.h"
#include "riff.h"
#include "shell/shell.h"
#include "shell/win_file.h"
#include "stream_index.h"

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
        if (nth++ != k.sourceAudio) continue;
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

// A kept stream gets its source's format record and timing back, once it is known to have
// arrived whole.
avi::FixupResult restoreKeptStream(riff::ByteStore& written, const avi::AviLayout& layout,
                                   const KeptStream& k) {
    uint32_t scale = 0, rate = 0;
    uint64_t bytes = 0;
    if (!sourceStream(k, scale, rate, bytes)) return {false, 0, "read error"};
    if (k.index >= layout.streams.size() || layout.streams[k.index].dataBytes != bytes)
        return {false, 0, "a stream did not arrive whole"};
    avi::FixupResult fix = avi::restoreStreamFormat(written, k.index, k.format);
    return fix.ok ? avi::restoreStreamRate(written, k.index, scale, rate) : fix;
}

// The output's video stream (stream 0) holds the source's first video stream unchanged
// when its index lists the same frames with the same sizes and its format names the same
// compression: then its whole format record and every key-frame flag are the source's (the
// platform rewrites fields of the record, and its reader drops the flags of chunks it
// takes for compressed frames). A recompressed stream keeps what the compressor wrote.
avi::FixupResult restoreCopiedVideo(riff::ByteStore& written, const avi::AviLayout& out,
                                    const std::wstring& source) {
    shell::Win32File store;
    avi::AviLayout layout;
    if (!store.open(source, false) || !avi::readAviLayout(store, layout))
        return {false, 0, "read error"};
    size_t n = 0;
    while (n < layout.streams.size() && layout.streams[n].fccType != riff::fourCC("vids"))
        ++n;
    if (n == layout.streams.size() || out.streams.empty()) return {false, 0, "no such stream"};
    std::vector<uint8_t> format(layout.streams[n].strfSize), stored(out.streams[0].strfSize);
    std::vector<avi::IndexEntry> frames, copied;
    if (!store.Read(layout.streams[n].strf, format.data(), format.size()) ||
        !written.Read(out.streams[0].strf, stored.data(), stored.size()))
        return {false, 0, "read error"};
    const size_t compression = avi::kBitmapCompression;
    const bool sameCompression =
        format.size() >= compression + 4 && stored.size() >= compression + 4 &&
        std::equal(format.begin() + compression, format.begin() + compression + 4,
                   stored.begin() + compression);
    if (!sameCompression || !avi::readIndex(store, layout, n, frames) ||
        !avi::readIndex(written, out, 0, copied) || frames.size() != copied.size() ||
        !std::equal(
            frames.begin(), frames.end(), copied.begin(),
            [](const avi::IndexEntry& a, const avi::IndexEntry& b) { return a.size == b.size; }))
        return {true, 0, {}}; // recompressed, or nothing to compare with
    avi::FixupResult fix = avi::replaceStreamFormat(written, 0, format);
    return fix.ok ? avi::restoreKeyFrames(written, 0, frames) : fix;
}

} // namespace

// The platform's writer may count audio chunks instead of samples, invert the frame period
// and drop key-frame flags; readers that trust these fields then misread the file. A
// copied stream loses its format's extension and its timing (written as 22050/1), and
// the platform's reader copies only part of one whose dwSampleSize is not its block.
std::wstring fixUpOutput(const std::wstring& path, const std::vector<KeptStream>& kept,
                         const std::wstring& videoSource) {
    shell::Win32File store;
    avi::AviLayout written;
    if (!store.open(path, true)) return shell::systemErrorText(store.lastError());
    if (!avi::readAviLayout(store, written)) return avi::kNotAllWritten;
    avi::FixupResult fix = restoreCopiedVideo(store, written, videoSource);
    for (const KeptStream& k : kept)
        if (fix.ok) fix = restoreKeptStream(store, written, k);
    if (fix.ok) fix = avi::fixAudioLengths(store);
    if (fix.ok) fix = avi::fixVideoHeaders(store);
    if (fix.ok) fix = avi::trimAfterRiff(store);
    if (!fix.ok) return avi::fixUpFailure(fix, store);
    return {};
}

} // namespace compositor
