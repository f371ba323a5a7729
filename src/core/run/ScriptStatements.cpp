#include "run/ScriptStatements.h"

#include "script/StatementSplitter.h"

namespace {

constexpr int kLeadingWords = 4;

// Collects each statement's first words and the words that make a query
// change something, as the splitter walks the tokens.
class Collector final : public script::StatementVisitor {
public:
    explicit Collector(QStringView script) : script_(script) {}

    void token(const script::Token& t) override {
        using script::SqlLexer;
        using script::TokenKind;
        if (t.kind != TokenKind::Word) {
            if (words_.isEmpty()) words_ << QString(); // starts with no word: known to nobody
            return;
        }
        if (words_.size() < kLeadingWords)
            words_ << script_.mid(t.start, t.end - t.start).toString().toUpper();
        changes_ = changes_ || SqlLexer::isAnyWord(script_, t,
                                                   {"INSERT", "UPDATE", "DELETE", "MERGE", "REPLACE", "INTO",
                                                    "ANALYZE", "CALL", "EXECUTE", "DO"});
    }

    void statementEnded(const script::StatementRange& range) override {
        db::ScriptStatement s;
        s.start = range.start;
        s.end = range.end;
        static const QStringList kQueries = {QStringLiteral("SELECT"),   QStringLiteral("VALUES"),
                                             QStringLiteral("TABLE"),    QStringLiteral("WITH"),
                                             QStringLiteral("SHOW"),     QStringLiteral("EXPLAIN"),
                                             QStringLiteral("DESCRIBE"), QStringLiteral("DESC")};
        s.onlyReads = !changes_ && kQueries.contains(words_.value(0));
        s.leadingWords = std::move(words_);
        statements.push_back(std::move(s));
        words_ = {};
        changes_ = false;
    }

    std::vector<db::ScriptStatement> statements;

private:
    QStringView script_;
    QStringList words_;
    bool changes_ = false;
};

} // namespace

std::vector<db::ScriptStatement> scriptStatements(const QString& script, script::Dialect dialect) {
    Collector c(script);
    script::splitStatements(script, dialect, &c);
    return std::move(c.statements);
}
