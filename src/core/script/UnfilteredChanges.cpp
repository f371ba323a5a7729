#include "script/UnfilteredChanges.h"

#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <optional>

namespace sqlscript {

namespace {

bool isAnyWord(QStringView text, const Token& t, std::initializer_list<const char*> words) {
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words)
        if (SqlLexer::isWord(text, t, QLatin1String(w))) return true;
    return false;
}

bool isWord(QStringView text, const Token& t, const char* word) {
    return SqlLexer::isWord(text, t, QLatin1String(word));
}

// The significant tokens of one statement, looked at as a list.
class StatementCheck {
public:
    StatementCheck(QStringView text, const std::vector<Token>& tokens) : text_(text), t_(tokens) {}

    // Appends the unfiltered changes of the statement to out.
    void run(size_t statement, std::vector<UnfilteredChange>& out) {
        if (t_.empty() || definesForLater()) return;
        bool merge = false, conflict = false; // inside a MERGE, after ON CONFLICT
        for (size_t i = 0; i < t_.size(); ++i) {
            const Token& tok = t_[i];
            if (tok.kind == TokenKind::Semicolon) {
                merge = conflict = false;
            } else if (isWord(text_, tok, "MERGE")) {
                merge = true;
            } else if (isWord(text_, tok, "CONFLICT")) {
                conflict = true;
            } else if (isAnyWord(text_, tok, {"UPDATE", "DELETE"}) && startsStatement(i, merge, conflict)) {
                if (auto change = unfiltered(i)) {
                    change->statement = statement;
                    out.push_back(*change);
                }
            }
        }
    }

private:
    bool punct(size_t i, char c) const { return i < t_.size() && t_[i].isPunct(text_, c); }
    QStringView textOf(const Token& t) const { return text_.mid(t.start, t.end - t.start); }

    // CREATE PROCEDURE/FUNCTION/TRIGGER/RULE/EVENT (their bodies run later),
    // GRANT, REVOKE, PREPARE, COMMENT ON, and EXPLAIN without ANALYZE.
    bool definesForLater() const {
        const Token& first = t_.front();
        const size_t head = std::min<size_t>(t_.size(), 12);
        auto inHead = [&](std::initializer_list<const char*> words) {
            for (size_t i = 1; i < head; ++i)
                if (isAnyWord(text_, t_[i], words)) return true;
            return false;
        };
        if (isAnyWord(text_, first, {"CREATE", "ALTER"}))
            return inHead({"PROCEDURE", "PROC", "FUNCTION", "TRIGGER", "RULE", "EVENT", "PACKAGE"});
        if (isAnyWord(text_, first, {"GRANT", "REVOKE", "PREPARE", "COMMENT"})) return true;
        if (isWord(text_, first, "EXPLAIN")) return !inHead({"ANALYZE", "ANALYSE"});
        return false;
    }

    // Whether the UPDATE or DELETE at i is a statement of its own rather
    // than a word of another one.
    bool startsStatement(size_t i, bool merge, bool conflict) const {
        if (punct(i + 1, '(')) return false; // T-SQL's UPDATE(column) in a trigger
        if (i + 1 < t_.size() && isWord(text_, t_[i + 1], "STATISTICS")) return false;
        if (i == 0) return true;
        const Token& prev = t_[i - 1];
        if (prev.isPunct(text_, '.') || prev.isPunct(text_, ',')) return false;
        if (isAnyWord(text_, prev,
                      {"ON", "FOR", "KEY", "OF", "AFTER", "BEFORE", "INSTEAD", "GRANT", "REVOKE"}))
            return false;
        if (conflict && isWord(text_, prev, "DO")) return false;
        if (merge && isWord(text_, prev, "THEN")) return false;
        return true;
    }

    // Skips a parenthesised group starting at i; returns the index after it.
    size_t skipGroup(size_t i) const {
        int depth = 0;
        for (; i < t_.size(); ++i) {
            if (punct(i, '('))
                ++depth;
            else if (punct(i, ')') && --depth <= 0)
                return i + 1;
        }
        return i;
    }

    std::optional<UnfilteredChange> unfiltered(size_t verbAt) const {
        const bool update = isWord(text_, t_[verbAt], "UPDATE");
        bool filtered = false;
        bool fromForm = false; // DELETE FROM t (else DELETE t FROM …, whose joins filter)
        size_t j = verbAt + 1;
        while (j < t_.size()) {
            const Token& t = t_[j];
            if (isAnyWord(text_, t, {"LOW_PRIORITY", "IGNORE", "QUICK", "ONLY"})) {
                ++j;
            } else if (update && isWord(text_, t, "OR")) { // UPDATE OR REPLACE …
                j += 2;
            } else if (isWord(text_, t, "TOP")) { // TOP (n) [PERCENT]: a limited number of rows
                filtered = true;
                j = punct(j + 1, '(') ? skipGroup(j + 1) : j + 2;
                if (j < t_.size() && isWord(text_, t_[j], "PERCENT")) ++j;
            } else if (!update && isWord(text_, t, "FROM")) {
                fromForm = true;
                ++j;
            } else {
                break;
            }
        }
        // the table: names joined by dots (db..t included)
        const size_t nameAt = j;
        while (j < t_.size() && (t_[j].kind == TokenKind::Word || t_[j].kind == TokenKind::QuotedName)) {
            ++j;
            if (!punct(j, '.')) break;
            while (punct(j, '.'))
                ++j;
        }
        if (j == nameAt) return std::nullopt;
        const QString table = text_.mid(t_[nameAt].start, t_[j - 1].end - t_[nameAt].start).toString();

        bool afterSet = false;
        int depth = 0, cases = 0;
        for (; j < t_.size() && !filtered; ++j) {
            const Token& t = t_[j];
            if (t.isPunct(text_, '(')) {
                ++depth;
                continue;
            }
            if (t.isPunct(text_, ')')) {
                if (depth-- == 0) break; // the end of a WITH query or subquery holding it
                continue;
            }
            if (depth > 0) continue;
            if (t.kind == TokenKind::Semicolon) break;
            if (t.kind != TokenKind::Word) continue;
            if (isWord(text_, t, "CASE")) {
                ++cases;
            } else if (cases > 0) {
                if (isWord(text_, t, "END")) --cases;
            } else if (isAnyWord(text_, t, {"WHERE", "LIMIT"})) {
                filtered = true;
            } else if (isWord(text_, t, "ON")) {
                // a join of the multi-table forms filters the rows it changes
                filtered = update ? !afterSet : !fromForm;
            } else if (isWord(text_, t, "SET")) {
                afterSet = true;
            } else if (isAnyWord(text_, t, {"SELECT",  "INSERT",  "UPDATE",   "DELETE",   "MERGE",  "IF",
                                            "ELSE",    "BEGIN",   "END",      "WHILE",    "PRINT",  "EXEC",
                                            "EXECUTE", "DECLARE", "RETURN",   "TRUNCATE", "CREATE", "DROP",
                                            "ALTER",   "COMMIT",  "ROLLBACK", "USE"})) {
                break; // the next statement of a batch written without ';'
            }
        }
        if (filtered) return std::nullopt;
        return UnfilteredChange{update ? QStringLiteral("UPDATE") : QStringLiteral("DELETE"), table, 0};
    }

    QStringView text_;
    const std::vector<Token>& t_;
};

} // namespace

std::vector<UnfilteredChange>
findUnfilteredChanges(QStringView script, const std::vector<StatementRange>& statements, Dialect dialect) {
    std::vector<UnfilteredChange> out;
    std::vector<Token> tokens;
    for (size_t s = 0; s < statements.size(); ++s) {
        tokens.clear();
        SqlLexer lex(script, dialect, statements[s].start);
        bool candidate = false;
        for (Token t = lex.nextSignificant(); t.kind != TokenKind::End && t.start < statements[s].end;
             t = lex.nextSignificant()) {
            tokens.push_back(t);
            candidate = candidate || isAnyWord(script, t, {"UPDATE", "DELETE"});
        }
        if (candidate) StatementCheck(script, tokens).run(s, out);
    }
    return out;
}

std::vector<UnfilteredChange> findUnfilteredChanges(QStringView script, Dialect dialect) {
    return findUnfilteredChanges(script, splitStatements(script, dialect), dialect);
}

QString unfilteredQuestion(const std::vector<UnfilteredChange>& changes) {
    QStringList tables;
    bool updates = false, deletes = false;
    for (const UnfilteredChange& c : changes) {
        if (!tables.contains(c.table)) tables << c.table;
        (c.verb == QLatin1String("UPDATE") ? updates : deletes) = true;
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

} // namespace sqlscript
