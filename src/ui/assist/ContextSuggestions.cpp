#include "assist/ContextSuggestions.h"

#include "assist/CatalogCache.h"
#include "assist/KeywordLanguage.h"

namespace {

// The catalogue of a document without a connection: no tables at all.
class NoCatalog : public assist::CatalogView {
public:
    const assist::CatalogTables* tables() const override { return &none_; }
    const std::vector<assist::CatalogTable>* tablesIn(const QString&) const override { return &none_.tables; }
    const QStringList* columns(const assist::ColumnSource&) const override { return &noColumns_; }

private:
    assist::CatalogTables none_;
    QStringList noColumns_;
};

constexpr int kMaxRounds = 4; // tables, then a schema's tables, then columns: three at most

} // namespace

ContextSuggestions::ContextSuggestions(CatalogCache* cache, const KeywordLanguage* language, QObject* parent)
    : QObject(parent), cache_(cache), language_(language) {}

bool ContextSuggestions::fill(const assist::StatementContext& context, const QString& connectionString,
                              const QString& database, Done done) {
    context_ = context;
    connection_ = connectionString;
    database_ = database;
    done_ = std::move(done);
    rounds_ = 0;
    const int request = ++request_;
    build(request);
    return request != request_ || !done_; // answered at once
}

void ContextSuggestions::build(int request) {
    if (request != request_) return;
    static const NoCatalog noCatalog;
    const assist::CatalogView& view = connection_.isEmpty() ? noCatalog : cache_->viewOf(connection_);
    assist::Candidates c = assist::buildCandidates(context_, view, language_->vocabulary(), database_);
    if (c.complete() || ++rounds_ > kMaxRounds) {
        Done done = std::move(done_);
        done_ = nullptr;
        done(c, QString());
        return;
    }
    // read what is missing; build again when every read has answered
    auto pending = std::make_shared<int>(0);
    auto failed = std::make_shared<QString>();
    auto answered = [this, request, pending, failed](const QString& error) {
        if (!error.isEmpty() && failed->isEmpty()) *failed = error;
        if (--*pending > 0 || request != request_) return;
        if (failed->isEmpty()) return build(request);
        Done done = std::move(done_);
        done_ = nullptr;
        done({}, *failed);
    };
    std::vector<std::function<bool()>> reads;
    if (c.needsTables)
        reads.push_back([this, answered] {
            return cache_->requestTables(connection_, [answered](const auto& r) { answered(r.error()); });
        });
    for (const QString& schema : std::as_const(c.needsTablesIn))
        reads.push_back([this, answered, schema] {
            return cache_->requestTablesIn(connection_, schema, [answered](const auto& r) { answered(r.error()); });
        });
    for (const assist::ColumnSource& source : c.needsColumns)
        reads.push_back([this, answered, source] {
            return cache_->requestColumns(connection_, source, [answered](const auto& r) { answered(r.error()); });
        });
    *pending = int(reads.size()) + 1; // one more until every request is made
    for (auto& read : reads)
        read();
    answered(QString());
}
