// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API ddBlt(long /*dest*/, const RECT* /*destRect*/, long /*src*/,
                       const RECT* /*srcRect*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddBitBlt(long /*dest*/, long /*x*/, long /*y*/, long /*width*/, long /*height*/,
                          long /*src*/, long /*srcX*/, long /*srcY*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddSafeBitBlt(long /*dest*/, long /*x*/, long /*y*/, long /*width*/,
                              long /*height*/, long /*destLimitX*/, long /*destLimitY*/,
                              long /*src*/, long /*srcX*/, long /*srcY*/, long /*srcLimitX*/,
                              long /*srcLimitY*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddStretchBlt(long /*dest*/, long /*x*/, long /*y*/, long /*width*/,
                              long /*height*/, long /*src*/, long /*srcX*/, long /*srcY*/,
                              long /*srcWidth*/, long /*srcHeight*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddBltFX(long /*dest*/, long /*x*/, long /*y*/, long /*width*/, long /*height*/,
                         long /*src*/, long /*srcX*/, long /*srcY*/, long /*srcWidth*/,
                         long /*srcHeight*/, long /*rop*/, long /*fx*/) {
    return 0;
}
long QUILLON_API ddBltFast(long /*dest*/, long /*x*/, long /*y*/, long /*width*/, long /*height*/,
                           long /*src*/, long /*srcX*/, long /*srcY*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddSafeBltFast(long /*dest*/, long /*x*/, long /*y*/, long /*width*/,
                               long /*height*/, long /*destLimitX*/, long /*destLimitY*/,
                               long /*src*/, long /*srcX*/, long /*srcY*/, long /*srcLimitX*/,
                               long /*srcLimitY*/, long /*colorKey*/) {
    return 0;
}
long QUILLON_API ddFillBlt(long /*surface*/, long /*x*/, long /*y*/, long /*width*/,
                           long /*height*/, long /*color*/) {
    return 0;
}
long QUILLON_API ddSafeFillBlt(long /*surface*/, long /*x*/, long /*y*/, long /*width*/,
                               long /*height*/, long /*limitX*/, long /*limitY*/, long /*color*/) {
    return 0;
}
long QUILLON_API ddClear(long /*surface*/, long /*color*/) {
    return 0;
}
