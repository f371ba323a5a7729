#include "editor/EditorLook.h"

#include "editor/SqlEditor.h"

EditorLook::EditorLook(SqlEditor* editor) : EditorFeature(editor) {
    EditorLook::settingsChanged(settings::current());
}

void EditorLook::settingsChanged(const settings::Snapshot& s) {
    SqlEditor* e = editor();
    e->setConvertTabs(s.flag(settings::Key::ConvertTabs));
    e->setEditorFont(s.text(settings::Key::Font), s.text(settings::Key::FontSize));
    e->setSyntaxColouring(s.flag(settings::Key::SyntaxHighlight));
    emit fontApplied(e->editorFont());
}
