#include "editor/EditorFeature.h"

#include "editor/SqlEditor.h"
#include "settings/SettingsChanges.h"

EditorFeature::EditorFeature(SqlEditor* editor, std::optional<settings::Key> switchKey)
    : QObject(editor), editor_(editor), switch_(switchKey) {
    if (switch_) on_ = settings::current().flag(*switch_);
    connect(&settings::Changes::instance(), &settings::Changes::changed, this, &EditorFeature::reread);
}

void EditorFeature::settingsChanged(const settings::Snapshot&) {}

void EditorFeature::reread() {
    const settings::Snapshot s = settings::current();
    if (switch_) on_ = s.flag(*switch_);
    settingsChanged(s);
}
