#pragma once
// What new folders (AppPaths) are seeded with: config.ini with every setting,
// the resource database vsql.db and the demo database, and the saved
// connection to the demo database. Existing files are never overwritten.

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace store {

// Creates the folders, config.ini, vsql.db and the demo database where they
// are missing. Returns notices for the user (e.g. a damaged resource
// database that was set aside); empty when there is nothing to tell.
QStringList ensureSeeded();

// The same with the databases made on a thread of their own, so that a first
// start opens its window without waiting for them: makes the folders and
// config.ini now and returns their notices; the databases' notices go to
// `done` on the UI thread (unless `context` is gone by then). Until then
// ResourceDb::open() and the history store wait for the databases
// (store/SeedingGate). `done` runs at once with nothing when no folder could
// be made.
QStringList startSeeding(QObject* context, std::function<void(QStringList)> done);

QString demoDatabaseFile();
QString demoConnectionString();
QString demoConnectionName();

} // namespace store
