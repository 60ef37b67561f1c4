// The shipped binding: the real library, bound once.
#include "avifile.h"

namespace avi {

const AviFileApi* aviFile() {
    static AviFileApi api{};
    static const bool bound = bindAviFile(api);
    return bound ? &api : nullptr;
}

} // namespace avi
