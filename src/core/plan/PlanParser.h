#pragma once
// Turns what each server answers to EXPLAIN into a PlanTree:
//  - PostgreSQL: EXPLAIN (FORMAT JSON[, ANALYZE, BUFFERS]), one JSON text;
//  - MariaDB/MySQL: EXPLAIN FORMAT=JSON or ANALYZE FORMAT=JSON, one JSON text;
//  - SQLite: EXPLAIN QUERY PLAN, rows of (id, parent, notused, detail).
// A text the parser cannot read gives an empty tree and a message.

#include "base/Result.h"
#include "db/Table.h"
#include "plan/PlanTree.h"

namespace plan {

Result<PlanTree> fromPostgresJson(const QByteArray& json);
Result<PlanTree> fromMariaJson(const QByteArray& json);
Result<PlanTree> fromSqliteRows(const db::Table& rows);

} // namespace plan
