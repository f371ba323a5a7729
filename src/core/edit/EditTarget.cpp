#include "edit/EditTarget.h"

#include "edit/KeyCatalogue.h"

#include <QSet>

#include <algorithm>

namespace edit {

bool EditTarget::isKey(int column) const {
    return std::find(keyColumns.begin(), keyColumns.end(), column) != keyColumns.end();
}

EditTarget EditTarget::readOnly(QString reason) {
    EditTarget t;
    t.readOnlyReason = std::move(reason);
    return t;
}

namespace {

QString tableIdentity(const db::FieldOrigin& o) {
    return o.tableId ? QString::number(o.tableId) : o.catalog + QChar(0) + o.table;
}

} // namespace

QString originProblem(const std::vector<db::Field>& fields, db::ServerFamily server) {
    if (fields.empty()) return QStringLiteral("read-only: the result has no columns");
    const bool anyOrigin = std::any_of(fields.begin(), fields.end(), [](const db::Field& f) { return f.origin.has_value(); });
    const bool nativeBackend = server == db::ServerFamily::PostgreSQL || server == db::ServerFamily::MariaDB ||
                               server == db::ServerFamily::SQLite;
    if (!anyOrigin && !nativeBackend)
        return QStringLiteral("read-only: this connection's driver does not say which table the columns come from");
    QSet<QString> tables;
    for (const db::Field& f : fields) {
        if (!f.origin)
            return QStringLiteral("read-only: column \"%1\" is computed, not read from a table").arg(f.name);
        tables.insert(tableIdentity(*f.origin));
    }
    if (tables.size() > 1)
        return tables.size() == 2 ? QStringLiteral("read-only: joins two tables")
                                  : QStringLiteral("read-only: joins %1 tables").arg(tables.size());
    return {};
}

std::vector<int> chooseKey(const std::vector<std::vector<QString>>& uniqueKeys, const std::vector<QString>& resultColumns,
                           Qt::CaseSensitivity names) {
    for (const auto& key : uniqueKeys) {
        std::vector<int> found;
        for (const QString& name : key) {
            const auto at = std::find_if(resultColumns.begin(), resultColumns.end(),
                                         [&](const QString& c) { return c.compare(name, names) == 0; });
            if (at == resultColumns.end()) break;
            found.push_back(int(at - resultColumns.begin()));
        }
        if (!key.empty() && found.size() == key.size()) return found;
    }
    return {};
}

EditTarget readEditTarget(db::Connection& conn, const std::vector<db::Field>& fields) {
    const db::ServerFamily server = conn.serverFamily();
    if (QString problem = originProblem(fields, server); !problem.isEmpty()) return EditTarget::readOnly(problem);
    try {
        KeyCatalogue catalogue = readKeyCatalogue(conn, *fields.front().origin);
        if (!catalogue.problem.isEmpty()) return EditTarget::readOnly(catalogue.problem);
        EditTarget t;
        t.server = server;
        t.dialect = SqlDialect::forServer(server, conn.identifierQuote());
        t.table = catalogue.table;
        for (const db::Field& f : fields) {
            const db::FieldOrigin& o = *f.origin;
            t.columns.push_back(o.tableId ? catalogue.columnNames.value(o.columnNumber) : o.column);
        }
        const Qt::CaseSensitivity names = server == db::ServerFamily::PostgreSQL ? Qt::CaseSensitive : Qt::CaseInsensitive;
        t.keyColumns = chooseKey(catalogue.uniqueKeys, t.columns, names);
        if (t.keyColumns.empty())
            t.readOnlyReason = catalogue.uniqueKeys.empty()
                                   ? QStringLiteral("read-only: the table \"%1\" has no primary key").arg(t.table.name)
                                   : QStringLiteral("read-only: no primary key in the result");
        return t;
    } catch (const db::Error& e) {
        return EditTarget::readOnly(QStringLiteral("read-only: the table's keys could not be read (%1)").arg(e.description()));
    }
}

} // namespace edit
