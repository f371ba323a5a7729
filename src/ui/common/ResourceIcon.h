#pragma once
// The program's own pictures (":/icons/NAME.svg"), each read once. Making a
// QIcon from an SVG file parses the file there and then; the toolbar of
// every document and the menus ask for the same few dozen, so they share one
// icon per name (its rendered sizes are kept with it). UI thread only.

#include <QIcon>
#include <QString>

namespace common {

QIcon resourceIcon(const QString& name);

} // namespace common
