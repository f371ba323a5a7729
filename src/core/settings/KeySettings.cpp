#include "settings/KeySettings.h"

#include "settings/AppPaths.h"
#include "settings/Ini_p.h"

#include <QFile>

namespace settings {
namespace {

const QString kPresetKey = QStringLiteral("preset");

QHash<QString, QString> fileValues() {
    QFile f(AppPaths::configFile());
    if (!f.open(QIODevice::ReadOnly)) return {};
    return settings::IniText::fromBytes(f.readAll()).values();
}

} // namespace

StoredShortcuts readShortcuts(const QStringList& ids) {
    const QHash<QString, QString> values = fileValues();
    StoredShortcuts s;
    s.preset = values.value(settings::IniText::lookupKey(kShortcutsSection, kPresetKey));
    for (const QString& id : ids) {
        const QString v = values.value(settings::IniText::lookupKey(kShortcutsSection, id));
        if (!v.isEmpty()) s.keys.insert(id, v);
    }
    return s;
}

Status writeShortcuts(const QString& preset, const QHash<QString, QString>& keys, const QStringList& ids) {
    const QHash<QString, QString> before = fileValues();
    std::vector<settings::IniEntry> entries{{kShortcutsSection, kPresetKey, preset}};
    for (const QString& id : ids) {
        if (keys.contains(id))
            entries.push_back({kShortcutsSection, id, keys.value(id)});
        else if (before.contains(settings::IniText::lookupKey(kShortcutsSection, id)))
            entries.push_back({kShortcutsSection, id, QString()}); // an empty value reads like a missing key
    }
    return settings::writeKeys(AppPaths::configFile(), entries);
}

} // namespace settings
