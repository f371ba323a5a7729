#include "script/DataChanges.h"

#include "script/StatementSplitter.h"

namespace script {
namespace {

constexpr int kMaxVerbs = 5;

class ChangeFinder : public StatementVisitor {
public:
    explicit ChangeFinder(QStringView text) : text_(text) {}

    void token(const Token& t) override {
        if (count_++ == 0) {
            first_ = t;
            return;
        }
        if (SqlLexer::isAnyWord(text_, t, {"INSERT", "UPDATE", "DELETE", "MERGE"}))
            dml_ = true;
        else if (SqlLexer::isWord(text_, t, "INTO"))
            into_ = true;
        else if (SqlLexer::isAnyWord(text_, t, {"ANALYZE", "ANALYSE"}))
            analyze_ = true;
        else if (t.isPunct(text_, '='))
            assigns_ = true;
        else if (SqlLexer::isWord(text_, t, "CURSOR"))
            cursor_ = true;
    }

    void statementEnded(const StatementRange&) override {
        if (count_ > 0 && mayChange())
            changes.push_back(
                {statement_, text_.mid(first_.start, first_.end - first_.start).toString().toUpper()});
        ++statement_;
        count_ = 0;
        dml_ = into_ = analyze_ = assigns_ = cursor_ = false;
    }

    std::vector<DataChange> changes;

private:
    bool is(std::initializer_list<std::string_view> words) const {
        return SqlLexer::isAnyWord(text_, first_, words);
    }

    bool mayChange() const {
        if (first_.kind != TokenKind::Word) return first_.kind != TokenKind::Punct; // "(SELECT …)" reads
        if (is({"SELECT"})) return into_;       // SELECT … INTO makes a table
        if (is({"WITH", "BEGIN"})) return dml_; // a CTE, a BEGIN … END block

        if (is({"EXPLAIN"})) return analyze_ && dml_; // EXPLAIN ANALYZE runs the statement
        if (is({"PRAGMA"})) return assigns_;
        if (is({"DECLARE"})) return !cursor_;
        return !is({"TABLE", "VALUES", "SHOW", "DESCRIBE", "DESC", "USE", "SET", "BEGIN", "START", "COMMIT",
                    "END", "ROLLBACK", "SAVEPOINT", "RELEASE", "FETCH", "MOVE", "CLOSE", "HELP"});
    }

    QStringView text_;
    size_t statement_ = 0;
    int count_ = 0;
    Token first_;
    bool dml_ = false, into_ = false, analyze_ = false, assigns_ = false, cursor_ = false;
};

} // namespace

std::vector<DataChange> findDataChanges(QStringView script, Dialect dialect) {
    ChangeFinder finder(script);
    splitStatements(script, dialect, &finder);
    return std::move(finder.changes);
}

QString dataChangeSummary(const std::vector<DataChange>& changes) {
    QStringList verbs;
    for (const DataChange& c : changes)
        if (!verbs.contains(c.verb) && verbs.size() < kMaxVerbs) verbs << c.verb;
    return QStringLiteral("The script changes data (%1).").arg(verbs.join(QStringLiteral(", ")));
}

} // namespace script
