// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API ddCreateSurface(long /*width*/, long /*height*/) {
    return 0;
}
long QUILLON_API ddReleaseSurface(long /*surface*/) {
    return 0;
}
long QUILLON_API ddFlip(void) {
    return 0;
}
long QUILLON_API ddUpdateWindow(long /*source*/) {
    return 0;
}
long QUILLON_API ddAsyncUpdateWindow(long /*source*/) {
    return 0;
}
long QUILLON_API ddGetWidth(long /*surface*/) {
    return 0;
}
long QUILLON_API ddGetHeight(long /*surface*/) {
    return 0;
}
long QUILLON_API ddGetPitch(long /*surface*/) {
    return 0;
}
long QUILLON_API ddInVideoMemory(long /*surface*/) {
    return 0;
}
long QUILLON_API ddGetDC(long /*surface*/) {
    return 0;
}
long QUILLON_API ddReleaseDC(long /*surface*/, long /*hdc*/) {
    return 0;
}
long QUILLON_API ddWaitVBBegin(void) {
    return 0;
}
long QUILLON_API ddWaitVBEnd(void) {
    return 0;
}
