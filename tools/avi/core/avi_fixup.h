// Where the parts of an AVI file lie, and in-place corrections of header fields that
// some writers get wrong. Pure: works on any riff::ByteStore.
#pragma once

#include "riff.h"

#include <cstdint>
#include <string>
#include <vector>

namespace avi {

// Offsets are absolute file offsets of chunk data (after the 8-byte header).
struct StreamLayout {
    uint32_t fccType = 0; // "vids", "auds", ...
    uint64_t strh = 0;    // AVISTREAMHEADER data
    uint32_t strhSize = 0;
    uint64_t strf = 0; // format data (WAVEFORMATEX for audio)
    uint32_t strfSize = 0;
    uint64_t dataBytes = 0; // bytes in this stream's ##xx chunks in every movi list
    uint32_t dataChunks = 0;
    uint64_t strl = 0; // header offset of the stream's "strl" list
};

struct AviLayout {
    uint64_t hdrl = 0; // header offset of the "hdrl" list
    uint64_t avih = 0; // MainAVIHeader data, 0 when missing
    uint32_t avihSize = 0;
    std::vector<StreamLayout> streams;
    uint64_t idx1 = 0; // 0 when missing
    uint32_t idx1Size = 0;
};

// Offsets of fields inside the stream header and the audio format.
constexpr uint32_t kStrhType = 0;
constexpr uint32_t kStrhScale = 20;
constexpr uint32_t kStrhRate = 24;
constexpr uint32_t kStrhLength = 32;
constexpr uint32_t kStrhSampleSize = 44;
constexpr uint32_t kWaveBlockAlign = 12;

// Stream number of a movi chunk id ("01wb" -> 1), or -1 when the id has no two-digit
// stream number.
int streamOfChunk(uint32_t id);

// Audio length in blocks: bytes / blockAlign rounded to the nearest integer, halves to
// even (the rule the converter writes by). blockAlign must be > 0.
uint32_t blockCount(uint64_t bytes, uint32_t blockAlign);

// Reads the layout of a structurally sound AVI file (see riff::checkStructure).
bool readAviLayout(riff::ByteStore& store, AviLayout& layout, std::string* why = nullptr);

struct FixupResult {
    bool ok = false;   // false: the file is not a sound AVI or could not be written
    int corrected = 0; // headers changed
    std::string why;
};

// Every fix-up checks the whole change before its first write: a call that fails has
// changed nothing (short of the store itself failing a write), and one that succeeds
// leaves a file that passes riff::checkStructure.

// Sets every audio stream header's dwLength to what its chunks really hold: the samples
// (blockCount of the data bytes and the header's dwSampleSize, which is nBlockAlign in most
// files but need not be), or the chunks for a stream whose dwSampleSize is 0 (variable-rate
// audio). Leaves correct headers and streams without a usable nBlockAlign untouched.
FixupResult fixAudioLengths(riff::ByteStore& store);

// Sets a stream header's dwScale and dwRate (the platform may write a copied audio
// stream's timing as 22050/1). Changes those 8 bytes only.
FixupResult restoreStreamRate(riff::ByteStore& store, size_t stream, uint32_t scale, uint32_t rate);

// Cuts the file where its last RIFF chunk ends when only zero bytes follow (the platform
// leaves some after every AVI it writes). Other trailing bytes are kept.
FixupResult trimAfterRiff(riff::ByteStore& store);

// Puts the whole format back when a writer kept only a prefix of it (the platform cuts
// audio formats to 18 bytes, dropping the cbSize extension bytes that extensible and
// compressed formats need). The room comes from the JUNK chunk right after the header
// list (inside the same RIFF chunk); nothing outside the header list and that JUNK
// moves. A no-op when the stored format already equals `format`;
// fails, changing nothing, when the stored format is not a prefix of it or there is no
// room.
FixupResult restoreStreamFormat(riff::ByteStore& store, size_t stream,
                                const std::vector<uint8_t>& format);

// Makes the stream's format record `format`, byte for byte, whatever the writer stored (the
// platform rewrites fields of a copied video format). For a stream known to hold the
// source's frames unchanged. Same room rules as restoreStreamFormat.
FixupResult replaceStreamFormat(riff::ByteStore& store, size_t stream,
                                const std::vector<uint8_t>& format);

// Makes the stream's "strn" chunk hold `name` (ANSI bytes, no NUL) and its NUL. The
// platform sizes the chunk by characters, not bytes, so double-byte names lose their end
// and the NUL. Same room rules as restoreStreamFormat; an empty name with no chunk is
// left alone.
FixupResult restoreStreamName(riff::ByteStore& store, size_t stream, const std::string& name);

} // namespace avi
