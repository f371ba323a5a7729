#pragma once
// The usage texts of the two external query tools, shown by the
// "Description" links of their settings tabs.

#include <QString>

namespace options {

QString isqlTitle();  // "ISQL Description"
QString isqlText();   // the command-line tool's switches
QString isqlwTitle(); // "ISQLW Description"
QString isqlwText();  // the graphical tool's switches

} // namespace options
