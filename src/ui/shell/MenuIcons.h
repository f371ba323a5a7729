#pragma once
// The toolbar-style icons some menu entries carry, by the entry's object
// name (":/icons/<name>.svg").

#include <QHash>
#include <QString>

const QHash<QString, const char*>& menuIcons();
