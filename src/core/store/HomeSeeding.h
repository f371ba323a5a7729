#pragma once
// What new folders (AppPaths) are seeded with: config.ini with every setting,
// the resource database vsql.db and the demo database, and the saved
// connection to the demo database. Existing files are never overwritten.

#include <QString>
#include <QStringList>

namespace store {

// Creates the folders, config.ini, vsql.db and the demo database where they
// are missing. Returns notices for the user (e.g. a damaged resource
// database that was set aside); empty when there is nothing to tell.
QStringList ensureSeeded();

QString demoDatabaseFile();
QString demoConnectionString();
QString demoConnectionName();

} // namespace store
