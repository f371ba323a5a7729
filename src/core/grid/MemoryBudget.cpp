#include "grid/MemoryBudget.h"

namespace grid {

MemoryBudget& MemoryBudget::instance() {
    static MemoryBudget budget;
    return budget;
}

} // namespace grid
