#include "assist/QueryScopes.h"

#include "assist/SqlWords.h"

namespace assist {

using script::SqlLexer;
using script::Token;
using script::TokenKind;

StatementTokens::StatementTokens(QStringView text, std::vector<Token> tokens)
    : text_(text), tokens_(std::move(tokens)), match_(tokens_.size(), tokens_.size()) {
    std::vector<size_t> open;
    for (size_t i = 0; i < tokens_.size(); ++i) {
        if (punct(i, '(')) {
            open.push_back(i);
        } else if (punct(i, ')') && !open.empty()) {
            match_[open.back()] = i;
            match_[i] = open.back();
            open.pop_back();
        }
    }
}

bool StatementTokens::word(size_t i, std::string_view keyword) const {
    return i < tokens_.size() && SqlLexer::isWord(text_, tokens_[i], keyword);
}

bool StatementTokens::anyWord(size_t i, std::initializer_list<std::string_view> keywords) const {
    return i < tokens_.size() && SqlLexer::isAnyWord(text_, tokens_[i], keywords);
}

bool StatementTokens::punct(size_t i, char c) const {
    return i < tokens_.size() && tokens_[i].isPunct(text_, c);
}

bool StatementTokens::isName(size_t i) const {
    return i < tokens_.size() &&
           (tokens_[i].kind == TokenKind::Word || tokens_[i].kind == TokenKind::QuotedName);
}

QString StatementTokens::name(size_t i) const {
    const Token& t = tokens_[i];
    return unquotedName(text_.mid(t.start, t.end - t.start));
}

bool StatementTokens::opensQuery(size_t i) const {
    return punct(i, '(') && anyWord(i + 1, {"SELECT", "WITH", "VALUES"});
}

namespace {

// Names of a list in parentheses starting at open: "(a, b, c)".
QStringList namesInParentheses(const StatementTokens& t, size_t open) {
    QStringList out;
    const size_t close = t.closing(open);
    for (size_t i = open + 1; i < close; ++i)
        if (t.isName(i) && (t.punct(i - 1, '(') || t.punct(i - 1, ','))) out << t.name(i);
    return out;
}

} // namespace

QueryScopes::QueryScopes(const StatementTokens& tokens, size_t skip) : t_(tokens), skip_(skip) {
    build(0, t_.size(), -1);
}

int QueryScopes::scopeAt(size_t i) const {
    int found = 0;
    for (size_t s = 1; s < scopes_.size(); ++s)
        if (scopes_[s].begin <= i && i <= scopes_[s].end) found = int(s); // later scopes lie deeper
    return found;
}

void QueryScopes::build(size_t begin, size_t end, int parent) {
    const int index = int(scopes_.size());
    scopes_.push_back({begin, end, parent, {}, {}});
    Scope scope{begin, end, parent, {}, {}};
    size_t i = begin;
    readCtes(scope, i);
    readTables(scope, i);
    scopes_[size_t(index)].tables = std::move(scope.tables);
    scopes_[size_t(index)].ctes = std::move(scope.ctes);
    // parentheses that are not queries (function arguments, lists) hide none
    for (size_t k = begin; k < end; ++k) {
        if (!t_.opensQuery(k)) continue;
        build(k + 1, t_.closing(k), index);
        k = t_.closing(k);
    }
}

void QueryScopes::readCtes(Scope& scope, size_t& i) {
    if (!t_.word(i, "WITH")) return;
    ++i;
    if (t_.word(i, "RECURSIVE")) ++i;
    while (i < scope.end && t_.isName(i)) {
        TableRef cte;
        cte.derived = true;
        cte.path = QStringList{t_.name(i++)};
        QStringList listed;
        if (t_.punct(i, '(')) {
            listed = namesInParentheses(t_, i);
            i = t_.after(i);
        }
        if (t_.word(i, "AS")) ++i;
        while (t_.anyWord(i, {"NOT", "MATERIALIZED"}))
            ++i;
        if (t_.punct(i, '(')) {
            if (t_.opensQuery(i)) {
                const TableRef query = derivedFrom(i + 1, t_.closing(i));
                cte.columns = query.columns;
                cte.starSources = query.starSources;
            }
            i = t_.after(i);
        }
        if (!listed.isEmpty()) cte.columns = listed;
        scope.ctes.push_back(std::move(cte));
        if (!t_.punct(i, ',')) break;
        ++i;
    }
}

void QueryScopes::readTables(Scope& scope, size_t from) {
    for (size_t i = from; i < scope.end;) {
        if (t_.punct(i, '(')) {
            i = t_.after(i); // not this query's level
            continue;
        }
        const bool list = t_.word(i, "FROM");
        bool names = list || t_.anyWord(i, {"JOIN", "INTO", "TABLE", "STRAIGHT_JOIN"});
        // UPDATE names a table, except in ON DUPLICATE KEY UPDATE, DO UPDATE and FOR UPDATE
        if (t_.word(i, "UPDATE") && !(i > 0 && t_.anyWord(i - 1, {"KEY", "DO", "FOR"}))) names = true;
        // USING names a table (MERGE, DELETE … USING); USING (a, b) of a join lists columns
        if (t_.word(i, "USING") && !(t_.punct(i + 1, '(') && !t_.opensQuery(i + 1))) names = true;
        ++i;
        if (!names) continue;
        TableRef ref;
        if (!readTableRef(scope, i, ref)) continue;
        scope.tables.push_back(std::move(ref));
        while (list && t_.punct(i, ',')) {
            ++i;
            TableRef next;
            if (!readTableRef(scope, i, next)) break;
            scope.tables.push_back(std::move(next));
        }
    }
}

bool QueryScopes::readTableRef(const Scope& scope, size_t& i, TableRef& out) {
    while (t_.anyWord(i, {"LATERAL", "ONLY"}))
        ++i;
    if (i >= scope.end) return false;
    if (t_.punct(i, '(')) {
        const bool query = t_.opensQuery(i);
        if (query) out = derivedFrom(i + 1, t_.closing(i));
        i = t_.after(i);
        if (!query) return false; // a parenthesised join: its tables are not read
        readAlias(i, out);
        return true;
    }
    if (!t_.isName(i) || i == skip_ || !isAliasWord(i)) return false;
    out.path = QStringList{t_.name(i++)};
    while (t_.punct(i, '.')) {
        if (!t_.isName(i + 1) || i + 1 == skip_) return false; // "schema." with the rest still to type
        out.path << t_.name(i + 1);
        i += 2;
    }
    if (t_.punct(i, '(')) i = t_.after(i); // a table function's arguments, INSERT's column list
    readAlias(i, out);
    return true;
}

void QueryScopes::readAlias(size_t& i, TableRef& ref) {
    const bool as = t_.word(i, "AS");
    if (as) ++i;
    if (i == skip_ || !t_.isName(i) || (!as && !isAliasWord(i))) return;
    ref.alias = t_.name(i++);
    if (ref.derived && t_.punct(i, '(')) { // AS x (a, b): the columns renamed
        ref.columns = namesInParentheses(t_, i);
        i = t_.after(i);
    }
}

bool QueryScopes::isAliasWord(size_t i) const {
    return t_.at(i).kind == TokenKind::QuotedName || !continuesAfterTable(t_.text(), t_.at(i));
}

TableRef QueryScopes::derivedFrom(size_t begin, size_t end) {
    TableRef d;
    d.derived = true;
    Scope inner{begin, end, -1, {}, {}};
    size_t i = begin;
    readCtes(inner, i);
    readTables(inner, i);
    while (i < end && !t_.word(i, "SELECT"))
        i = t_.punct(i, '(') ? t_.after(i) : i + 1;
    if (i >= end) return d; // VALUES: unnamed columns
    ++i;
    while (t_.anyWord(i, {"DISTINCT", "ALL", "TOP", "SQL_CALC_FOUND_ROWS", "STRAIGHT_JOIN", "HIGH_PRIORITY"})) {
        const bool takesValue = t_.word(i, "TOP") || (t_.word(i, "DISTINCT") && t_.word(i + 1, "ON"));
        i += t_.word(i, "DISTINCT") && t_.word(i + 1, "ON") ? 2 : 1;
        if (takesValue) i = t_.punct(i, '(') ? t_.after(i) : i + 1;
    }
    auto item = [&](size_t a, size_t b) {
        const size_t n = b - a;
        if (n == 0) return;
        if (n == 1 && t_.punct(a, '*')) {
            d.starSources.insert(d.starSources.end(), inner.tables.begin(), inner.tables.end());
        } else if (n == 3 && t_.punct(a + 2, '*') && t_.punct(a + 1, '.') && t_.isName(a)) {
            for (const TableRef& r : inner.tables)
                if (r.visibleName().compare(t_.name(a), Qt::CaseInsensitive) == 0) d.starSources.push_back(r);
        } else if (t_.isName(b - 1) && n >= 2 && t_.word(b - 2, "AS")) {
            d.columns << t_.name(b - 1);
        } else if (t_.isName(b - 1)) {
            // a (qualified) column keeps its name; "expression alias" takes the alias
            bool chain = n % 2 == 1;
            for (size_t k = a; chain && k < b; ++k)
                chain = (k - a) % 2 == 0 ? t_.isName(k) : t_.punct(k, '.');
            const TokenKind before = t_.at(b - 2).kind;
            const bool afterValue = n >= 2 && isAliasWord(b - 1) &&
                                    !t_.anyWord(b - 1, {"NULL", "TRUE", "FALSE", "ASC", "DESC"}) &&
                                    (t_.isName(b - 2) || before == TokenKind::Number ||
                                     before == TokenKind::String || t_.punct(b - 2, ')'));
            if (chain || afterValue) d.columns << t_.name(b - 1);
        }
    };
    size_t itemStart = i;
    for (; i < end; ++i) {
        if (t_.punct(i, '(')) {
            i = t_.after(i) - 1;
            continue;
        }
        if (t_.punct(i, ',')) {
            item(itemStart, i);
            itemStart = i + 1;
        } else if (t_.anyWord(i, {"FROM", "INTO", "WHERE", "UNION", "INTERSECT", "EXCEPT", "GROUP", "ORDER",
                                  "HAVING", "LIMIT", "WINDOW", "FETCH", "OFFSET", "FOR"})) {
            break;
        }
    }
    item(itemStart, std::min(i, end));
    return d;
}

} // namespace assist
