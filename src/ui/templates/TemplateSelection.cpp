#include "templates/TemplateSelection.h"

TemplateSelection& TemplateSelection::current() {
    static TemplateSelection selection;
    return selection;
}
