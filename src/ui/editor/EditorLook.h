#pragma once
// The editor's look and typing as the settings say: the font (font,
// fontsize), syntax colouring (syntaxhighlight) and typed tabs turned into
// blanks (converttabs). Applied when attached and again whenever the
// settings change, so an open document follows the options dialog.

#include "editor/EditorFeature.h"

#include <QFont>

class EditorLook : public EditorFeature {
    Q_OBJECT
public:
    explicit EditorLook(SqlEditor* editor);

signals:
    // The editor's font after it was applied (the document's panes follow it).
    void fontApplied(const QFont& font);

protected:
    void settingsChanged(const settings::Snapshot& s) override;
};
