// MariaDB/MySQL definitions: the server's own SHOW CREATE TABLE (which
// answers for views and sequences too) followed by a table's triggers,
// SHOW CREATE PROCEDURE or FUNCTION for a routine.
#include "catalog/ObjectDefinition_p.h"
#include "catalog/SqlDialect.h"

namespace catalog {
namespace {

// The text column of a SHOW CREATE … answer ("Create Table", "Create View",
// "Create Procedure", "SQL Original Statement", …).
QString showCreate(db::Connection& conn, const QString& what, const QString& name) {
    const db::Table t = conn.query(QStringLiteral("SHOW CREATE %1 %2").arg(what, name));
    for (const QString& column : {QStringLiteral("Create Table"), QStringLiteral("Create View"),
                                 QStringLiteral("Create Sequence"), QStringLiteral("Create Procedure"),
                                 QStringLiteral("Create Function"), QStringLiteral("SQL Original Statement")}) {
        const int c = t.column(column);
        if (c >= 0 && !t.rows.empty()) {
            if (!t.rows.front()[size_t(c)])
                throw db::Error(0, QStringLiteral("The server shows the definition of %1 only to its owner or to a "
                                               "user with more privileges.")
                                    .arg(name));
            return *t.rows.front()[size_t(c)];
        }
    }
    return {};
}

} // namespace

QStringList mariaDefinition(db::Connection& conn, const ObjectRef& ref) {
    const SqlDialect d = SqlDialect::forServer(db::ServerFamily::MariaDB, conn.identifierQuote());
    const QString database = ref.catalog;
    auto name = [&](const QString& object) {
        return database.isEmpty() ? d.quotedName(object) : d.quotedName(database) + QLatin1Char('.') + d.quotedName(object);
    };
    if (ref.kind == ObjectKind::Procedure) {
        const QStringList types = definitionLines(conn.query(
            QStringLiteral("SELECT ROUTINE_TYPE FROM information_schema.ROUTINES"
                           " WHERE ROUTINE_SCHEMA = IF(? = '', DATABASE(), ?) AND ROUTINE_NAME = ?"),
            {database, database, ref.table}));
        QStringList out;
        for (const QString& type : types) out << showCreate(conn, type, name(ref.table));
        return out;
    }
    const QStringList types = definitionLines(conn.query(
        QStringLiteral("SELECT TABLE_TYPE FROM information_schema.TABLES"
                       " WHERE TABLE_SCHEMA = IF(? = '', DATABASE(), ?) AND TABLE_NAME = ?"),
        {database, database, ref.table}));
    if (types.isEmpty()) return {};
    QStringList out{showCreate(conn, QStringLiteral("TABLE"), name(ref.table))};
    const QStringList triggers = definitionLines(conn.query(
        QStringLiteral("SELECT TRIGGER_NAME FROM information_schema.TRIGGERS"
                       " WHERE EVENT_OBJECT_SCHEMA = IF(? = '', DATABASE(), ?) AND EVENT_OBJECT_TABLE = ?"
                       " ORDER BY ACTION_TIMING, EVENT_MANIPULATION, ACTION_ORDER"),
        {database, database, ref.table}));
    for (const QString& trigger : triggers) out << showCreate(conn, QStringLiteral("TRIGGER"), name(trigger));
    return out;
}

} // namespace catalog
