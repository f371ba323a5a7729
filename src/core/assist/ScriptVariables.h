#pragma once
// The variables a script uses, for the completion popup's variable list.

#include <QString>
#include <QStringList>

namespace assist {

// Every marker-led name in the script ("@total", "@@ROWCOUNT", "@row_1"):
// the marker followed by letters, digits, "_", "#", "$" or further markers.
// Names inside string literals, quoted identifiers ("…", `…`, […]) and
// comments (-- to the end of the line, /* … */) are not variables; neither
// is a marker standing alone or glued to a preceding word (an address such
// as a@b). Each name is listed once, without regard to case, in the order
// of its first use. One pass over the text: linear in the script's length.
QStringList buildItem(const QString& script, QChar marker = QLatin1Char('@'));

} // namespace assist
