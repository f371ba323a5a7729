#include "catalog/CatalogSelection.h"

namespace catalogselection {
namespace {
SelectedObject& stored() {
    static SelectedObject selected;
    return selected;
}
} // namespace

const SelectedObject& current() {
    return stored();
}
void set(SelectedObject selected) {
    stored() = std::move(selected);
}
void clear() {
    stored() = SelectedObject();
}

} // namespace catalogselection
