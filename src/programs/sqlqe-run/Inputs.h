#pragma once
// What sqlqe-run reads before a run: the script (a file or standard input)
// and the connection string (given, a saved connection of the home, a file,
// or standard input). Every failure is a message for stderr; nothing here
// guesses silently.

#include "base/Result.h"

#include <QString>

// Call first thing in main, before any thread or descriptor exists: when
// the program was started with its standard input closed, that is noted
// and /dev/null takes descriptor 0, so no descriptor made later (an event
// or signal descriptor) is mistaken for the input.
void guardStandardInput();

// A script decoded for sending: valid UTF-8 as it is, a file without any
// UTF-8 sequence as Latin-1 (with a notice), anything else refused with the
// offset of its first byte that is not UTF-8.
struct ScriptInput {
    QString text;
    QString notice; // for stderr, e.g. that the file was read as Latin-1
};
Result<ScriptInput> readScriptInput(const QString& pathOrDash);

// The connection string from exactly one of: --connect STRING (or "-" for
// standard input), --connection NAME (saved in the home's resource
// database; a password it keeps in the desktop keyring is put back), or
// --connect-file FILE.
struct ConnectionSource {
    QString connect;     // --connect
    QString savedName;   // --connection
    QString file;        // --connect-file
};
Result<QString> readConnectionString(const ConnectionSource& source);
