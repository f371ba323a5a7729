#include "store/HistoryStore.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "store/ResourceDb.h"
#include "store/SeedingGate.h"

#include <QRegularExpression>

namespace {

constexpr qsizetype kMaxMessageChars = 1000;

const QString kColumns = QStringLiteral(
    "id, started, duration_ms, connection, database, rows, outcome, message, text_length, substr(sql_text, 1, ?)");

qint64 number(const db::Cell& cell) { return cell ? cell->toLongLong() : 0; }
QString take(db::Cell& cell) { return cell ? std::move(*cell) : QString(); }

// Moves the row's texts into the entry (the table is not used afterwards).
HistoryEntry entryFrom(std::vector<db::Cell>& row) {
    HistoryEntry e;
    e.id = number(row[0]);
    e.started = QDateTime::fromString(take(row[1]), Qt::ISODateWithMs);
    e.durationMs = number(row[2]);
    e.connection = take(row[3]);
    e.database = take(row[4]);
    e.rows = number(row[5]);
    e.outcome = take(row[6]);
    e.message = take(row[7]);
    e.textLength = number(row[8]);
    e.text = take(row[9]);
    return e;
}

} // namespace

bool HistoryEntry::textKept() const { return textLength <= HistoryStore::kMaxTextChars; }

HistoryStore::HistoryStore(QString file) : file_(file.isEmpty() ? ResourceDb::path() : std::move(file)) {}

namespace {
// The store's own file, never created here: a missing vsql.db is an error
// (the home seeds it), not an empty database to write into.
std::unique_ptr<db::Connection> openStore(const QString& file) {
    store::waitForSeeding(); // a new home's vsql.db is still being made
    return db::Connection::open(db::sqliteConnectionString(file));
}
} // namespace

Result<qint64> HistoryStore::add(HistoryEntry e, qint64 limit) const {
    try {
        // A limit of 0 turns the history off: nothing is added and, as
        // nobody asked for it, nothing already kept is deleted.
        if (limit <= 0) return qint64(0);
        auto conn = openStore(file_);
        const qint64 length = e.text.size();
        const QVariant text = length <= kMaxTextChars ? QVariant(e.text) : QVariant();
        // One transaction: the entry and the trim land together, with one sync.
        conn->exec(QStringLiteral("BEGIN IMMEDIATE"));
        conn->exec(QStringLiteral("INSERT INTO history (started, duration_ms, connection, database, rows, outcome, "
                                  "message, text_length, sql_text) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {e.started.toUTC().toString(Qt::ISODateWithMs), e.durationMs, db::maskPasswords(e.connection),
                    e.database, e.rows, e.outcome, e.message, length, text});
        const qint64 id = number(conn->query(QStringLiteral("SELECT last_insert_rowid()")).rows.at(0).at(0));
        // Ids only grow (AUTOINCREMENT): everything at or below the id of the
        // (limit+1)-th newest entry goes, found by walking the key backwards.
        conn->exec(QStringLiteral("DELETE FROM history WHERE id <= "
                                  "(SELECT id FROM history ORDER BY id DESC LIMIT 1 OFFSET ?)"),
                   {limit});
        conn->exec(QStringLiteral("COMMIT"));
        return id;
    } catch (const db::Error& err) {
        return fail(err.description()); // closing the connection rolls back
    }
}

Result<std::vector<HistoryEntry>> HistoryStore::list(const QString& search) const {
    std::vector<HistoryEntry> out;
    try {
        auto conn = openStore(file_);
        QString sql = QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM history");
        db::Params params{qint64(kPreviewChars)};
        if (!search.isEmpty()) {
            sql += QStringLiteral(" WHERE sql_text LIKE ? ESCAPE '\\' OR connection LIKE ? ESCAPE '\\'");
            const QString pattern = containsPattern(search);
            params.insert(params.end(), {pattern, pattern});
        }
        sql += QStringLiteral(" ORDER BY started DESC, id DESC");
        db::Table t = conn->query(sql, params);
        out.reserve(t.rows.size());
        for (auto& row : t.rows) out.push_back(entryFrom(row));
    } catch (const db::Error& err) {
        return fail(err.description());
    }
    return out;
}

Result<QString> HistoryStore::fullText(qint64 id) const {
    try {
        auto conn = openStore(file_);
        const db::Table t = conn->query(QStringLiteral("SELECT sql_text, text_length FROM history WHERE id = ?"), {id});
        if (t.rows.empty()) return fail(QStringLiteral("This entry is no longer in the history."));
        if (!t.rows[0][0])
            return fail(QStringLiteral("The script of this entry (%1 characters) was too long to keep in the history.")
                            .arg(number(t.rows[0][1])));
        return *t.rows[0][0];
    } catch (const db::Error& err) {
        return fail(err.description());
    }
}

Status HistoryStore::remove(const std::vector<qint64>& ids) const {
    try {
        auto conn = openStore(file_);
        conn->exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (qint64 id : ids) conn->exec(QStringLiteral("DELETE FROM history WHERE id = ?"), {id});
        conn->exec(QStringLiteral("COMMIT"));
        return {};
    } catch (const db::Error& err) {
        return fail(err.description());
    }
}

Status HistoryStore::clear() const {
    try {
        openStore(file_)->exec(QStringLiteral("DELETE FROM history"));
        return {};
    } catch (const db::Error& err) {
        return fail(err.description());
    }
}

QString HistoryStore::connectionLabel(const QString& savedName, const QString& connectionString) {
    return savedName.trimmed().isEmpty() ? db::maskPasswords(connectionString) : savedName;
}

QString HistoryStore::messageLine(const QString& closingMessage, const QString& connectionString) {
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    static const QRegularExpression bareError(QStringLiteral("^Error: #\\S*$"));
    QStringList lines = closingMessage.split(breaks, Qt::SkipEmptyParts);
    for (QString& l : lines) l = l.trimmed();
    lines.removeAll(QString());
    if (lines.isEmpty()) return {};
    QString line = lines[0];
    if (lines.size() > 1 && bareError.match(line).hasMatch()) line += QLatin1Char(' ') + lines[1];
    line = db::scrubSecrets(line, db::passwordValues(connectionString));
    return line.size() > kMaxMessageChars ? line.left(kMaxMessageChars - 1) + QChar(0x2026) : line;
}

QString HistoryStore::containsPattern(const QString& search) {
    QString p;
    p.reserve(search.size() + 2);
    p += QLatin1Char('%');
    for (QChar c : search) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) p += QLatin1Char('\\');
        p += c;
    }
    p += QLatin1Char('%');
    return p;
}
