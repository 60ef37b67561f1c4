// Test build only: the corrections of the written file fail, after the first of them has
// changed it, as a disk that gives up in the middle would have them do.
#include "finish_avi.h"

#include "fixup_failure.h"

namespace wavconv {

std::wstring finishAvi(const std::wstring& aviPath, uint32_t, const std::vector<uint8_t>&,
                       const std::string&) {
    shell::Win32File out;
    if (out.open(aviPath, true)) out.Write(0, "JUNK", 4);
    return avi::kCannotFixUp;
}

} // namespace wavconv
