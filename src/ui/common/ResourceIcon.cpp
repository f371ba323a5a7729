#include "common/ResourceIcon.h"

#include <QHash>

namespace common {

QIcon resourceIcon(const QString& name) {
    static QHash<QString, QIcon> made;
    auto it = made.find(name);
    if (it == made.end()) it = made.insert(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
    return *it;
}

} // namespace common
