#pragma once
// Asking a server for the plan of one statement: the EXPLAIN each server
// speaks, whether running the statement would change data (Explain Analyze
// runs it, so the editor asks first), and reading the answer into a
// PlanTree.
//
//  - PostgreSQL: EXPLAIN (FORMAT JSON) / EXPLAIN (FORMAT JSON, ANALYZE, BUFFERS)
//  - MariaDB/MySQL: EXPLAIN FORMAT=JSON / ANALYZE FORMAT=JSON
//  - SQLite: EXPLAIN QUERY PLAN (it measures nothing: Analyze reads the same)

#include "base/Result.h"
#include "db/Connection.h"
#include "plan/PlanTree.h"
#include "script/ParameterBinding.h"

namespace plan {

// The statement with the server's EXPLAIN in front; failed for a server
// this cannot explain on.
Result<QString> explainText(const QString& statement, db::ServerFamily server, bool analyze);

// True unless the statement only reads: SELECT (without INTO or a locking
// FOR UPDATE), VALUES, TABLE, SHOW, WITH … SELECT without a changing step.
bool changesData(QStringView statement, db::ServerFamily server);

// Runs the EXPLAIN of statement on conn and reads its plan. The statement's
// parameters take their values from values (a statement with parameters
// and no values is refused, as a run would be).
Result<PlanTree> readPlan(db::Connection& conn, const QString& statement, bool analyze,
                          const script::ParameterValues* values = nullptr);

} // namespace plan
