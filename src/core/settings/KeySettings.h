#pragma once
// The keyboard shortcuts kept in the [Keys] section of config.ini: the
// preset the user started from ("preset=classic" or "preset=desktop") and
// every command whose key differs from that preset, by command id
// ("mnuFileExit=Ctrl+Alt+Q"; "none" for a command left without a key).
// Keys are QKeySequence texts; what they mean is the widgets' business.
// Ids match without regard to case, like every key of the file.

#include "base/Result.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace settings {

inline const QString kShortcutsSection = QStringLiteral("Keys");
inline const QString kNoShortcut = QStringLiteral("none");

struct StoredShortcuts {
    QString preset;               // as written; empty when missing
    QHash<QString, QString> keys; // command id (as asked for) -> key text
};

// The section as config.ini holds it now, for the given command ids.
StoredShortcuts readShortcuts(const QStringList& ids);
// Replaces the section's preset and keys in one atomic write: an id of ids
// that is not in keys loses any value it had. Other lines survive.
Status writeShortcuts(const QString& preset, const QHash<QString, QString>& keys, const QStringList& ids);

} // namespace settings
