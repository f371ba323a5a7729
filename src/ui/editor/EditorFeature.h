#pragma once
// The base of an editor feature: case correction, the error-line mark, the
// statement at the caret, completion, the editor's look. A feature is
// attached to one editor for the editor's lifetime (it is the editor's
// child), may be switched on and off by one setting, and is told when the
// settings change, so an option changed in the options dialog reaches the
// documents that are already open.
//
// A feature reads what it needs in its own constructor; afterwards
// settingsChanged() brings it up to date. isOn() follows the switch.

#include "settings/Settings.h"

#include <QObject>
#include <optional>

class SqlEditor;

class EditorFeature : public QObject {
    Q_OBJECT
public:
    // Whether the feature works now (always, without a switch).
    bool isOn() const { return on_; }

protected:
    // switchKey: the flag setting that turns the feature on and off.
    explicit EditorFeature(SqlEditor* editor, std::optional<settings::Key> switchKey = std::nullopt);

    SqlEditor* editor() const { return editor_; }
    // The settings changed; isOn() already says what the switch says now.
    virtual void settingsChanged(const settings::Snapshot& s);

private:
    void reread();

    SqlEditor* editor_;
    std::optional<settings::Key> switch_;
    bool on_ = true;
};
