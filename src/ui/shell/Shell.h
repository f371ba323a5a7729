#pragma once
// Opening documents, web addresses and programs for the user. Documents and
// addresses go to the desktop's handler; a program starts on its own with an
// argument list, never through a shell. A failure is recorded as an error
// number and text (external::errorFor) for the caller to read.

#include "external/LaunchFailure.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace shell {

// Opens file (a local file or a web address) with the desktop's handler;
// with parameters, or a working folder, file is a program started with them.
// True when the request was accepted.
bool shellExecuteFile(QWidget* owner, const QString& file, const QStringList& parameters = {},
                      const QString& folder = QString());

// The failure of the last call (code 0 after a success).
external::LaunchError lastError();

} // namespace shell
