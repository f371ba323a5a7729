// MariaConnection::executeBatch: a batch's statements as prepared
// statements kept for the batch, one per distinct text, so that a text the
// batch repeats (the saver's UPDATE, row after row) is parsed and planned
// by the server once and each run costs one round trip with its values.
#include "db/MariaConnection.h"
#include "db/MariaStatement.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace db {
namespace {

// The statements prepared for one batch, by text. Few texts are kept (a
// save has one or two per table and kind of change); the one used longest
// ago makes room, closed on the server at once.
class PreparedTexts {
public:
    explicit PreparedTexts(st_mysql* connection) : connection_(connection) {}
    maria::PreparedStatement& get(const QString& sql) {
        if (!entries_.empty() && entries_.back().sql == sql) return *entries_.back().statement;
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->sql == sql) {
                std::rotate(it, it + 1, entries_.end()); // now the most recent
                return *entries_.back().statement;
            }
        if (entries_.size() == kKept) entries_.erase(entries_.begin());
        entries_.push_back({sql, std::make_unique<maria::PreparedStatement>(connection_, sql)});
        return *entries_.back().statement;
    }

private:
    static constexpr size_t kKept = 8;
    struct Entry {
        QString sql;
        std::unique_ptr<maria::PreparedStatement> statement;
    };
    st_mysql* connection_;
    std::vector<Entry> entries_; // least recently used first
};

} // namespace

void MariaConnection::executeBatch(const std::vector<BatchStatement>& statements,
                                   const std::function<bool(size_t, BatchResult&&)>& accept) {
    throwIfCancelPending();
    calls_.endOpenCall();
    PreparedTexts prepared(mysql_);
    for (size_t i = 0; i < statements.size(); ++i) {
        BatchResult r;
        try {
            throwIfCancelPending();
            r = prepared.get(statements[i].sql).run(statements[i].params);
        } catch (Error& e) {
            markCancel(e);
            ErrorPosition at = e.position();
            at.statementIndex = int(i);
            e.setPosition(std::move(at));
            throw;
        }
        if (!accept(i, std::move(r))) return;
    }
}

} // namespace db
