#include "settings/KeySettings.h"

#include "settings/AppPaths.h"
#include "settings/Ini.h"

#include <QFile>

namespace keysettings {
namespace {

const QString kPresetKey = QStringLiteral("preset");

QHash<QString, QString> fileValues() {
    QFile f(AppPaths::configFile());
    if (!f.open(QIODevice::ReadOnly)) return {};
    return ini::IniText::fromBytes(f.readAll()).values();
}

} // namespace

Stored read(const QStringList& ids) {
    const QHash<QString, QString> values = fileValues();
    Stored s;
    s.preset = values.value(ini::IniText::lookupKey(kSection, kPresetKey));
    for (const QString& id : ids) {
        const QString v = values.value(ini::IniText::lookupKey(kSection, id));
        if (!v.isEmpty()) s.keys.insert(id, v);
    }
    return s;
}

Status write(const QString& preset, const QHash<QString, QString>& keys, const QStringList& ids) {
    const QHash<QString, QString> before = fileValues();
    std::vector<ini::Entry> entries{{kSection, kPresetKey, preset}};
    for (const QString& id : ids) {
        if (keys.contains(id))
            entries.push_back({kSection, id, keys.value(id)});
        else if (before.contains(ini::IniText::lookupKey(kSection, id)))
            entries.push_back({kSection, id, QString()}); // an empty value reads like a missing key
    }
    return ini::writeKeys(AppPaths::configFile(), entries);
}

} // namespace keysettings
