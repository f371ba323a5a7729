#pragma once
// The resource database vsql.db in the data folder: keywords, provider
// kinds, saved connections, templates, object snippets and the query history.
//
// Every operation opens its own connection, does its one piece of work with
// bound parameters and closes it again; no connection is kept between
// operations or shared between windows.

#include "base/Result.h"
#include "db/Connection.h"

#include <QString>

#include <memory>

class ResourceDb {
public:
    static QString path();
    // A new connection to vsql.db; throws db::Error when it cannot be opened.
    static std::unique_ptr<db::Connection> open();

    struct Opened {
        bool created = false; // a new file was made (first start, or after a damaged one)
        QString notice;       // for the user, e.g. where a damaged file was moved
    };
    // Makes sure vsql.db exists with all its tables: creates a missing file
    // with its first content, adds missing tables to an existing one, and
    // moves a damaged file aside (vsql.db.corrupt-<timestamp>) before
    // creating a new one. Never overwrites a file silently. Fails when no
    // usable file could be made.
    static Result<Opened> ensure();

    // Adds the saved connection unless one of that name exists.
    static Status ensureConnection(const QString& name, const QString& connectionString, int type);

private:
    static Status createFresh();
};
