#include "settings/SettingsChanges.h"

namespace settings {

Changes& Changes::instance() {
    static Changes changes;
    return changes;
}

} // namespace settings
