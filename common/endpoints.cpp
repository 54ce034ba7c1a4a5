#include "common/endpoints.h"

namespace common {

const char* CollectionUrl() { return LUMAVEX_COLLECT_URL; }
const char* UpgradeUrl() { return LUMAVEX_UPGRADE_URL; }

}  // namespace common
