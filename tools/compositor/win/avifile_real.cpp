#include "avifile_api.h"

bool bind_avifile(AviFileApi& api);

const AviFileApi* avifile_api() {
    static AviFileApi api{};
    static const bool bound = bind_avifile(api);
    return bound ? &api : nullptr;
}
