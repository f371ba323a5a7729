#pragma once
// Reads a CSV file into batches of rows for the import, on a thread of its
// own, so the file is read and checked while the server stores the batch
// before. Each batch holds the fields the table takes, in its column order:
// NULL for the NULL marker, booleans as the server writes them, and values
// checked where the server does not check them itself (ColumnTypes.h).
//
// A record with the wrong number of fields, or a value that fails its
// check, is a bad row: listed with the batch it follows. When bad rows stop
// the import, the batch ends at the first one and nothing after it is read.
// At most two batches wait: memory stays a few batches, whatever the file.

#include "db/RowBlock.h"
#include "db/ServerFamily.h"
#include "import/ColumnTypes.h"
#include "import/CsvFormat.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace csv {

struct Record;

struct BadRow {
    qint64 line = 0; // where the record starts, from 1
    QString message;
};

struct Batch {
    db::RowBlock rows;
    std::vector<qint64> lines; // where each row starts in the file
    std::vector<BadRow> bad;   // rows found bad while reading, after those above
    qint64 bytesRead = 0;      // of the file, when the batch was full
    bool last = false;         // nothing follows
};

// One column the rows feed.
struct ColumnFeed {
    int source = 0; // the record's field
    QString name;
    ValueCheck check = ValueCheck::None;
    bool boolean = false; // written as the server's boolean
};

class BatchReader {
public:
    struct Options {
        QString file;
        Format format;
        int fieldCount = 0; // 0: the first record's
        std::vector<ColumnFeed> columns;
        db::ServerFamily server = db::ServerFamily::Other;
        bool stopAtBadRow = true;
        int batchRows = 50000;
    };
    explicit BatchReader(Options options);
    // Stops reading and waits for the thread.
    ~BatchReader();

    // The next batch, waiting for it to be read. The one with last set is
    // the final one.
    std::unique_ptr<Batch> next();

private:
    void read();
    void push(std::unique_ptr<Batch> batch);
    // Adds the record's fields to the batch, or a bad row; false when it was bad.
    bool add(const Record& record, Batch& batch);

    Options options_;
    std::string nullMarker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Batch>> ready_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace csv
