#include "templates/TemplateCommands.h"

#include "common/Dialogs.h"
#include "store/TemplateStore.h"
#include "templates/TemplateEditor.h"
#include "templates/TemplateSelection.h"

namespace templates {
namespace {

bool showEditor(QWidget* parent, bool edit) {
    TemplateSelection::current().editMode = edit;
    TemplateEditor editor(parent);
    if (!editor.prepare()) return false;
    return editor.exec() == QDialog::Accepted;
}

} // namespace

bool newItem(QWidget* parent) {
    return showEditor(parent, false);
}

bool editItem(QWidget* parent) {
    return showEditor(parent, true);
}

bool deleteItem(QWidget* parent) {
    TemplateSelection& chosen = TemplateSelection::current();
    if (!chosen.templateId) {
        Dialogs::get().message(parent, QStringLiteral("Choose a template in the template tree first."),
                               QStringLiteral("Delete Item"));
        return false;
    }
    if (Dialogs::get().question(parent, QStringLiteral("Do you want to Delete the selected item?"),
                                QStringLiteral("Delete Item"),
                                Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    const Status deleted = TemplateStore::deleteTemplate(*chosen.templateId);
    if (!deleted) {
        Dialogs::get().message(parent, QStringLiteral("Error: ") + deleted.error(),
                               QStringLiteral("Delete Item"));
        return false;
    }
    chosen.templateId.reset();
    return true;
}

} // namespace templates
