#pragma once
// Query > Keyboard Shortcuts...: every menu command with its menu and key,
// and the keys the editor keeps for itself (not changeable). The user picks
// a preset to start from ("Classic" or "Desktop standard") and gives the
// selected command a key by pressing it in the key field, or none
// ("Clear"), or its preset's key ("Default"). A key another command holds is
// moved only when the user agrees (that command is then left without one);
// a key the editor keeps is refused. OK writes the keys to config.ini; a
// failed write keeps the dialog open and says why.

#include "shell/KeyMap.h"

#include <QDialog>

class QComboBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class ShortcutsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShortcutsDialog(const KeyMap& keys, QWidget* parent = nullptr);
    ~ShortcutsDialog() override;

    const KeyMap& keyMap() const { return keys_; }
    // Gives command id the key (none when empty), asking first when another
    // command holds it; false when the key was not given.
    bool assign(const QString& id, const QKeySequence& key);
    void select(const QString& id);

    QTreeWidget* commandList() const { return list_; }
    QComboBox* presetBox() const { return preset_; }
    QKeySequenceEdit* keyField() const { return keyField_; }
    QLabel* notice() const { return notice_; }
    // The key a row shows for command id.
    QString shownKey(const QString& id) const;

public slots:
    void accept() override;

private:
    void fillList();
    void showKeys();
    void choosePreset(int index);
    void filter(const QString& text);
    QString selectedId() const;
    QTreeWidgetItem* rowOf(const QString& id) const;

    KeyMap keys_;
    QComboBox* preset_;
    QLineEdit* search_;
    QTreeWidget* list_;
    QKeySequenceEdit* keyField_;
    QLabel* notice_;
};
