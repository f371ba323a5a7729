#pragma once
// A batch of parameterised statements sent to a PostgreSQL server in
// pipeline mode: the statements go out in groups without waiting for each
// other's results, each group ended by a sync point, so ten thousand small
// statements cost a few round trips rather than ten thousand. The first
// failure makes the server skip the rest of its group; no later group is
// sent. What the caller learns is as Connection::executeBatch says.
//
// A cancel request (PgConnection::cancel) ends the batch: the statement the
// server is running fails as cancelled, and one that comes between groups
// or after the last one is thrown as a cancel too, so the caller rolls back.

#include "db/Connection.h"

namespace db {
class PgConnection;
}

namespace db::pg {

// Statements sent before their results are read.
inline constexpr size_t kPipelineGroup = 1000;

// Whether the loaded libpq has pipeline mode (version 14 on).
bool pipelineAvailable();

void runPipeline(PgConnection& conn, const std::vector<BatchStatement>& statements,
                 const std::function<bool(size_t, BatchResult&&)>& accept);

} // namespace db::pg
