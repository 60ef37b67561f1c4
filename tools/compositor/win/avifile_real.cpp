#include "avifile_api.h"

namespace compositor {

bool bindAvifile(AviFileApi& api);

const AviFileApi* avifileApi() {
    static AviFileApi api{};
    static const bool bound = bindAvifile(api);
    return bound ? &api : nullptr;
}

} // namespace compositor
