#include "catalog/StatementGenerator.h"

namespace statements {
namespace {

const QString kBreak = QStringLiteral("\r\n");
const QString kBreakTab = QStringLiteral("\r\n\t");

bool isTSql(const SqlDialect& d) {
    return d.family == DialectFamily::TransactSql;
}

bool servesStatements(const ObjectRef& ref) {
    return ref.kind == ObjectKind::Table || ref.kind == ObjectKind::Column;
}

// A column as the WHERE and SET clauses of a column form name it: T-SQL
// qualifies it with the table's name; PostgreSQL refuses a qualified name
// after SET, so the other dialects write the column alone.
QString clauseColumn(const SqlDialect& d, const ObjectRef& ref) {
    const QString col = d.quotedName(ref.column);
    return isTSql(d) ? d.quotedName(ref.table) + QLatin1Char('.') + col : col;
}

// "name = 'name'" for one column.
QString assignment(const SqlDialect& d, const QString& column) {
    return d.quotedName(column) + QStringLiteral(" = ") + d.literal(column);
}

QString withRowLimit(const SqlDialect& d, const QString& what, const QString& from) {
    switch (d.family) {
    case DialectFamily::TransactSql:
        return QStringLiteral("SELECT TOP 20 ") + what + QStringLiteral(" FROM ") + from;
    case DialectFamily::Standard:
        return QStringLiteral("SELECT ") + what + QStringLiteral(" FROM ") + from +
               QStringLiteral(" FETCH FIRST 20 ROWS ONLY");
    default:
        return QStringLiteral("SELECT ") + what + QStringLiteral(" FROM ") + from +
               QStringLiteral(" LIMIT 20");
    }
}

QString selectedPart(const SqlDialect& d, const ObjectRef& ref) {
    return ref.kind == ObjectKind::Column ? d.quotedName(ref.column) : QStringLiteral("*");
}

} // namespace

QString objectName(const SqlDialect& d, const ObjectRef& ref) {
    const QString name = d.quotedName(ref.table);
    auto qualified = [&](const QString& by) {
        return by.isEmpty() ? name : d.quotedName(by) + QLatin1Char('.') + name;
    };
    switch (d.family) {
    case DialectFamily::TransactSql: {
        // catalogue..table on the default schema; a table of another schema keeps it
        const QString schema =
            ref.schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0 ? QString() : ref.schema;
        if (ref.catalog.isEmpty()) return qualified(schema);
        return d.quotedName(ref.catalog) + QLatin1Char('.') +
               (schema.isEmpty() ? QString() : d.quotedName(schema)) + QLatin1Char('.') + name;
    }
    case DialectFamily::PostgreSql:
        return qualified(ref.schema); // a query cannot leave its database
    case DialectFamily::MySql:
        return qualified(ref.catalog); // databases are MySQL's schemas
    case DialectFamily::Sqlite:
        return qualified(ref.catalog.compare(QLatin1String("main"), Qt::CaseInsensitive) == 0 ? QString()
                                                                                              : ref.catalog);
    case DialectFamily::Standard:
        return qualified(ref.schema);
    }
    return name;
}

QString browse(const SqlDialect& d, const ObjectRef& ref) {
    if (!servesStatements(ref)) return {};
    return withRowLimit(d, selectedPart(d, ref), objectName(d, ref));
}

QString select(const SqlDialect& d, const ObjectRef& ref) {
    if (!servesStatements(ref)) return {};
    return QStringLiteral("SELECT ") + selectedPart(d, ref) + QStringLiteral(" FROM ") + objectName(d, ref);
}

bool needsColumns(const ObjectRef& ref) {
    return ref.kind == ObjectKind::Table;
}

QString insert(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns) {
    if (!servesStatements(ref)) return {};
    const QString head = QStringLiteral("INSERT INTO ") + objectName(d, ref) + kBreakTab;
    if (ref.kind == ObjectKind::Column)
        return head + QLatin1Char('(') + d.quotedName(ref.column) + QStringLiteral(") ") + kBreak +
               QStringLiteral("VALUES ") + kBreakTab + QLatin1Char('(') + d.literal(ref.column) +
               QLatin1Char(')');
    if (columns.isEmpty()) return {};
    QStringList names, values;
    for (const QString& c : columns) {
        names << d.quotedName(c);
        values << d.literal(c);
    }
    return head + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')') + kBreak +
           QStringLiteral("VALUES") + kBreakTab + QLatin1Char('(') + values.join(QStringLiteral(", ")) +
           QLatin1Char(')') + kBreak;
}

QString update(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns) {
    if (!servesStatements(ref)) return {};
    const QString head = QStringLiteral("UPDATE ") + objectName(d, ref) + kBreakTab + QStringLiteral("SET ");
    if (ref.kind == ObjectKind::Column)
        return head + clauseColumn(d, ref) + QStringLiteral(" = ") + d.literal(ref.column) + kBreakTab +
               QStringLiteral("WHERE ") + assignment(d, ref.column);
    if (columns.isEmpty()) return {};
    // one assignment a line, each but the last ending with its comma
    QStringList assignments;
    for (const QString& c : columns)
        assignments << assignment(d, c);
    return head + assignments.join(QStringLiteral(",") + kBreakTab) + kBreakTab + kBreakTab;
}

QString remove(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns) {
    if (!servesStatements(ref)) return {};
    const QString head =
        QStringLiteral("DELETE FROM ") + objectName(d, ref) + kBreakTab + QStringLiteral("WHERE ");
    if (ref.kind == ObjectKind::Column)
        return head + clauseColumn(d, ref) + QStringLiteral(" = ") + d.literal(ref.column);
    if (columns.isEmpty()) return {};
    QStringList conditions;
    for (const QString& c : columns)
        conditions << assignment(d, c);
    return head + conditions.join(kBreakTab + QStringLiteral("AND ")) + kBreakTab + kBreakTab;
}

QString callSkeleton(const SqlDialect& d, const ObjectRef& ref, const ProcedureSignature& signature) {
    if (ref.kind != ObjectKind::Procedure) return {};
    using Dir = ProcedureSignature::Direction;
    ObjectRef target = ref;
    // SQL Server lists procedures with their group number ("byroyalty;1")
    if (isTSql(d)) target.table = target.table.section(QLatin1Char(';'), 0, 0);
    const QString name = objectName(d, target);

    QStringList args;
    int position = 0;
    for (const auto& p : signature.parameters) {
        ++position;
        if (signature.isFunction && p.direction == Dir::Out) continue; // a function returns its outputs
        QString bare = p.name.startsWith(QLatin1Char('@')) ? p.name.mid(1) : p.name;
        if (bare.isEmpty()) bare = QStringLiteral("arg%1").arg(position);
        const QString placeholder = d.literal(bare);
        if (isTSql(d) && !signature.isFunction && !p.name.isEmpty()) {
            args << QLatin1Char('@') + bare + QStringLiteral(" = ") +
                        (p.direction == Dir::In ? placeholder : QStringLiteral("NULL"));
        } else if (p.direction == Dir::Out) {
            // MariaDB/MySQL take a session variable for an output, the others NULL
            args << (d.family == DialectFamily::MySql
                         ? QLatin1Char('@') +
                               (d.needsQuoting(bare) ? QStringLiteral("out%1").arg(position) : bare)
                         : QStringLiteral("NULL"));
        } else {
            args << placeholder;
        }
    }
    const QString list = args.join(QStringLiteral(", "));
    if (isTSql(d)) {
        if (signature.isFunction)
            return QStringLiteral("SELECT ") + name + QLatin1Char('(') + list + QLatin1Char(')');
        return QStringLiteral("EXEC ") + name + (list.isEmpty() ? QString() : QLatin1Char(' ') + list);
    }
    const QString call = name + QLatin1Char('(') + list + QLatin1Char(')');
    if (!signature.isFunction) return QStringLiteral("CALL ") + call;
    // PostgreSQL functions may return sets: read them as a table
    return d.family == DialectFamily::PostgreSql ? QStringLiteral("SELECT * FROM ") + call
                                                 : QStringLiteral("SELECT ") + call;
}

} // namespace statements
