// SQLite definitions: the text each object was created with, as
// sqlite_master keeps it; a table's indexes and triggers follow it.
#include "catalog/ObjectDefinition_p.h"
#include "catalog/SqlDialect.h"

namespace catalog {

QStringList sqliteDefinition(db::Connection& conn, const ObjectRef& ref) {
    if (ref.kind != ObjectKind::Table) return {}; // SQLite has no routines
    const SqlDialect d = SqlDialect::forServer(db::ServerFamily::SQLite, conn.identifierQuote());
    const QString database = ref.catalog.isEmpty() ? QStringLiteral("main") : ref.catalog;
    const QString master = database == QLatin1String("temp") ? QStringLiteral("temp.sqlite_temp_master")
                                                             : d.quotedName(database) + QStringLiteral(".sqlite_master");
    return definitionLines(conn.query(QStringLiteral("SELECT sql FROM %1 WHERE tbl_name = ?1 AND sql IS NOT NULL"
                                                " ORDER BY type NOT IN ('table', 'view'), type = 'trigger', rowid")
                                     .arg(master),
                                 {ref.table}));
}

} // namespace catalog
