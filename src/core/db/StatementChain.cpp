#include "db/StatementChain.h"

namespace db {

StatementChain::StatementChain(Connection& conn, QString script, std::vector<ScriptStatement> statements)
    : conn_(conn), script_(std::move(script)), statements_(std::move(statements)) {
    if (!startNext()) recordsAffected_ = 0; // a script of nothing but comments
}

template <typename Step> auto StatementChain::placed(Step step) -> decltype(step()) {
    try {
        return step();
    } catch (Error& e) {
        // The backend placed the failure in the statement it was given.
        const qsizetype start = statements_[next_ - 1].start;
        ErrorPosition at = e.position();
        if (at.offset) *at.offset += start;
        at.statementOffset = start + at.statementOffset.value_or(0);
        at.statementIndex.reset();
        at.lineInStatement.reset();
        e.setPosition(std::move(at));
        throw;
    }
}

bool StatementChain::startNext() {
    current_.reset();
    if (next_ >= statements_.size()) return false;
    const ScriptStatement& s = statements_[next_++];
    current_ = placed([&] { return conn_.execute(script_.mid(s.start, s.end - s.start)); });
    adoptCurrent();
    return true;
}

void StatementChain::adoptCurrent() {
    fields_ = current_->fields();
    recordsAffected_ = current_->recordsAffected();
}

int StatementChain::appendRows(RowBlock& block, int maxRows) {
    if (!current_) throw Error::closedResult();
    return placed([&] { return current_->appendRows(block, maxRows); });
}

bool StatementChain::nextResult() {
    if (current_ && placed([&] { return current_->nextResult(); })) {
        adoptCurrent();
        return true;
    }
    fields_.clear();
    return startNext();
}

void StatementChain::discardRestOfSet() {
    if (current_) current_->discardRestOfSet();
}

} // namespace db
