#pragma once
// A small SQLite database of a test's own: a file made from a few statements.

#include "db/Connection.h"

#include <QStringList>

// Runs the statements on the file (made when missing) and returns the
// connection string that opens it.
inline QString sqliteFile(const QString& file, const QStringList& statements) {
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + file;
    auto c = db::Connection::open(cs, {15, true});
    for (const QString& sql : statements)
        c->exec(sql);
    return cs;
}
