#pragma once
// Ties the controls of the options dialog to the keys of config.ini: each
// key is bound to exactly one control (or one pair of option buttons) that
// knows how to show a stored value and how to give the value to store.
// Reading and writing walk the key table, so the values come out in the
// table's order, which is the order config.ini is written in.

#include "settings/Settings.h"

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

class SettingsBindings {
public:
    // Ticked exactly when the value is "1" (for a FlagDefaultOn key: unless
    // it is "0"); written as "1" or "0".
    void bindFlag(settings::Key key, QCheckBox* box);
    // The text as stored, unchanged both ways (no validation).
    void bindText(settings::Key key, QLineEdit* field);
    void bindText(settings::Key key, QComboBox* editableBox);
    // Two option buttons: "0" selects zeroButton, anything else oneButton;
    // written as "0" when zeroButton is selected, else "1".
    void bindChoice(settings::Key key, QAbstractButton* zeroButton, QAbstractButton* oneButton);
    // Anything else: how to show a value and what to write.
    void bind(settings::Key key, QWidget* control, std::function<void(const QString&)> show,
              std::function<QString()> value);

    bool isBound(settings::Key key) const { return bool(bindings_[size_t(key)].show); }
    // The control of a key (for a choice, the button that writes "1").
    QWidget* control(settings::Key key) const { return bindings_[size_t(key)].control; }

    // Shows every bound key's value, in the key table's order.
    void show(const settings::Snapshot& values) const;
    // Every bound key with the value to write, in the key table's order.
    std::vector<std::pair<settings::Key, QString>> values() const;

private:
    struct Binding {
        QWidget* control = nullptr;
        std::function<void(const QString&)> show;
        std::function<QString()> value;
    };
    std::array<Binding, settings::kKeyCount> bindings_;
};
