#include "script/UnfilteredChanges.h"

#include "script/StatementHead.h"

#include <QStringList>
#include <optional>

namespace script {

namespace {

// One UPDATE or DELETE, read token by token from just after its verb: the
// modifiers, the table's name, then its clauses up to the end of the
// statement it is (';', the ')' closing the WITH query or subquery holding
// it, or the first word of the next statement of a batch without ';').
class ChangeReader {
public:
    enum class Verdict { Reading, Filtered, Unfiltered, NoTable };

    ChangeReader(QStringView text, bool update) : text_(text), update_(update) {}

    Verdict feed(const Token& t) {
        switch (phase_) {
        case Phase::Modifiers:
            return modifier(t);
        case Phase::Name:
            return name(t);
        case Phase::Clauses:
            return clause(t);
        }
        return Verdict::Reading;
    }
    // The verdict when the statement ends while reading.
    Verdict atEnd() const { return phase_ == Phase::Modifiers ? Verdict::NoTable : Verdict::Unfiltered; }

    UnfilteredChange change() const {
        return {update_ ? QStringLiteral("UPDATE") : QStringLiteral("DELETE"),
                text_.mid(nameStart_, nameEnd_ - nameStart_).toString(), 0};
    }

private:
    enum class Phase { Modifiers, Name, Clauses };

    bool word(const Token& t, std::string_view w) const { return SqlLexer::isWord(text_, t, w); }
    bool anyWord(const Token& t, std::initializer_list<std::string_view> w) const {
        return SqlLexer::isAnyWord(text_, t, w);
    }

    Verdict modifier(const Token& t) {
        if (skip_ > 0) {
            --skip_;
        } else if (anyWord(t, {"LOW_PRIORITY", "IGNORE", "QUICK", "ONLY"})) {
        } else if (update_ && word(t, "OR")) { // UPDATE OR REPLACE …
            skip_ = 1;
        } else if (word(t, "TOP")) { // TOP (n): a limited number of rows
            return Verdict::Filtered;
        } else if (!update_ && word(t, "FROM")) {
            fromForm_ = true;
        } else if (t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName) {
            phase_ = Phase::Name;
            nameStart_ = t.start;
            nameEnd_ = t.end;
        } else {
            return Verdict::NoTable;
        }
        return Verdict::Reading;
    }

    // names joined by dots (db..t included)
    Verdict name(const Token& t) {
        if (t.isPunct(text_, '.')) {
            afterDot_ = true;
            return Verdict::Reading;
        }
        if (afterDot_ && (t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName)) {
            afterDot_ = false;
            nameEnd_ = t.end;
            return Verdict::Reading;
        }
        phase_ = Phase::Clauses;
        return clause(t);
    }

    Verdict clause(const Token& t) {
        if (t.isPunct(text_, '(')) {
            ++depth_;
            return Verdict::Reading;
        }
        if (t.isPunct(text_, ')')) // the end of a WITH query or subquery holding it
            return depth_-- == 0 ? Verdict::Unfiltered : Verdict::Reading;
        if (depth_ > 0) return Verdict::Reading;
        if (t.kind == TokenKind::Semicolon) return Verdict::Unfiltered;
        if (t.kind != TokenKind::Word) return Verdict::Reading;
        if (word(t, "CASE")) {
            ++cases_;
        } else if (cases_ > 0) {
            if (word(t, "END")) --cases_;
        } else if (anyWord(t, {"WHERE", "LIMIT"})) {
            return Verdict::Filtered;
        } else if (word(t, "ON")) {
            // a join of the multi-table forms (UPDATE a JOIN b ON … SET,
            // DELETE a FROM a JOIN b ON …) filters the rows it changes
            if (update_ ? !afterSet_ : !fromForm_) return Verdict::Filtered;
        } else if (word(t, "SET")) {
            afterSet_ = true;
        } else if (anyWord(t, {"SELECT",  "INSERT",  "UPDATE",   "DELETE",   "MERGE",  "IF",
                               "ELSE",    "BEGIN",   "END",      "WHILE",    "PRINT",  "EXEC",
                               "EXECUTE", "DECLARE", "RETURN",   "TRUNCATE", "CREATE", "DROP",
                               "ALTER",   "COMMIT",  "ROLLBACK", "USE"})) {
            return Verdict::Unfiltered; // the next statement of a batch written without ';'
        }
        return Verdict::Reading;
    }

    QStringView text_;
    bool update_;
    Phase phase_ = Phase::Modifiers;
    int skip_ = 0;
    bool fromForm_ = false; // DELETE FROM t (not DELETE t FROM …)
    bool afterDot_ = false;
    bool afterSet_ = false;
    int depth_ = 0, cases_ = 0;
    qsizetype nameStart_ = 0, nameEnd_ = 0;
};

// Follows the splitter through the script, one statement at a time.
class ChangeFinder : public StatementVisitor {
public:
    explicit ChangeFinder(QStringView text) : text_(text) {}

    void token(const Token& t) override {
        if (head_.defersItsBody()) return;
        head_.feed(text_, t);
        if (head_.defersItsBody()) return;
        if (pendingVerb_) {
            // UPDATE(column) is T-SQL's test in a trigger; UPDATE STATISTICS changes no rows
            const bool update = SqlLexer::isWord(text_, *pendingVerb_, "UPDATE");
            if (!t.isPunct(text_, '(') && !SqlLexer::isWord(text_, t, "STATISTICS"))
                reader_.emplace(text_, update);
            pendingVerb_.reset();
        }
        if (reader_) {
            const ChangeReader::Verdict v = reader_->feed(t);
            if (v != ChangeReader::Verdict::Reading)
                conclude(v); // and t may start the next one
            else {
                prev_ = t;
                return;
            }
        }
        if (t.kind == TokenKind::Semicolon) {
            merge_ = conflict_ = false;
        } else if (SqlLexer::isWord(text_, t, "MERGE")) {
            merge_ = true;
        } else if (SqlLexer::isWord(text_, t, "CONFLICT")) {
            conflict_ = true;
        } else if (SqlLexer::isAnyWord(text_, t, {"UPDATE", "DELETE"}) && startsStatement(t)) {
            pendingVerb_ = t;
        }
        prev_ = t;
    }

    void statementEnded(const StatementRange&) override {
        if (reader_) conclude(reader_->atEnd());
        ++statement_;
        head_.reset();
        merge_ = conflict_ = false;
        pendingVerb_.reset();
        prev_ = Token();
    }

    std::vector<UnfilteredChange> changes;

private:
    // Routine bodies, prepared texts, GRANT, REVOKE and COMMENT ON (StatementHead),
    // and EXPLAIN without ANALYZE are not looked into.
    // Whether the UPDATE or DELETE is a statement of its own rather than a
    // word of another one.
    bool startsStatement(const Token&) const {
        if (head_.isExplain() && !head_.explainAnalyzes()) return false;
        if (prev_.kind == TokenKind::End) return true;
        if (prev_.isPunct(text_, '.') || prev_.isPunct(text_, ',')) return false;
        if (SqlLexer::isAnyWord(text_, prev_,
                                {"ON", "FOR", "KEY", "OF", "AFTER", "BEFORE", "INSTEAD", "GRANT", "REVOKE"}))
            return false;
        if (conflict_ && SqlLexer::isWord(text_, prev_, "DO")) return false;
        if (merge_ && SqlLexer::isWord(text_, prev_, "THEN")) return false;
        return true;
    }

    void conclude(ChangeReader::Verdict v) {
        if (v == ChangeReader::Verdict::Unfiltered) {
            UnfilteredChange c = reader_->change();
            c.statement = statement_;
            changes.push_back(std::move(c));
        }
        reader_.reset();
    }

    QStringView text_;
    size_t statement_ = 0;
    StatementHead head_;
    bool merge_ = false, conflict_ = false; // inside a MERGE, after ON CONFLICT
    Token prev_;
    std::optional<Token> pendingVerb_; // an UPDATE or DELETE waiting for the token after it
    std::optional<ChangeReader> reader_;
};

} // namespace

std::vector<UnfilteredChange> findUnfilteredChanges(QStringView script, Dialect dialect) {
    ChangeFinder finder(script);
    splitStatements(script, dialect, &finder);
    return std::move(finder.changes);
}

QString unfilteredQuestion(const std::vector<UnfilteredChange>& changes) {
    QStringList tables;
    bool updates = false, deletes = false;
    for (const UnfilteredChange& c : changes) {
        if (!tables.contains(c.table)) tables << c.table;
        (c.verb == "UPDATE" ? updates : deletes) = true;
    }
    constexpr qsizetype kNamed = 3;
    QString named = tables.mid(0, kNamed).join(QStringLiteral(", "));
    if (tables.size() > kNamed) named += QStringLiteral(" and %1 more").arg(tables.size() - kNamed);
    const QString verbs = updates && deletes ? QStringLiteral("UPDATE/DELETE")
                          : updates          ? QStringLiteral("UPDATE")
                                             : QStringLiteral("DELETE");
    return QStringLiteral("The script changes every row of %1: %2 without WHERE. Run it anyway?")
        .arg(named, verbs);
}

} // namespace script
