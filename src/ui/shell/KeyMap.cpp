#include "shell/KeyMap.h"

#include "editor/SqlEditor.h"
#include "settings/KeySettings.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QRegularExpression>
#include <QSet>
#include <optional>

namespace {

KeyPreset presetFromName(const QString& name) {
    return name.trimmed().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0 ? KeyPreset::Desktop
                                                                                      : KeyPreset::Classic;
}

// One key as config.ini spells it; nullopt when it cannot be read.
std::optional<QKeySequence> keyFromText(const QString& text) {
    if (text.trimmed().compare(settings::kNoShortcut, Qt::CaseInsensitive) == 0) return QKeySequence();
    const QKeySequence k = QKeySequence::fromString(text.trimmed(), QKeySequence::PortableText);
    if (k.count() != 1 || k[0].key() == Qt::Key_unknown) return std::nullopt;
    return k;
}

QString keyText(const QKeySequence& k) {
    return k.isEmpty() ? settings::kNoShortcut : k.toString(QKeySequence::PortableText);
}

QStringList allIds() {
    QStringList ids;
    for (const MenuEntry* e : KeyMap::commands())
        ids << QString::fromLatin1(e->id);
    return ids;
}

// The editor's own edit command a menu command matches, if any.
SqlEditor::EditAction editActionOf(const MenuEntry& e) {
    const auto* d = std::get_if<DocumentCommand>(&e.command);
    if (!d) return SqlEditor::EditAction::None;
    switch (*d) {
    case DocumentCommand::Undo:
        return SqlEditor::EditAction::Undo;
    case DocumentCommand::Redo:
        return SqlEditor::EditAction::Redo;
    case DocumentCommand::Cut:
        return SqlEditor::EditAction::Cut;
    case DocumentCommand::Copy:
        return SqlEditor::EditAction::Copy;
    case DocumentCommand::Paste:
        return SqlEditor::EditAction::Paste;
    default:
        return SqlEditor::EditAction::None;
    }
}

} // namespace

KeyMap::KeyMap(KeyPreset preset) {
    usePreset(preset);
}

void KeyMap::usePreset(KeyPreset preset) {
    preset_ = preset;
    keys_.clear();
    for (const MenuEntry* e : commands())
        keys_.insert(QString::fromLatin1(e->id), presetKey(*e, preset));
}

KeyMap KeyMap::saved() {
    const settings::StoredShortcuts stored = settings::readShortcuts(allIds());
    KeyMap m(presetFromName(stored.preset));
    QSet<QString> changed;
    for (const MenuEntry* e : commands()) {
        const QString id = QString::fromLatin1(e->id);
        if (!stored.keys.contains(id)) continue;
        const std::optional<QKeySequence> k = keyFromText(stored.keys.value(id));
        if (!k || !editorUseOf(*k).isEmpty()) continue; // the preset's key stays
        const QString holder = m.holderOf(*k, id);
        if (!holder.isEmpty()) {
            if (changed.contains(holder)) continue; // two changes on one key: the first stays
            m.keys_[holder] = QKeySequence();
        }
        m.keys_[id] = *k;
        changed.insert(id);
    }
    return m;
}

Status KeyMap::save() const {
    QHash<QString, QString> changes;
    for (const MenuEntry* e : commands()) {
        const QString id = QString::fromLatin1(e->id);
        if (keys_.value(id) != presetKey(*e, preset_)) changes.insert(id, keyText(keys_.value(id)));
    }
    return settings::writeShortcuts(presetName(preset_), changes, allIds());
}

void KeyMap::setKey(const QString& id, const QKeySequence& key) {
    if (keys_.contains(id)) keys_[id] = key;
}

QString KeyMap::holderOf(const QKeySequence& key, const QString& except) const {
    if (key.isEmpty()) return {};
    for (const MenuEntry* e : commands()) {
        const QString id = QString::fromLatin1(e->id);
        if (id != except && keys_.value(id) == key) return id;
    }
    return {};
}

QStringList KeyMap::clashes() const {
    QStringList out;
    QSet<QString> seen;
    for (const MenuEntry* e : commands()) {
        const QKeySequence k = keys_.value(QString::fromLatin1(e->id));
        if (k.isEmpty() || seen.contains(keyText(k))) continue;
        seen.insert(keyText(k));
        QStringList holders;
        for (const MenuEntry* other : commands())
            if (keys_.value(QString::fromLatin1(other->id)) == k) holders << caption(*other);
        if (holders.size() > 1)
            out << QStringLiteral("%1: %2").arg(k.toString(QKeySequence::NativeText),
                                                holders.join(QStringLiteral(", ")));
    }
    return out;
}

const std::vector<const MenuEntry*>& KeyMap::commands() {
    static const std::vector<const MenuEntry*> list = [] {
        std::vector<const MenuEntry*> out;
        for (const MenuEntry& e : mainMenuEntries())
            if (e.parent && !std::holds_alternative<std::monostate>(e.command)) out.push_back(&e);
        return out;
    }();
    return list;
}

const MenuEntry* KeyMap::command(const QString& id) {
    for (const MenuEntry* e : commands())
        if (id == QLatin1String(e->id)) return e;
    return nullptr;
}

QKeySequence KeyMap::presetKey(const MenuEntry& entry, KeyPreset preset) {
    const char* text =
        preset == KeyPreset::Desktop && entry.desktopShortcut ? entry.desktopShortcut : entry.shortcut;
    return QKeySequence(QString::fromLatin1(text), QKeySequence::PortableText);
}

QString KeyMap::caption(const MenuEntry& entry) {
    QString c = QString::fromUtf8(entry.caption);
    c.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return c.trimmed();
}

QString KeyMap::editorUseOf(const QKeySequence& key) {
    if (key.isEmpty()) return {};
    const std::pair<QKeySequence, const char*> own[] = {
        {SqlEditor::appCommandKey(SqlEditor::CodeSense), "Code Sense"},
        {SqlEditor::appCommandKey(SqlEditor::CatalogSense), "Catalog Sense"},
        {SqlEditor::appCommandKey(SqlEditor::EscapeStop), "Stop (Esc while a run goes)"},
        {QKeySequence(Qt::ALT | Qt::Key_X), "Execute (in the editor)"},
    };
    for (const auto& [k, use] : own)
        if (k == key) return QString::fromLatin1(use);
    return {};
}

void KeyMap::applyTo(const MainWindow& window) const {
    QList<SqlEditor::MenuKey> taken;
    for (const MenuEntry* e : commands()) {
        const QKeySequence k = keys_.value(QString::fromLatin1(e->id));
        if (QAction* a = window.action(QString::fromLatin1(e->id))) a->setShortcut(k);
        if (!k.isEmpty()) taken.append({k, editActionOf(*e)});
    }
    SqlEditor::setMenuKeys(taken);
}

QString KeyMap::presetName(KeyPreset preset) {
    return preset == KeyPreset::Desktop ? QStringLiteral("desktop") : QStringLiteral("classic");
}
