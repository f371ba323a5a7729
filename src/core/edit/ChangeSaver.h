#pragma once
// Runs the statements of a save on a connection, all or nothing: in a
// transaction of its own, or, when the session is already inside one the
// user opened, under a savepoint of that transaction (which stays open: the
// program never commits the user's transaction). Every statement must touch
// exactly one row; when one does not, or the server refuses one, everything
// of this save is rolled back and the message names the row.
//
// Blocking: call it on a worker thread (the connection's thread).

#include "edit/SaveStatements.h"

#include <map>

namespace edit {

struct SaveOutcome {
    bool saved = false;
    QString message;           // why nothing was saved, or what was done
    qint64 failedRow = -1;     // the row the failure names
    bool joinedTransaction = false; // the changes joined the user's open transaction
    std::map<qint64, std::vector<Value>> readBack; // rows as saved, where the server returned them
};

SaveOutcome saveChanges(db::Connection& conn, const std::vector<SaveStatement>& statements,
                        const std::function<QString(qint64 row)>& rowName);

} // namespace edit
