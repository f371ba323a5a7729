#pragma once
// The parameters a script asks for: the places where a statement takes a
// value the user gives when it runs, found by the script's tokens (SqlLexer),
// so nothing inside a string, a comment, a quoted name or a $$ body counts.
//
// Forms, by the server the script runs on:
//  - :name on every server; not "::type" (a cast), ":=" (an assignment), a
//    ':' written right after a name, number or bracket (a label, a slice);
//  - @name on SQLite (its own parameter form) and SQL Server, where a name
//    the script DECLAREs is a variable, not a parameter; on MariaDB and MySQL
//    @name is the server's user variable and on PostgreSQL '@' an operator;
//  - $1, $2, … on PostgreSQL and SQLite; SQLite's $name and :1 too;
//  - ? on every server (?NNN on SQLite); on PostgreSQL not the jsonb
//    operators: a '?' after a value (a name, a literal, ')') or before '|'
//    or '&' is an operator.
// Statements that keep their text for later are not looked into: the
// bodies of procedures, functions and triggers being created, PREPARE.
//
// A parameter's name is what follows its marker ("id" for :id and @id, so
// both are one parameter); $n and ?NNN are named by their number, and each
// plain '?' by its place among the script's '?' (1, 2, …).
//
// One pass over the script, keeping two tokens: linear in its length.

#include "db/ServerFamily.h"
#include "script/StatementSplitter.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace script {

struct ParameterUse {
    qsizetype start = 0; // the marker and name in the script, [start, end)
    qsizetype end = 0;
    QString name;  // "id", "1"
    QString shown; // as messages and the dialog name it: ":id", "@id", "$1", "?1"
};

struct StatementParameters {
    size_t statement = 0; // index among the script's statements, from 0
    std::vector<ParameterUse> uses;

    // The statement's parameters as shown, each once, in order of first use.
    QStringList shownNames() const;
    // "Statement N has parameters (:id, :name) and no values were given."
    // (N from 1): why a run without values is refused.
    QString noValuesMessage() const;
};

struct ScriptParameters {
    std::vector<StatementRange> statements; // every statement of the script
    std::vector<StatementParameters> withParameters; // only those that take parameters

    bool empty() const { return withParameters.empty(); }
    // Every parameter of the script once (by name), in order of first use:
    // the name and how it is shown.
    struct Name {
        QString name;
        QString shown;
    };
    std::vector<Name> names() const;
};

ScriptParameters findParameters(QStringView script, db::ServerFamily server);

} // namespace script
