// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API ddCreatePalette(const PALETTEENTRY* /*entries*/) {
    return 0;
}
long QUILLON_API ddCreateDefPalette(void) {
    return 0;
}
long QUILLON_API ddCopyPalette(HPALETTE /*gdiPalette*/) {
    return 0;
}
long QUILLON_API ddCopySystemPalette(void) {
    return 0;
}
long QUILLON_API ddCreatePaletteFromFile(const char* /*path*/) {
    return 0;
}
long QUILLON_API ddCreatePaletteFromResource(HINSTANCE /*module*/, const char* /*name*/) {
    return 0;
}
long QUILLON_API ddSetPalette(long /*surface*/, long /*palette*/) {
    return 0;
}
long QUILLON_API ddGetPalette(long /*surface*/) {
    return 0;
}
long QUILLON_API ddReleasePalette(long /*palette*/) {
    return 0;
}
long QUILLON_API ddGetPaletteEntries(long /*palette*/, long /*first*/, long /*count*/,
                                     PALETTEENTRY* /*entries*/) {
    return 0;
}
long QUILLON_API ddSetPaletteEntries(long /*palette*/, long /*first*/, long /*count*/,
                                     const PALETTEENTRY* /*entries*/) {
    return 0;
}
