#pragma once
// Opening documents, web addresses and files with the desktop's handler.
// Programs are never started through a shell.

#include <QString>

class QWidget;

namespace shell {

// Opens a file or URL with its default application; false when that failed.
bool shellExecuteFile(QWidget* owner, const QString& target);

} // namespace shell
