#include "db/SqliteConnection.h"

#include "db/SqliteCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <sqlite3.h>

namespace db {
namespace {

// The file a "file:" URI names: without "//" or "//localhost", query and
// fragment, percent-decoded.
QString uriPath(const QString& uri) {
    QString rest = uri.mid(5);
    if (rest.startsWith(QLatin1String("//localhost/"))) rest = rest.mid(11);
    else if (rest.startsWith(QLatin1String("//"))) rest = rest.mid(2);
    const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    return QUrl::fromPercentEncoding((end < 0 ? rest : rest.left(end)).toUtf8());
}

QString quoteIdent(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

std::unique_ptr<SqliteConnection> SqliteConnection::open(const ConnectionString& cs, const OpenOptions& options) {
    QString file = cs.sqliteFile().trimmed();
    if (file.isEmpty())
        throw Error::usage(QStringLiteral("No database file given: use Provider=SQLite;Data Source=<file>."));
    if (file.startsWith(QLatin1String("~/"))) file = QDir::homePath() + file.mid(1);
    // A file: URI goes to SQLite whole: it reads its query (mode=ro, cache=shared, …) itself.
    const bool uri = file.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
    const QString path = uri ? uriPath(file) : file;
    if (path != QLatin1String(":memory:") && !path.isEmpty() && !options.createIfMissing && !QFileInfo::exists(path))
        throw Error(SQLITE_CANTOPEN, QStringLiteral("The database file \"%1\" does not exist.").arg(path));

    sqlite3* db = nullptr;
    // One thread uses a connection at a time; the only cross-thread call is
    // sqlite3_interrupt, which needs no lock. Skipping SQLite's per-call
    // mutex saves a lock per column read.
    int flags = (options.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (options.createIfMissing && !options.readOnly) flags |= SQLITE_OPEN_CREATE;
    if (uri) flags |= SQLITE_OPEN_URI;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw Error(rc, QStringLiteral("Cannot open \"%1\": %2").arg(file, msg));
    }
    std::unique_ptr<SqliteConnection> conn(new SqliteConnection(db));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    // Touch the schema so a file that is not a database fails here, clearly.
    const int check = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (check != SQLITE_OK) {
        Error e = conn->lastError(check);
        throw Error(e.number(), QStringLiteral("Cannot open \"%1\": %2").arg(file, e.description()));
    }
    return conn;
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(db_); }

Error SqliteConnection::lastError(int code) const {
    Error e(sqlite3_extended_errcode(db_) ? sqlite3_extended_errcode(db_) : code,
            QString::fromUtf8(sqlite3_errmsg(db_)), code == SQLITE_INTERRUPT ? QStringLiteral("HY008") : QString());
    if ((code & 0xff) == SQLITE_INTERRUPT) e.setCancelled(true);
    return e;
}

std::unique_ptr<Cursor> SqliteConnection::execute(const QString& sql, const Params& params) {
    return std::make_unique<SqliteCursor>(*this, sql, params);
}

void SqliteConnection::cancel() { sqlite3_interrupt(db_); }

QString SqliteConnection::serverVersion() const { return QString::fromLatin1(sqlite3_libversion()); }

QStringList SqliteConnection::databaseNames() {
    QStringList names;
    const Table t = query(QStringLiteral("SELECT name FROM pragma_database_list ORDER BY seq"));
    for (const auto& row : t.rows)
        if (row[0] && *row[0] != QLatin1String("temp")) names << *row[0];
    return names;
}

void SqliteConnection::setDefaultDatabase(const QString& name) {
    if (name.isEmpty()) return;
    for (const QString& db : databaseNames())
        if (db.compare(name, Qt::CaseInsensitive) == 0) {
            defaultDb_ = db;
            return;
        }
    throw Error(SQLITE_ERROR, QStringLiteral("There is no database named \"%1\" in this file.").arg(name));
}

std::optional<bool> SqliteConnection::inTransaction() { return sqlite3_get_autocommit(db_) == 0; }

Table SqliteConnection::schema(Schema kind, const SchemaFilter& filter) {
    Table out;
    QStringList dbs = databaseNames();
    if (!filter.catalog.isEmpty())
        dbs.removeIf([&](const QString& d) { return d.compare(filter.catalog, Qt::CaseInsensitive) != 0; });
    switch (kind) {
    case Schema::Catalogs:
        out.columns = schemaColumns(kind);
        for (const QString& d : dbs) out.rows.push_back({d});
        break;
    case Schema::Procedures:
    case Schema::ProcedureColumns: // SQLite has no stored procedures
        out.columns = schemaColumns(kind);
        break;
    case Schema::Tables: {
        out.columns = schemaColumns(kind);
        for (const QString& d : dbs) {
            if (filter.table.isEmpty() || filter.table == QLatin1String("sqlite_schema"))
                out.rows.push_back({d, Cell(), QStringLiteral("sqlite_schema"), QStringLiteral("SYSTEM TABLE")});
            const Table t = query(QStringLiteral("SELECT name, type FROM %1.sqlite_schema WHERE type IN ('table','view')"
                                                 " AND (?1 = '' OR name = ?1) ORDER BY rowid")
                                      .arg(quoteIdent(d)),
                                  {filter.table});
            for (const auto& row : t.rows) {
                const QString name = row[0].value_or(QString());
                QString type = QStringLiteral("TABLE");
                if (row[1] == QStringLiteral("view"))
                    type = QStringLiteral("VIEW");
                else if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
                    type = QStringLiteral("SYSTEM TABLE");
                out.rows.push_back({d, Cell(), name, type});
            }
        }
        break;
    }
    case Schema::Columns: {
        out.columns = schemaColumns(kind);
        for (const QString& d : dbs) {
            const Table tables =
                query(QStringLiteral("SELECT name FROM %1.sqlite_schema WHERE type IN ('table','view')"
                                     " AND (?1 = '' OR name = ?1) ORDER BY rowid")
                          .arg(quoteIdent(d)),
                      {filter.table});
            for (const auto& trow : tables.rows) {
                const QString table = trow[0].value_or(QString());
                const Table cols = query(QStringLiteral("SELECT cid, name, type, \"notnull\" FROM pragma_table_info(?1, ?2)"),
                                         {table, d});
                for (const auto& c : cols.rows) {
                    const QString decl = c[2].value_or(QString());
                    const Field f = sqliteDeclaredField(c[1].value_or(QString()), decl);
                    out.rows.push_back({d, Cell(), table, f.name, QString::number(c[0].value_or("0").toInt() + 1),
                                        QString::number(int(f.type)), QString::number(f.definedSize), decl,
                                        c[3] == QStringLiteral("1") ? QStringLiteral("NO") : QStringLiteral("YES")});
                }
            }
        }
        break;
    }
    }
    return out;
}

} // namespace db
