#pragma once
// Imports a CSV file into a table, new or existing, in one transaction:
// rows go in batches through the server's fastest path (db::BulkLoad), off
// the caller's thread if it likes, with progress between batches and a
// stop that cancels the statement on the server.
//
// A bad row (a record with the wrong number of fields, or one the server
// refuses) either stops the import, which then leaves nothing behind (the
// transaction is rolled back, a table it created is dropped), or, when the
// request says so, is skipped and listed with its line. A batch the server
// refuses without saying which row is split in halves until the row is found.

#include "import/BatchReader.h"
#include "import/CsvPreview.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace db {
class Connection;
}

namespace csv {

struct ImportRequest {
    QString connectionString;
    QString database; // default database for the import; empty: the connection's own
    QString file;
    Format format;
    int fieldCount = 0; // fields every record must have (the header's)
    // Where the table lives: a PostgreSQL schema, a MariaDB database or a
    // SQLite attached database; empty: the connection's default.
    QString schema;
    QString table;
    bool createTable = false;
    std::vector<ImportColumn> columns; // the table's columns; those without a field keep their defaults
    bool skipBadRows = false;
    int loginTimeoutSeconds = 15;
    int batchRows = 50000;
};

struct ImportProgress {
    qint64 bytesRead = 0;
    qint64 totalBytes = 0;
    qint64 rows = 0; // rows sent so far
};

struct ImportResult {
    enum class Outcome { Imported, Failed, Stopped };
    Outcome outcome = Outcome::Failed;
    qint64 rows = 0; // rows imported (0 unless Imported)
    std::vector<BadRow> badRows; // skipped rows, in file order
    QString message;             // the closing message
    qint64 elapsedMs = 0;
    bool ok() const { return outcome == Outcome::Imported; }
};

// At most this many bad rows are skipped; one more fails the import.
inline constexpr int kMaxBadRows = 1000;

class CsvImport {
public:
    explicit CsvImport(ImportRequest request);
    ~CsvImport();

    // Runs the whole import; blocking. progress is called between batches,
    // on the running thread.
    ImportResult run(const std::function<void(const ImportProgress&)>& progress = {});
    // Stops a running import (from any thread): nothing of it stays.
    void stop();

    // The CREATE TABLE statement a new table gets, for a connection to server.
    static QString createTableSql(const ImportRequest& request, db::ServerFamily server, const QString& quote);

private:
    struct Impl;
    ImportRequest request_;
    std::atomic<bool> stop_{false};
    std::mutex connMutex_;
    db::Connection* conn_ = nullptr;
};

} // namespace csv
