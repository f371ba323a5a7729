#pragma once
// The main window's template commands ("New Item", "Insert Template", "Edit
// Item", "Delete Item", "Help" of the templates pop-up). Each returns true
// when the library changed, so the caller rebuilds the active document's
// template tree.

class QWidget;

namespace templates {

// The template editor for a new template.
bool newItem(QWidget* parent);
// The template editor for the template chosen last; with none chosen, for a
// new one. Refused with a message when that template is gone.
bool editItem(QWidget* parent);
// Asks, then deletes the template chosen last. Refused with a message when
// no template is chosen or it is gone.
bool deleteItem(QWidget* parent);


} // namespace templates
