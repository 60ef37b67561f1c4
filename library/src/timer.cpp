// Frame timer on the system tick count; independent of the display context.
#include "internal.h"

#include "frame_timer.h"

using namespace quillon;

namespace {

std::uint32_t tickCount() {
    return GetTickCount();
}

FrameTimer g_timer(tickCount);

} // namespace

long QUILLON_API SetTimeKeeper(long interval) {
    g_timer.set(interval);
    return 1;
}

long QUILLON_API IsTimeElapsed(void) {
    return g_timer.elapsed() ? 1 : 0;
}

long QUILLON_API WaitTimeElapsed(void) {
    return g_timer.wait() ? 1 : 0;
}
