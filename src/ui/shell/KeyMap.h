#pragma once
// Every menu command's key: one of two presets, "Classic" (the keys the
// menus were described with) and "Desktop standard" (Ctrl+O opens, Ctrl+W
// closes, Ctrl+Q quits, Ctrl+P prints, Ctrl+Shift+Z redoes; what the classic
// keys did moves to free keys), and the user's changes to it. Both presets
// come from the menu table (MainMenu); config.ini keeps the preset and the
// changes (KeySettings). A map in use never gives one key to two commands.

#include "base/Result.h"
#include "shell/MainMenu.h"

#include <QHash>
#include <QKeySequence>
#include <QString>
#include <vector>

class MainWindow;

enum class KeyPreset { Classic, Desktop };

class KeyMap {
public:
    // Every command at the preset's key.
    explicit KeyMap(KeyPreset preset = KeyPreset::Classic);
    // As config.ini keeps it. A key that cannot be read, or one the editor
    // keeps, is ignored; a changed key takes it from the command that held
    // it by the preset.
    static KeyMap saved();
    Status save() const;

    KeyPreset preset() const { return preset_; }
    // Every command back to the preset's key.
    void usePreset(KeyPreset preset);
    QKeySequence key(const QString& id) const { return keys_.value(id); }
    void setKey(const QString& id, const QKeySequence& key);
    // The command (id) that holds key, other than except; empty for none.
    QString holderOf(const QKeySequence& key, const QString& except = QString()) const;
    // "Ctrl+N: New, Open New" for each key held by more than one command.
    QStringList clashes() const;

    // The entries that carry a command, in menu order.
    static const std::vector<const MenuEntry*>& commands();
    static const MenuEntry* command(const QString& id);
    static QKeySequence presetKey(const MenuEntry& entry, KeyPreset preset);
    // The caption without its & mnemonic ("Save As...").
    static QString caption(const MenuEntry& entry);
    // What the editor does on a key of its own ("Code Sense"), or empty.
    static QString editorUseOf(const QKeySequence& key);

    // Gives the window's menu entries their keys, and tells the editors
    // which keys the menus hold.
    void applyTo(const MainWindow& window) const;

    static QString presetName(KeyPreset preset); // "classic", "desktop"

    bool operator==(const KeyMap& o) const { return preset_ == o.preset_ && keys_ == o.keys_; }

private:
    KeyPreset preset_;
    QHash<QString, QKeySequence> keys_; // every command's key, empty for none
};
