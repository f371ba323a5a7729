#include "options/SettingsBindings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using settings::Key;

namespace {
const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");
} // namespace

void SettingsBindings::bind(Key key, QWidget* control, std::function<void(const QString&)> show,
                            std::function<QString()> value) {
    Q_ASSERT(!isBound(key)); // one control per key
    bindings_[size_t(key)] = {control, std::move(show), std::move(value)};
}

void SettingsBindings::bindFlag(Key key, QCheckBox* box) {
    // a flag that is on unless "0" shows ticked for a missing value, so OK
    // does not turn it off unasked
    const bool onUnlessOff = settings::spec(key).kind == settings::Kind::FlagDefaultOn;
    bind(
        key, box, [box, onUnlessOff](const QString& v) { box->setChecked(onUnlessOff ? v != kOff : v == kOn); },
        [box] { return box->isChecked() ? kOn : kOff; });
}

void SettingsBindings::bindText(Key key, QLineEdit* field) {
    bind(
        key, field, [field](const QString& v) { field->setText(v); }, [field] { return field->text(); });
}

void SettingsBindings::bindText(Key key, QComboBox* editableBox) {
    bind(
        key, editableBox, [editableBox](const QString& v) { editableBox->setEditText(v); },
        [editableBox] { return editableBox->currentText(); });
}

void SettingsBindings::bindChoice(Key key, QAbstractButton* zeroButton, QAbstractButton* oneButton) {
    bind(
        key, oneButton,
        [zeroButton, oneButton](const QString& v) {
            // Like a click, so whatever follows the buttons follows the value too.
            (v == kOff ? zeroButton : oneButton)->setChecked(true);
        },
        [zeroButton] { return zeroButton->isChecked() ? kOff : kOn; });
}

void SettingsBindings::show(const settings::Snapshot& values) const {
    for (const settings::KeySpec& k : settings::allKeys())
        if (const Binding& b = bindings_[size_t(k.key)]; b.show) b.show(values.text(k.key));
}

std::vector<std::pair<Key, QString>> SettingsBindings::values() const {
    std::vector<std::pair<Key, QString>> out;
    out.reserve(bindings_.size());
    for (const settings::KeySpec& k : settings::allKeys())
        if (const Binding& b = bindings_[size_t(k.key)]; b.value) out.emplace_back(k.key, b.value());
    return out;
}
