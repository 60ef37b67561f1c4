// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API ddInit(HWND /*window*/, long /*width*/, long /*height*/, long /*flags*/) {
    return 0;
}
long QUILLON_API ddQuit(void) {
    return 0;
}
long QUILLON_API ddSetBitDepth(long /*bits*/) {
    return 0;
}
long QUILLON_API ddGetBitDepth(void) {
    return 0;
}
long QUILLON_API ddError(void) {
    return 0;
}
long QUILLON_API ddGetDD(void) {
    return 0;
}
long QUILLON_API ddGetPrimarySurface(void) {
    return 0;
}
long QUILLON_API ddGetBackSurface(void) {
    return 0;
}
long QUILLON_API ddIsModeX(void) {
    return 0;
}
long QUILLON_API ddEnumDisplayModes(long* /*modes*/, long /*maxModes*/) {
    return 0;
}
long QUILLON_API GetBitsPixel(void) {
    return 0;
}
long QUILLON_API ddCanOverlay(long /*emulation*/) {
    return 0;
}
long QUILLON_API ddCanWideSurface(long /*emulation*/) {
    return 0;
}
