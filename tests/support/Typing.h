#pragma once
// Changing a script the way a user does: as an edit that the editor records
// (undoable, and marking the script changed), unlike setText, which also
// resets the editor's undo history and saved state.

#include "editor/SqlEditor.h"

inline void replaceScript(SqlEditor* editor, const QString& text) {
    editor->selectAll();
    editor->replaceSelectedText(text);
}
