// libFuzzer entry: any byte string must give a status, never a crash or a read outside
// the input; an accepted file's samples lie inside it and its format carries every
// extension byte its record announces.
#include "wave_reader.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t n) {
    riff::MemoryStore store(bytes, n);
    wavconv::WaveData data;
    if (wavconv::readWaveFile(store, data) == wavconv::WaveStatus::kOk) {
        if (data.dataOffset + data.size > n) std::abort();
        if (data.size && std::memcmp(data.samples, bytes + data.dataOffset, data.size))
            std::abort();
        if (data.format.nBlockAlign <= 0) std::abort();
        if (data.formatExtension.size() != data.format.cbSize) std::abort();
    }
    return 0;
}
