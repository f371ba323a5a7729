#pragma once
// The statements the object browser writes into a script for a table, view,
// column or procedure: a quick look at the first 20 rows, a SELECT, and
// INSERT, UPDATE and DELETE skeletons.
//
// T-SQL keeps the long-standing layout byte for byte ("SELECT TOP 20 * FROM
// pubs..authors"), its value placeholders the column names as string
// literals. The other dialects write the same layouts in their own syntax
// (LIMIT 20, schema- or database-qualified names) with a named parameter
// (:id, :name, …) for each value, so a skeleton runs as it stands and asks
// for its values; their UPDATE and DELETE find the row by the table's key
// (every column when it has none). Every name goes through
// SqlDialect::quotedName. Lines end with CR LF; continuation lines start
// with a tab.

#include "catalog/SqlDialect.h"

#include <QString>
#include <QStringList>
#include <vector>

// What a node of the object browser stands for, as far as statements go.
enum class ObjectKind {
    Other,     // root, folders, snippets, column details: no statement
    Catalog,   // a database
    Table,     // a table, view or system table
    Column,    // a column of a table or view
    Procedure, // a stored procedure or function
};

struct ObjectRef {
    ObjectKind kind = ObjectKind::Other;
    QString catalog; // the database; empty in the single-database layout
    QString schema;  // the table's or procedure's schema; empty when the backend has none
    QString table;   // table, view or procedure name, exactly as listed
    QString column;
};

// A stored procedure's parameters in call order, from the driver's
// procedure-columns listing.
struct ProcedureSignature {
    enum class Direction { In, InOut, Out };
    struct Parameter {
        QString name; // may be empty (unnamed parameter)
        Direction direction = Direction::In;
    };
    bool isFunction = false; // called in a SELECT rather than with CALL/EXEC
    std::vector<Parameter> parameters;
};

namespace catalog {

// The table (or procedure) name as a statement writes it, qualified by its
// database or schema the way the dialect does.
QString statementObjectName(const SqlDialect& d, const ObjectRef& ref);

// "Browse Object": the first 20 rows of a table, or of one column. Empty
// for other kinds (procedures take callStatement()).
QString browseStatement(const SqlDialect& d, const ObjectRef& ref);
// "Select": every column of a table, or one column.
QString selectStatement(const SqlDialect& d, const ObjectRef& ref);

// True when the skeleton of a table needs its column names (the table forms
// of INSERT, UPDATE and DELETE); column nodes need none.
bool needsColumns(const ObjectRef& ref);
// True when the UPDATE or DELETE of the node finds its row by the table's
// key (every dialect but T-SQL), which must then be read.
bool usesKey(const SqlDialect& d, const ObjectRef& ref);
// INSERT, UPDATE and DELETE skeletons. For a table, columns are its column
// names in table order; the result is empty when there are none. For a
// column node, columns is not used. key: the columns of the table's primary
// key (or of a unique index), empty when it has none.
QString insertStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns);
QString updateStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns, const QStringList& key = {});
QString deleteStatement(const SqlDialect& d, const ObjectRef& ref, const QStringList& columns, const QStringList& key = {});

// The parameter names the skeletons give the columns' values, in the same
// order: the name with every character that cannot be in a parameter's
// name made '_' (once for a run of them), "p" before a leading digit, a number
// after a repeat.
QStringList statementParameterNames(const QStringList& columns);

// A call of a procedure or function with a placeholder for each input.
QString callStatement(const SqlDialect& d, const ObjectRef& ref, const ProcedureSignature& signature);

} // namespace catalog
