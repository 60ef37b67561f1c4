// What the sync hook and td::sync agree on. The hook DLL runs inside the program under test:
// when the program takes the marker out of its queue it signals the test's event and turns
// the marker into WM_NULL, so the program never sees it.
#pragma once

namespace td_hook {

constexpr wchar_t kDll[] = L"td_sync_hook.dll";
constexpr char kProc[] = "tdSyncHook";
// Registered message: lParam is the test's process id.
constexpr wchar_t kMarker[] = L"td sync marker";
// Event name prefix; the test's process id follows in decimal.
constexpr wchar_t kEventPrefix[] = L"td-sync-";

} // namespace td_hook
