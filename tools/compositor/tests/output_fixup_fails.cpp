// Test build only: the corrections of the written file fail, after the first of them has
// changed it, as a disk that gives up in the middle would have them do.
#include "output_fixup.h"

#include "fixup_failure.h"

namespace compositor {

std::wstring fixUpOutput(const std::wstring& path, const std::vector<KeptStream>&,
                         const std::wstring&) {
    shell::Win32File store;
    if (store.open(path, true)) store.Write(0, "JUNK", 4);
    return avi::kCannotFixUp;
}

} // namespace compositor
