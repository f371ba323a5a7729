#pragma once
// The queries of one statement and the tables each names: the statement
// itself and every parenthesised SELECT (or WITH, VALUES) inside it is a
// scope; a scope's tables are those its own FROM, JOIN, UPDATE, INTO and
// USING clauses name (a subquery in FROM becomes a derived table whose
// columns are its select list's names), and its WITH queries. Used by the
// statement context; works on the statement's significant tokens.

#include "assist/StatementContext.h"
#include "script/SqlLexer.h"

#include <string_view>
#include <vector>

namespace assist {

// The significant tokens of a statement with the matching parenthesis of each.
class StatementTokens {
public:
    StatementTokens(QStringView text, std::vector<script::Token> tokens);

    size_t size() const { return tokens_.size(); }
    const script::Token& at(size_t i) const { return tokens_[i]; }
    QStringView text() const { return text_; }
    bool word(size_t i, std::string_view keyword) const;
    bool anyWord(size_t i, std::initializer_list<std::string_view> keywords) const;
    bool punct(size_t i, char c) const;
    // A plain or quoted name (Word or QuotedName).
    bool isName(size_t i) const;
    QString name(size_t i) const; // without quotes
    // The index of the ')' matching a '(' at i (size() when it is never closed).
    size_t closing(size_t i) const { return match_[i]; }
    // The index of the '(' matching a ')' at i (size() when it was never opened).
    size_t opening(size_t i) const { return match_[i]; }
    // Where reading goes on after the group opened at i: past its ')', or,
    // when it is never closed (a call still being typed), just past the '('.
    size_t after(size_t i) const { return match_[i] < tokens_.size() ? match_[i] + 1 : i + 1; }
    // Whether the parenthesis at i holds a query (SELECT, WITH, VALUES).
    bool opensQuery(size_t i) const;

private:
    QStringView text_;
    std::vector<script::Token> tokens_;
    std::vector<size_t> match_;
};

struct Scope {
    size_t begin = 0, end = 0; // its tokens [begin, end): inside its parentheses
    int parent = -1;           // the scope around it; -1 for the statement
    std::vector<TableRef> tables;
    std::vector<TableRef> ctes;
};

class QueryScopes {
public:
    // skip: a token that is never a table's name (the word being typed).
    QueryScopes(const StatementTokens& tokens, size_t skip);

    const std::vector<Scope>& scopes() const { return scopes_; }
    // The innermost scope holding token index i (i may be size(): the end).
    int scopeAt(size_t i) const;

private:
    void build(size_t begin, size_t end, int parent);
    void readCtes(Scope& scope, size_t& i);
    void readTables(Scope& scope, size_t from);
    // Reads one table reference at i; false when there is none there.
    bool readTableRef(const Scope& scope, size_t& i, TableRef& out);
    void readAlias(size_t& i, TableRef& ref);
    // The output names of the query in [begin, end), and its "*" sources.
    TableRef derivedFrom(size_t begin, size_t end);
    bool isAliasWord(size_t i) const;

    const StatementTokens& t_;
    size_t skip_;
    std::vector<Scope> scopes_;
};

} // namespace assist
