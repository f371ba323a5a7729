#pragma once
// Runs the statements of a script one call each, in order, for a
// connection whose one-call scripts run otherwise than a script should
// (PostgreSQL's ODBC driver sends them as one transaction, which a failure
// in the last statement rolls back whole). The results of all of them read
// as the results of one call; the first failure ends the chain, its
// position placed in the script.

#include "db/Connection.h"

namespace db {

class StatementChain final : public Cursor {
public:
    StatementChain(Connection& conn, QString script, std::vector<ScriptStatement> statements);

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;
    void discardRestOfSet() override;

private:
    // Executes the next statement; false when none is left.
    bool startNext();
    // Runs step, placing a failure of the current statement in the script.
    template <typename Step> auto placed(Step step) -> decltype(step());
    void adoptCurrent();

    Connection& conn_;
    QString script_;
    std::vector<ScriptStatement> statements_;
    size_t next_ = 0; // the statement to execute next
    std::unique_ptr<Cursor> current_;
};

} // namespace db
