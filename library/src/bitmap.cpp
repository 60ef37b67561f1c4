// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API GetBitmapWidth(HBITMAP /*bitmap*/) {
    return 0;
}
long QUILLON_API GetBitmapHeight(HBITMAP /*bitmap*/) {
    return 0;
}
long QUILLON_API ddBitmapBlt(long /*surface*/, long /*x*/, long /*y*/, long /*width*/,
                             long /*height*/, HBITMAP /*bitmap*/, long /*srcX*/, long /*srcY*/) {
    return 0;
}
long QUILLON_API ddCreateSurfaceFromBitmap(HBITMAP /*bitmap*/) {
    return 0;
}
long QUILLON_API ddCreateSurfaceFromFile(const char* /*path*/) {
    return 0;
}
long QUILLON_API ddCreateSurfaceFromResource(HINSTANCE /*module*/, const char* /*name*/) {
    return 0;
}
long QUILLON_API ddGetSurfaceImage(void* /*pictureSlot*/, long /*surface*/, long /*srcX*/,
                                   long /*srcY*/, long /*width*/, long /*height*/) {
    return 0;
}
long QUILLON_API ddGetSurfaceData(void* /*buffer*/, long /*count*/, long /*surface*/) {
    return 0;
}
long QUILLON_API ddSetSurfaceData(const void* /*buffer*/, long /*count*/, long /*surface*/) {
    return 0;
}
long QUILLON_API ddGetSurfaceData2(void* /*buffer*/, long /*count*/, long /*surface*/,
                                   long /*offset*/) {
    return 0;
}
long QUILLON_API ddSetSurfaceData2(const void* /*buffer*/, long /*count*/, long /*surface*/,
                                   long /*offset*/) {
    return 0;
}
long QUILLON_API ddGetSurfaceBitCount(void) {
    return 0;
}
