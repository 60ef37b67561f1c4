// Test build only: the corrections of the written file fail, after the first of them has
// changed it, as a disk that gives up in the middle would have them do.
#include <windows.h>

#include "output_fixup.h"
#include "shell/win_file.h"

namespace compositor {

bool fixUpOutput(const std::wstring& path, const std::vector<KeptStream>&, const std::wstring&) {
    shell::Win32File store;
    if (!store.open(path, true)) return false;
    store.Write(0, "JUNK", 4);
    return false;
}

} // namespace compositor
