#include "catalog/ObjectDefinition.h"

#include "catalog/ObjectDefinition_p.h"
#include "catalog/SchemaReader.h"

namespace catalog {

QStringList definitionLines(const db::Table& t, int column) {
    QStringList out;
    for (const auto& row : t.rows)
        if (size_t(column) < row.size() && row[size_t(column)]) out << *row[size_t(column)];
    return out;
}

} // namespace catalog

namespace catalog {

Result<QString> getDefinition(const QString& cs, const ObjectRef& ref) {
    if (ref.kind != ObjectKind::Table && ref.kind != ObjectKind::Procedure)
        return fail(QStringLiteral("Only tables, views, sequences, functions and procedures have a definition to show."));
    try {
        auto conn = db::Connection::open(cs);
        if (!ref.catalog.isEmpty() && conn->serverFamily() != db::ServerFamily::SQLite)
            conn->setDefaultDatabase(ref.catalog);
        QStringList statements;
        switch (conn->serverFamily()) {
        case db::ServerFamily::PostgreSQL: statements = catalog::postgresDefinition(*conn, ref); break;
        case db::ServerFamily::MariaDB: statements = catalog::mariaDefinition(*conn, ref); break;
        case db::ServerFamily::SQLite: statements = catalog::sqliteDefinition(*conn, ref); break;
        default:
            return fail(QStringLiteral("Definitions are read from PostgreSQL, MariaDB/MySQL and SQLite; this "
                                       "connection reaches %1.")
                            .arg(db::familyName(conn->serverFamily())));
        }
        if (statements.isEmpty())
            return fail(QStringLiteral("\"%1\" was not found, so it has no definition to show.\r\n"
                                       "It may have been dropped; use Refresh to read the objects again.")
                            .arg(ref.table));
        for (QString& s : statements) {
            while (!s.isEmpty() && (s.back().isSpace() || s.back() == QLatin1Char(';'))) s.chop(1);
            s += QLatin1Char(';');
        }
        return statements.join(QStringLiteral("\n\n")) + QLatin1Char('\n');
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

} // namespace catalog
