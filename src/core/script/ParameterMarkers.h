#pragma once
// Parameter markers: the places in a script where a server would take a
// value bound from outside. A run supplies none, and SQLite binds a missing
// one as NULL without a word, so a script with markers is refused before
// anything is sent ("Statement N has parameters (:id) and no values were
// given.").
//
// Found from the tokens (see SqlLexer): never inside strings, comments,
// quoted names or $$ bodies. What counts, by server:
//   :name   everywhere (not "::" casts, not "a:b" written without blanks, as
//           labels are); SQLite also :1
//   ?       everywhere but PostgreSQL (where ?, ?| and ?& are jsonb
//           operators); SQLite also ?1
//   $1      PostgreSQL and SQLite; SQLite also $name
//   @name   SQLite only (T-SQL and MySQL variables elsewhere)
// Not looked into: statements that declare parameters of their own
// (PREPARE … AS/FROM) and the bodies of procedures, functions, triggers and
// events being created.

#include "db/ServerFamily.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace script {

struct StatementMarkers {
    size_t statement = 0; // index of the statement, from 0
    QStringList markers;  // as written, each once, in order
};

// One pass over the script; linear in its length.
std::vector<StatementMarkers> findParameterMarkers(QStringView script, db::ServerFamily server);

// "Statement N has parameters (:id, :name) and no values were given." for
// the first statement found (N from 1); empty when there is none.
QString parameterRefusal(const std::vector<StatementMarkers>& found);

} // namespace script
