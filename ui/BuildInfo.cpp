#include "ui/BuildInfo.h"

namespace kv {

const BuildInfo& buildInfo() {
    static constexpr BuildInfo info{KV_FILE_VERSION, KV_PRODUCT_NAME, KV_COMPANY_NAME,
                                    KV_LEGAL_COPYRIGHT};
    return info;
}

} // namespace kv
