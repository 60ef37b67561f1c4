// Placeholder bodies until this family is written.
#include "internal.h"

using namespace quillon;

long QUILLON_API SetTimeKeeper(long /*interval*/) {
    return 0;
}
long QUILLON_API IsTimeElapsed(void) {
    return 0;
}
long QUILLON_API WaitTimeElapsed(void) {
    return 0;
}
