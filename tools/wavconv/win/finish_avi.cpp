#include "finish_avi.h"

#include "fixup_failure.h"
#include "shell/shell.h"

namespace wavconv {

std::wstring finishAvi(const std::wstring& aviPath, uint32_t sampleBytes,
                       const std::vector<uint8_t>& format, const std::string& name) {
    shell::Win32File out;
    if (!out.open(aviPath, true)) return shell::systemErrorText(out.lastError());
    avi::FixupResult fix = avi::fixAudioLengths(out);
    if (fix.ok) fix = avi::restoreStreamFormat(out, 0, format);
    if (fix.ok) fix = avi::restoreStreamName(out, 0, name);
    if (fix.ok) fix = avi::trimAfterRiff(out); // the platform leaves zeros after the RIFF chunk
    if (!fix.ok) return avi::fixUpFailure(fix, out);
    avi::AviLayout layout;
    if (!avi::readAviLayout(out, layout) || layout.streams.size() != 1 ||
        layout.streams[0].dataBytes != sampleBytes)
        return avi::kNotAllWritten;
    return {};
}

} // namespace wavconv
