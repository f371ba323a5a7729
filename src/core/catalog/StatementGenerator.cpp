#include "catalog/StatementGenerator.h"

namespace catalog {
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

QString statementObjectName(const SqlDialect& d, const ObjectRef& ref) {
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

QString browseStatement(const SqlDialect& d, const ObjectRef& ref) {
    if (!servesStatements(ref)) return {};
    return withRowLimit(d, selectedPart(d, ref), statementObjectName(d, ref));
}

QString selectStatement(const SqlDialect& d, const ObjectRef& ref) {
    if (!servesStatements(ref)) return {};
    return QStringLiteral("SELECT ") + selectedPart(d, ref) + QStringLiteral(" FROM ") + statementObjectName(d, ref);
}

bool needsColumns(const ObjectRef& ref) {
    return ref.kind == ObjectKind::Table;
}

bool usesKey(const SqlDialect& d, const ObjectRef& ref) {
    return servesStatements(ref) && !isTSql(d);
}

QStringList statementParameterNames(const QStringList& columns) {
    QStringList out;
    for (const QString& c : columns) {
        QString name;
        for (QChar ch : c) {
            const bool fits = ch.isLetterOrNumber() || ch == QLatin1Char('_');
            if (fits)
                name += ch;
            else if (!name.endsWith(QLatin1Char('_')))
                name += QLatin1Char('_');
        }
        if (name.isEmpty() || name.front().isDigit()) name.prepend(QLatin1Char('p'));
        const QString base = name;
        for (int n = 2; out.contains(name); ++n) name = base + QLatin1Char('_') + QString::number(n);
        out << name;
    }
    return out;
}

namespace {

// "name = :param" for each column, with the parameters of paramNames.
QStringList comparisons(const SqlDialect& d, const QStringList& columns, const QStringList& all,
                        const QStringList& paramNames) {
    QStringList out;
    for (const QString& c : columns)
        out << d.quotedName(c) + QStringLiteral(" = :") + paramNames.value(int(all.indexOf(c)));
    return out;
}

// The key columns that are columns of the table; every column without one.
QStringList rowFinder(const QStringList& columns, const QStringList& key) {
    QStringList found;
    for (const QString& k : key)
        if (columns.contains(k)) found << k;
    return found.isEmpty() ? columns : found;
}

QString tsqlInsert(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns, const QString& head) {
    if (ref.kind == ObjectKind::Column)
        return head + QLatin1Char('(') + d.quotedName(ref.column) + QStringLiteral(") ") + kBreak +
               QStringLiteral("VALUES ") + kBreakTab + QLatin1Char('(') + d.literal(ref.column) + QLatin1Char(')');
    QStringList names, values;
    for (const QString& c : columns) {
        names << d.quotedName(c);
        values << d.literal(c);
    }
    return head + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')') + kBreak +
           QStringLiteral("VALUES") + kBreakTab + QLatin1Char('(') + values.join(QStringLiteral(", ")) +
           QLatin1Char(')') + kBreak;
}

} // namespace

QString insertStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns) {
    if (!servesStatements(ref)) return {};
    const QString head = QStringLiteral("INSERT INTO ") + statementObjectName(d, ref) + kBreakTab;
    if (ref.kind == ObjectKind::Table && columns.isEmpty()) return {};
    if (isTSql(d)) return tsqlInsert(d, ref, columns, head);
    const QStringList cols = ref.kind == ObjectKind::Column ? QStringList{ref.column} : columns;
    const QStringList params = statementParameterNames(cols);
    QStringList names, values;
    for (qsizetype i = 0; i < cols.size(); ++i) {
        names << d.quotedName(cols[i]);
        values << QLatin1Char(':') + params[i];
    }
    const bool one = ref.kind == ObjectKind::Column;
    return head + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')') +
           (one ? QStringLiteral(" ") : QString()) + kBreak + QStringLiteral("VALUES") +
           (one ? QStringLiteral(" ") : QString()) + kBreakTab + QLatin1Char('(') +
           values.join(QStringLiteral(", ")) + QLatin1Char(')') + (one ? QString() : kBreak);
}

QString updateStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns, const QStringList& key) {
    if (!servesStatements(ref)) return {};
    const QString head = QStringLiteral("UPDATE ") + statementObjectName(d, ref) + kBreakTab + QStringLiteral("SET ");
    if (isTSql(d)) {
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
    // The columns set get new values; the row is found by its key, a
    // column that is also set by its old value (":old_…").
    const bool one = ref.kind == ObjectKind::Column;
    if (!one && columns.isEmpty()) return {};
    QStringList set = one ? QStringList{ref.column} : columns;
    QStringList keyColumns;
    for (const QString& k : key)
        if (one || columns.contains(k)) keyColumns << k;
    if (!one && keyColumns.size() < set.size()) set.removeIf([&](const QString& c) { return keyColumns.contains(c); });
    const QStringList where = keyColumns.isEmpty() ? set : keyColumns;
    QStringList labels = set; // the parameters: new values, then the WHERE's
    for (const QString& w : where) labels << (set.contains(w) ? QStringLiteral("old_") + w : w);
    const QStringList params = statementParameterNames(labels);
    QStringList assignments, conditions;
    for (qsizetype i = 0; i < set.size(); ++i)
        assignments << d.quotedName(set[i]) + QStringLiteral(" = :") + params[i];
    for (qsizetype i = 0; i < where.size(); ++i)
        conditions << d.quotedName(where[i]) + QStringLiteral(" = :") + params[set.size() + i];
    return head + assignments.join(QStringLiteral(",") + kBreakTab) + kBreakTab + QStringLiteral("WHERE ") +
           conditions.join(kBreakTab + QStringLiteral("AND ")) + (one ? QString() : kBreakTab);
}

QString deleteStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns, const QStringList& key) {
    if (!servesStatements(ref)) return {};
    const QString head = QStringLiteral("DELETE FROM ") + statementObjectName(d, ref) + kBreakTab + QStringLiteral("WHERE ");
    if (ref.kind == ObjectKind::Column)
        return head + clauseColumn(d, ref) + QStringLiteral(" = ") +
               (isTSql(d) ? d.literal(ref.column) : QLatin1Char(':') + statementParameterNames({ref.column}).front());
    if (columns.isEmpty()) return {};
    if (isTSql(d)) {
        QStringList conditions;
        for (const QString& c : columns)
            conditions << assignment(d, c);
        return head + conditions.join(kBreakTab + QStringLiteral("AND ")) + kBreakTab + kBreakTab;
    }
    const QStringList params = statementParameterNames(columns);
    return head + comparisons(d, rowFinder(columns, key), columns, params).join(kBreakTab + QStringLiteral("AND ")) +
           kBreakTab;
}

QString callStatement(const SqlDialect& d, const ObjectRef& ref, const ProcedureSignature& signature) {
    if (ref.kind != ObjectKind::Procedure) return {};
    using Dir = ProcedureSignature::Direction;
    ObjectRef target = ref;
    // SQL Server lists procedures with their group number ("byroyalty;1")
    if (isTSql(d)) target.table = target.table.section(QLatin1Char(';'), 0, 0);
    const QString name = statementObjectName(d, target);

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

} // namespace catalog
