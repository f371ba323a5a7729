#pragma once
// sqlqe-run --import FILE --table NAME: loads a CSV file into a table, the
// editor's "Import CSV…" without its dialog. The file's format is detected
// (each part may be given instead); an existing table takes the fields by
// the header's names (by position without a header), a missing one is
// created with the types guessed from the first 10,000 rows. Progress and
// the closing message go to stderr.

#include <QCommandLineParser>

class SignalWatcher;

// The options the command adds to the runner's.
void addImportOptions(QCommandLineParser& parser);

// Runs the import the options describe on connectionString; returns the
// exit status (0 imported, 1 failed, 2 bad options, 128 + signal when stopped).
int runImport(const QCommandLineParser& parser, const QString& connectionString, SignalWatcher& watcher);
