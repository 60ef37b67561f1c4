// What an AVI file's index holds for each stream, measured in the units the stream's own
// header counts in, and the key-frame flags it gives each chunk. Pure, over
// riff::ByteStore: the compositor measures its sources with it before the save and copies
// key frames from them after it.
#pragma once

#include "avi_fixup.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace avi {

constexpr uint32_t kStrhStart = 28;

struct StreamMeasure {
    uint32_t fccType = 0;
    uint32_t start = 0;  // strh dwStart
    uint32_t length = 0; // strh dwLength: what the header promises
    // Bytes of one sample as a reader that trusts the header counts them: dwSampleSize,
    // for audio without one its nBlockAlign; 0 when every chunk is one sample.
    uint32_t unit = 0;
    uint64_t chunks = 0; // index entries of the stream
    uint64_t bytes = 0;  // the bytes they hold
    // Samples the index holds in that unit (whole ones only).
    uint64_t held() const { return unit ? bytes / unit : chunks; }
    // Samples a reader is sent to: the header's end (positions run from 0 to dwStart +
    // dwLength), raised to the index's entry count (the platform's reader counts every
    // entry as one sample at least).
    uint64_t promised() const { return std::max<uint64_t>(uint64_t(start) + length, chunks); }
    // What a reader finds: kShort when it is sent past the end of the samples the index
    // holds, kEmpty when it is sent to any sample and there is none. The platform's reader
    // asserts there in the middle of a save. A stream without chunk or length is read as
    // empty and copied.
    enum class Data { kWhole, kShort, kEmpty };
    Data data() const {
        if (promised() <= held()) return Data::kWhole;
        return held() == 0 ? Data::kEmpty : Data::kShort;
    }
};

// Measures every stream of a structurally sound AVI file, in file order: from the idx1
// chunk when the file has one, else from the chunks of its movi lists. False when the file
// cannot be read as an AVI.
bool measureStreams(riff::ByteStore& store, std::vector<StreamMeasure>& streams);

struct IndexEntry {
    uint32_t flags = 0;
    uint32_t size = 0;
};

// The idx1 entries of stream `stream`, in order. False when the file has no index or
// cannot be read.
bool readIndex(riff::ByteStore& store, size_t stream, std::vector<IndexEntry>& entries);
// The same from the file's layout, already read.
bool readIndex(riff::ByteStore& store, const AviLayout& layout, size_t stream,
               std::vector<IndexEntry>& entries);

// Gives the idx1 entries of stream `stream` the key-frame flags of `source`, entry for
// entry (other flags kept). Fails, changing nothing, unless the stream has as many entries
// as `source`, each of the same size: only then are they the same frames.
FixupResult restoreKeyFrames(riff::ByteStore& store, size_t stream,
                             const std::vector<IndexEntry>& source);

} // namespace avi
