// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API ddColor(long /*rgb*/) {
    return 0;
}
long QUILLON_API ddColorEx(long /*rgb*/, long /*surface*/) {
    return 0;
}
long QUILLON_API ddSetColorKey(long /*surface*/, long /*key*/) {
    return 0;
}
long QUILLON_API ddGetColorKey(long /*surface*/) {
    return 0;
}
