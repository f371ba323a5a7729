#include "edit/SaveStatements.h"

#include "edit/ValueFile.h"

#include <QStringList>

namespace edit {
namespace {

bool isBinary(db::FieldType t) {
    return t == db::FieldType::Binary || t == db::FieldType::VarBinary || t == db::FieldType::LongVarBinary;
}

// PostgreSQL types without an equality operator: a changed value is not
// compared (json is compared as the text it was stored as).
constexpr unsigned kPgJson = 114;
bool pgWithoutEquality(unsigned type) {
    switch (type) {
    case 142: case 600: case 601: case 602: case 603: case 604: case 628: case 718: return true; // xml, geometry
    default: return false;
    }
}

// Builds the parameterised text and the review text side by side.
class Writer {
public:
    Writer(const SqlDialect& dialect, db::ServerFamily server) : dialect_(dialect), server_(server) {}

    Writer& text(const QString& s) {
        sql_ += s;
        review_ += s;
        return *this;
    }
    Writer& name(const QString& n) { return text(dialect_.quotedName(n)); }
    Writer& value(const Value& v, const db::Field& field) {
        params_.push_back(param(v, field));
        sql_ += server_ == db::ServerFamily::PostgreSQL ? QStringLiteral("$%1").arg(params_.size()) : QStringLiteral("?");
        review_ += literal(v, field);
        return *this;
    }
    SaveStatement statement(SaveStatement::Kind kind, qint64 row, bool returnsRow) {
        return {kind, row, sql_, params_, review_, returnsRow};
    }

private:
    static QVariant param(const Value& v, const db::Field& field) {
        if (!v) return {};
        if (isBinary(field.type)) return binaryBytes(*v);
        return *v;
    }
    QString literal(const Value& v, const db::Field& field) const {
        if (!v) return QStringLiteral("NULL");
        if (isBinary(field.type)) {
            const QString hex = QString::fromLatin1(binaryBytes(*v).toHex().toUpper());
            return server_ == db::ServerFamily::PostgreSQL ? dialect_.literal(QStringLiteral("\\x") + hex)
                                                           : QStringLiteral("X'%1'").arg(hex);
        }
        bool number = false;
        if (db::isNumberType(field.type)) v->toDouble(&number);
        return number ? *v : dialect_.literal(*v);
    }

    const SqlDialect& dialect_;
    db::ServerFamily server_;
    QString sql_, review_;
    db::Params params_;
};

// "col = ?" naming the row by its key as read.
void whereKey(Writer& w, const EditTarget& t, const std::vector<db::Field>& fields, const ChangeSet& changes, qint64 row) {
    w.text(QStringLiteral(" WHERE "));
    for (size_t i = 0; i < t.keyColumns.size(); ++i) {
        const int c = t.keyColumns[i];
        if (i) w.text(QStringLiteral(" AND "));
        w.name(t.columns[size_t(c)]).text(QStringLiteral(" = ")).value(changes.savedValue(row, c), fields[size_t(c)]);
    }
}

// "AND col <=> ?": the changed column still holds the value read. Skipped
// where the text read back would not compare equal (binary, floating point,
// types without equality).
void whereUnchanged(Writer& w, const EditTarget& t, const db::Field& field, int c, const Value& read) {
    const db::FieldType type = field.type;
    if (isBinary(type) || type == db::FieldType::Single || type == db::FieldType::Double) return;
    const unsigned pgType = field.origin ? field.origin->typeId : 0;
    if (t.server == db::ServerFamily::PostgreSQL && pgWithoutEquality(pgType)) return;
    w.text(QStringLiteral(" AND "));
    switch (t.server) {
    case db::ServerFamily::PostgreSQL:
        if (pgType == kPgJson) w.text(QStringLiteral("CAST(")).name(t.columns[size_t(c)]).text(QStringLiteral(" AS text)"));
        else w.name(t.columns[size_t(c)]);
        w.text(QStringLiteral(" IS NOT DISTINCT FROM "));
        break;
    case db::ServerFamily::MariaDB: w.name(t.columns[size_t(c)]).text(QStringLiteral(" <=> ")); break;
    default: w.name(t.columns[size_t(c)]).text(QStringLiteral(" IS ")); break;
    }
    w.value(read, field);
}

void returning(Writer& w, const EditTarget& t) {
    w.text(QStringLiteral(" RETURNING "));
    for (size_t c = 0; c < t.columns.size(); ++c) {
        if (c) w.text(QStringLiteral(", "));
        w.name(t.columns[c]);
    }
}

// The servers here return rows from INSERT; MariaDB not from UPDATE.
bool updateReturns(db::ServerFamily s) { return s == db::ServerFamily::PostgreSQL || s == db::ServerFamily::SQLite; }

} // namespace

QString qualifiedName(const TableName& table, const SqlDialect& dialect) {
    QStringList parts;
    for (const QString& p : {table.catalog, table.schema, table.name})
        if (!p.isEmpty()) parts << dialect.quotedName(p);
    return parts.join(QLatin1Char('.'));
}

QString rowName(const EditTarget& target, const ChangeSet& changes, qint64 row) {
    if (row >= changes.fetchedRows() && changes.isInserted(row))
        return QStringLiteral("new row %1").arg(row - changes.fetchedRows() + 1);
    SqlDialect plain;
    QStringList parts;
    for (int c : target.keyColumns) {
        const Value v = changes.savedValue(row, c);
        bool number = false;
        if (v) v->toDouble(&number);
        parts << target.columns[size_t(c)] + QLatin1Char('=') +
                     (!v ? QStringLiteral("NULL") : number ? *v : plain.literal(*v));
    }
    return parts.join(QStringLiteral(", "));
}

std::vector<SaveStatement> buildSaveStatements(const EditTarget& t, const std::vector<db::Field>& fields,
                                               const ChangeSet& changes, const SqlDialect& dialect) {
    std::vector<SaveStatement> out;
    const QString table = qualifiedName(t.table, dialect);
    // Deletions first, so a key freed by one can be taken by an insert or an update.
    for (const auto& [row, c] : changes.pending()) {
        if (!c.deleted || c.inserted) continue;
        Writer w(dialect, t.server);
        w.text(QStringLiteral("DELETE FROM ") + table);
        whereKey(w, t, fields, changes, row);
        out.push_back(w.statement(SaveStatement::Kind::Delete, row, false));
    }
    for (const auto& [row, c] : changes.pending()) {
        if (c.deleted) continue;
        Writer w(dialect, t.server);
        if (c.inserted) {
            w.text(QStringLiteral("INSERT INTO ") + table);
            if (c.cells.empty()) {
                w.text(t.server == db::ServerFamily::MariaDB ? QStringLiteral(" () VALUES ()") : QStringLiteral(" DEFAULT VALUES"));
            } else {
                w.text(QStringLiteral(" ("));
                bool first = true;
                for (const auto& [col, v] : c.cells) {
                    if (!first) w.text(QStringLiteral(", "));
                    first = false;
                    w.name(t.columns[size_t(col)]);
                }
                w.text(QStringLiteral(") VALUES ("));
                first = true;
                for (const auto& [col, v] : c.cells) {
                    if (!first) w.text(QStringLiteral(", "));
                    first = false;
                    w.value(v, fields[size_t(col)]);
                }
                w.text(QStringLiteral(")"));
            }
            returning(w, t);
            out.push_back(w.statement(SaveStatement::Kind::Insert, row, true));
            continue;
        }
        if (c.cells.empty()) continue;
        w.text(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET "));
        QStringList assigned; // a table column shown twice is set once
        for (const auto& [col, v] : c.cells) {
            const QString& name = t.columns[size_t(col)];
            if (assigned.contains(name)) continue;
            if (!assigned.isEmpty()) w.text(QStringLiteral(", "));
            assigned << name;
            w.name(name).text(QStringLiteral(" = ")).value(v, fields[size_t(col)]);
        }
        whereKey(w, t, fields, changes, row);
        for (const auto& [col, v] : c.cells)
            if (!t.isKey(col)) whereUnchanged(w, t, fields[size_t(col)], col, changes.savedValue(row, col));
        const bool returns = updateReturns(t.server);
        if (returns) returning(w, t);
        out.push_back(w.statement(SaveStatement::Kind::Update, row, returns));
    }
    return out;
}

} // namespace edit
