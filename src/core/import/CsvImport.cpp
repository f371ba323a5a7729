#include "import/CsvImport.h"

#include "catalog/SqlDialect.h"
#include "catalog/StatementGenerator.h"
#include "db/Connection.h"
#include "db/PgConnection.h"
#include "import/PgFileCopy.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace csv {
namespace {

// Ends the import with a message (a bad row in stop mode, too many bad rows).
struct Abort {
    QString message;
};

struct Stopped {};

// The server's message without its SQLSTATE, severity and lines of context.
QString firstLine(const QString& text) {
    static const QRegularExpression prefix(QStringLiteral("^(\\[[0-9A-Z]{5}\\] )?(ERROR: +)?"));
    return text.section(QLatin1Char('\n'), 0, 0).remove(prefix).trimmed();
}

// The table as statements name it, qualified by the request's schema the way
// the server qualifies (its schema on PostgreSQL, its database elsewhere).
QString qualifiedTable(const ImportRequest& r, const SqlDialect& d) {
    ObjectRef ref;
    ref.kind = ObjectKind::Table;
    ref.table = r.table;
    ref.schema = r.schema;
    ref.catalog = r.schema;
    return catalog::statementObjectName(d, ref);
}

// SQLite keeps a value of any type in any column: the values of columns
// declared as numbers, dates or timestamps are checked while reading.
void addSqliteChecks(db::Connection& conn, const ImportRequest& r, std::vector<ColumnFeed>& feeds) {
    if (r.createTable) {
        for (ColumnFeed& f : feeds)
            for (const ImportColumn& c : r.columns)
                if (c.name == f.name) f.check = checkFor(c.type);
        return;
    }
    const db::Table t = conn.schema(db::Schema::Columns, {r.schema, r.table});
    for (size_t row = 0; row < t.rows.size(); ++row)
        for (ColumnFeed& f : feeds)
            if (f.name == t.text(row, QStringLiteral("COLUMN_NAME")))
                f.check = checkForDeclared(t.text(row, QStringLiteral("TYPE_NAME")));
}

} // namespace

// The batches of one run, loaded under savepoints; what became of their rows.
struct CsvImport::Impl {
    const ImportRequest& request;
    CsvImport& owner;
    db::Connection& conn;
    std::unique_ptr<db::BulkLoad> load;
    std::unique_ptr<Batch> batch;
    std::vector<BadRow> badRows;
    qint64 loaded = 0;

    void stopIfAsked() const {
        if (owner.stop_) throw Stopped{};
    }

    void bad(const BadRow& row) {
        if (!request.skipBadRows) throw Abort{QStringLiteral("Line %1: %2").arg(row.line).arg(row.message)};
        if (int(badRows.size()) >= kMaxBadRows)
            throw Abort{QStringLiteral("More than %1 bad rows (line %2: %3).").arg(kMaxBadRows).arg(row.line).arg(row.message)};
        badRows.push_back(row);
    }

    void exec(const char* sql) { conn.exec(QLatin1String(sql)); }

    // Loads rows [first, first + count) of the batch under a savepoint; a
    // refused row is found (by the server's word or by halving) and handled.
    void loadRange(int first, int count) {
        if (count <= 0) return;
        stopIfAsked();
        exec("SAVEPOINT sqlqe_import");
        try {
            load->load(batch->rows, first, count);
            exec("RELEASE SAVEPOINT sqlqe_import");
            loaded += count;
            return;
        } catch (const db::Error& e) {
            if (e.isCancel() || owner.stop_) throw Stopped{};
            exec("ROLLBACK TO SAVEPOINT sqlqe_import");
            exec("RELEASE SAVEPOINT sqlqe_import");
            std::optional<int> row = e.position().row;
            if (row && (*row < first || *row >= first + count)) row.reset();
            if (!row && count == 1) row = first;
            if (!row) {
                loadRange(first, count / 2);
                loadRange(first + count / 2, count - count / 2);
                return;
            }
            bad({batch->lines[size_t(*row)], firstLine(e.description())});
            loadRange(first, *row - first);
            loadRange(*row + 1, first + count - *row - 1);
        }
    }

    // The file as it is, through COPY (PgFileCopy.h): a refused record stops
    // the import with the line it starts on.
    void copyWholeFile(db::PgConnection& pg, const QString& statement,
                       const std::function<void(const FileCopyProgress&)>& progress) {
        try {
            loaded = copyFile(pg, statement, request.file, request.format, [&](const FileCopyProgress& p) {
                stopIfAsked();
                progress(p);
            });
        } catch (const db::Error& e) {
            if (e.isCancel() || owner.stop_) throw Stopped{};
            if (!e.position().row) throw;
            const qint64 line = recordStartLine(request.file, request.format, *e.position().row + 1);
            throw Abort{QStringLiteral("Line %1: %2").arg(line).arg(firstLine(e.description()))};
        }
    }

    // The batch's rows, then the rows found bad after them while reading.
    void loadBatch() {
        loadRange(0, batch->rows.rowCount());
        for (const BadRow& b : batch->bad) bad(b);
    }
};

CsvImport::CsvImport(ImportRequest request) : request_(std::move(request)) {}
CsvImport::~CsvImport() = default;

void CsvImport::stop() {
    stop_ = true;
    std::lock_guard lock(connMutex_);
    if (conn_) conn_->cancel();
}

QString CsvImport::createTableSql(const ImportRequest& r, db::ServerFamily server, const QString& quote) {
    const SqlDialect d = SqlDialect::forServer(server, quote);
    QStringList defs;
    for (const ImportColumn& c : r.columns) defs << d.quotedName(c.name) + QLatin1Char(' ') + sqlType(c.type, server, c.guess);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(qualifiedTable(r, d), defs.join(QStringLiteral(", ")));
}

ImportResult CsvImport::run(const std::function<void(const ImportProgress&)>& progress) {
    QElapsedTimer timer;
    timer.start();
    ImportResult result;
    const QFileInfo info(request_.file);
    if (!info.isFile() || !info.isReadable()) {
        result.message = QStringLiteral("Cannot read %1.").arg(request_.file);
        return result;
    }
    std::unique_ptr<db::Connection> conn;
    bool created = false, inTransaction = false;
    QString table;
    try {
        db::OpenOptions options;
        options.loginTimeoutSeconds = request_.loginTimeoutSeconds;
        options.localData = true; // bulk loads send the program's own rows
        conn = db::Connection::open(request_.connectionString, options);
        {
            std::lock_guard lock(connMutex_);
            conn_ = conn.get();
        }
        if (!request_.database.isEmpty()) conn->setDefaultDatabase(request_.database);
        const db::ServerFamily server = conn->serverFamily();
        const SqlDialect d = SqlDialect::forServer(server, conn->identifierQuote());
        table = qualifiedTable(request_, d);

        BatchReader::Options read{request_.file, request_.format, request_.fieldCount, {}, server, !request_.skipBadRows,
                                  request_.batchRows};
        QStringList columns;
        for (const ImportColumn& c : request_.columns) {
            if (c.source < 0) continue;
            if (request_.fieldCount > 0 && c.source >= request_.fieldCount)
                throw Abort{QStringLiteral("The file has no field %1 for the column %2.").arg(c.source + 1).arg(c.name)};
            columns << d.quotedName(c.name);
            read.columns.push_back({c.source, c.name, ValueCheck::None, request_.createTable && c.type == ColumnType::Boolean});
        }
        if (columns.isEmpty()) throw Abort{QStringLiteral("No column of the table takes a field of the file.")};
        if (server == db::ServerFamily::SQLite) addSqliteChecks(*conn, request_, read.columns);
        if (request_.createTable) {
            conn->exec(createTableSql(request_, server, conn->identifierQuote()));
            created = true;
        }
        Impl run{request_, *this, *conn, nullptr, nullptr, {}, 0};
        conn->exec(QStringLiteral("BEGIN"));
        inTransaction = true;

        auto* pg = server == db::ServerFamily::PostgreSQL ? dynamic_cast<db::PgConnection*>(conn.get()) : nullptr;
        if (const auto copy = pg ? fileCopyStatement(request_, d, table, columns) : std::nullopt) {
            run.copyWholeFile(*pg, *copy, [&](const FileCopyProgress& p) {
                if (progress) progress({p.bytesRead, info.size(), std::max<qint64>(0, p.rows - request_.format.header)});
            });
        } else {
            run.load = conn->bulkLoad(table, columns);
            BatchReader reader(std::move(read));
            do {
                run.batch = reader.next();
                run.loadBatch();
                if (progress) progress({run.batch->bytesRead, info.size(), run.loaded});
            } while (!run.batch->last);
        }
        run.stopIfAsked();
        conn->exec(QStringLiteral("COMMIT"));
        inTransaction = created = false;
        result.outcome = ImportResult::Outcome::Imported;
        result.rows = run.loaded;
        result.badRows = std::move(run.badRows);
        std::stable_sort(result.badRows.begin(), result.badRows.end(),
                         [](const BadRow& a, const BadRow& b) { return a.line < b.line; });
        result.message = QStringLiteral("%1 rows imported into %2.").arg(result.rows).arg(table);
        if (!result.badRows.empty()) result.message += QStringLiteral(" %1 bad rows skipped.").arg(result.badRows.size());
    } catch (const Abort& a) {
        result.message = a.message;
    } catch (const Stopped&) {
        result.message = QStringLiteral("The import was stopped.");
        result.outcome = ImportResult::Outcome::Stopped;
    } catch (const db::Error& e) {
        result.message = firstLine(e.description());
        if (stop_) result.outcome = ImportResult::Outcome::Stopped;
    }
    {
        std::lock_guard lock(connMutex_);
        conn_ = nullptr;
    }
    if (!result.ok()) {
        // Nothing of a failed or stopped import stays.
        try {
            if (conn) conn->clearPendingCancel();
            if (conn && inTransaction) conn->exec(QStringLiteral("ROLLBACK"));
            if (conn && created) conn->exec(QStringLiteral("DROP TABLE ") + table);
        } catch (const db::Error& e) {
            result.message += QStringLiteral("\nThe import could not be undone: %1").arg(firstLine(e.description()));
        }
        result.message += QStringLiteral("\nNothing was imported.");
    }
    result.elapsedMs = timer.elapsed();
    return result;
}

} // namespace csv
