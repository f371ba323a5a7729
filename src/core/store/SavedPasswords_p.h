#pragma once
// Passwords of saved connections in a SecretStore instead of vsql.db.
//
// A stored connection string then holds a reference where the password was:
// "Pwd={keyring:<id>}", id a random UUID naming the secret store's entry.
// The value "keyring:" + UUID cannot be a password typed by accident, and as
// the value of a password key it is masked like any password. Only the
// password keys' values are touched; everything else stays as written.
//
// The password is put back (resolve) only where the string is handed over
// for use: to a query document, to a run of sqlqe-run.

#include "base/Result.h"

#include <QString>
#include <QStringList>

class SecretStore;

namespace store {

// True for a password value that is a reference ("keyring:<uuid>").
bool isPasswordReference(const QString& passwordValue);
// The text written in place of a password: "{keyring:<id>}".
QString passwordReferenceText(const QString& id);
// The entry ids the string's password keys refer to, in order.
QStringList passwordReferenceIds(const QString& connectionString);

// The string with every reference replaced by its password (quoted as
// needed). A string without references comes back unchanged without asking
// the store. A reference that cannot be read is a failure saying why: the
// string is never handed on with a wrong or missing password.
Result<QString> resolvePasswords(const QString& connectionString, SecretStore& store);

// A string made ready for vsql.db.
struct SealedPasswords {
    QString connectionString; // what to store
    QStringList written;      // entries written to the store for it
    QString notice;           // for the user when a password stayed in vsql.db against the rule
};
// Moves every plain password of the string into the store (when it is
// available; a URI is written in its key=value form first)
// and puts references in their place. References to ownIds (the
// entries of the row being saved) stay as they are; any other reference is
// read and stored again under a new id, so no two rows share an entry.
// Where the store is not available the passwords stay in the string; where
// it fails to take one, that one stays too and notice says so.
Result<SealedPasswords> sealPasswords(const QString& connectionString, const QStringList& ownIds, SecretStore& store);

// Removes the entries; a notice for the user when one could not be removed.
QString forgetPasswords(const QStringList& ids, SecretStore& store);

} // namespace store
