#include "assist/FormatTree_p.h"

#include "assist/SqlWords.h"
#include "catalog/SqlDialect.h"

namespace assist {

using script::SqlLexer;
using script::Token;
using script::TokenKind;

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// After a GO word: an optional count and line comment, then the line's end.
bool restOfGoLine(QStringView text, qsizetype j) {
    const qsizetype n = text.size();
    auto blanks = [&] {
        while (j < n && (text[j] == QLatin1Char(' ') || text[j] == QLatin1Char('\t'))) ++j;
    };
    blanks();
    while (j < n && text[j].isDigit()) ++j;
    blanks();
    if (j + 1 < n && text[j] == QLatin1Char('-') && text[j + 1] == QLatin1Char('-')) return true;
    return j >= n || isLineBreak(text[j]);
}

} // namespace

FormatTree::FormatTree(QStringView text, script::Dialect dialect, const QHash<QString, QString>& spellings)
    : text_(text) {
    lex(dialect);
    markRecase(spellings);
    size_t i = 0;
    roots_ = parse(i, 0);
}

void FormatTree::lex(script::Dialect dialect) {
    SqlLexer lexer(text_, dialect);
    qsizetype previousEnd = 0;
    for (Token t = lexer.next(); t.kind != TokenKind::End; t = lexer.next()) {
        FormatToken f;
        f.token = t;
        const QStringView gap = text_.mid(previousEnd, t.start - previousEnd);
        f.spaceBefore = !gap.isEmpty();
        f.lineBefore = tokens_.empty() || gap.contains(QLatin1Char('\n')) || gap.contains(QLatin1Char('\r'));
        f.goLine = f.lineBefore && SqlLexer::isWord(text_, t, "GO") && restOfGoLine(text_, t.end);
        if (!tokens_.empty() && tokens_.back().token.kind == TokenKind::BlockComment)
            tokens_.back().ownLine = tokens_.back().lineBefore && f.lineBefore;
        f.ownLine = f.lineBefore && t.isComment();
        tokens_.push_back(f);
        previousEnd = t.end;
    }
}

bool FormatTree::qualified(size_t i) const {
    auto dotAt = [this](size_t k) {
        return k < tokens_.size() && tokens_[k].token.isPunct(text_, '.');
    };
    size_t before = i;
    while (before > 0 && tokens_[before - 1].token.isComment())
        --before;
    size_t after = i + 1;
    while (after < tokens_.size() && tokens_[after].token.isComment())
        ++after;
    return (before > 0 && dotAt(before - 1)) || dotAt(after);
}

std::vector<FormatNode> FormatTree::parse(size_t& i, int depth) {
    // depth: 0 the top, otherwise inside a group (odd) or a CASE (even)
    std::vector<FormatNode> out;
    const size_t n = tokens_.size();
    auto keyword = [this](size_t k, std::string_view w) {
        return SqlLexer::isWord(text_, tokens_[k].token, w) && !qualified(k);
    };
    while (i < n) {
        if (depth > 0 && tokens_[i].token.isPunct(text_, ')')) return out; // closes this group or one around it
        if (depth > 0 && depth % 2 == 0 && keyword(i, "END")) return out;
        FormatNode node;
        node.token = i;
        const bool endCase = !out.empty() && out.back().type == FormatNode::Type::Token && keyword(out.back().token, "END");
        if (tokens_[i].token.isPunct(text_, '(')) {
            node.type = FormatNode::Type::Group;
            ++i;
            node.children = parse(i, depth % 2 == 1 ? depth + 2 : depth + 1);
            if (i < n && tokens_[i].token.isPunct(text_, ')')) node.last = i++;
            for (const FormatNode& c : node.children) {
                if (c.type == FormatNode::Type::Token && tokens_[c.token].token.isComment()) continue;
                node.query = c.type == FormatNode::Type::Token &&
                             SqlLexer::isAnyWord(text_, tokens_[c.token].token, {"SELECT", "WITH", "VALUES"});
                break;
            }
        } else if (keyword(i, "CASE") && !endCase) { // END CASE closes a CASE statement
            node.type = FormatNode::Type::Case;
            ++i;
            node.children = parse(i, depth % 2 == 0 ? depth + 2 : depth + 1);
            if (i < n && keyword(i, "END")) node.last = i++;
        } else {
            ++i;
        }
        out.push_back(std::move(node));
    }
    return out;
}

void FormatTree::markRecase(const QHash<QString, QString>& spellings) {
    struct Level {
        bool query;
        bool fromList = false;
        bool derived = false;    // a subquery in a table's place: an alias follows it
        bool selectList = false; // between SELECT and the end of its list
    };
    auto known = [&](const Token& t) {
        return t.kind == TokenKind::Word && spellings.contains(text_.mid(t.start, t.end - t.start).toString().toLower());
    };
    // what ends a value ("count(*)", "a", "'x'", "CASE … END"): a word after one is its alias
    auto endsValue = [&](const Token& t) {
        return t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::QuotedName ||
               t.isPunct(text_, ')') || (t.kind == TokenKind::Word && !known(t)) ||
               SqlLexer::isAnyWord(text_, t, {"END", "NULL", "TRUE", "FALSE"});
    };
    // …unless it is one of the words that go on after a value
    auto goesOn = [&](const Token& t) {
        return assist::continuesAfterTable(text_, t) ||
               SqlLexer::isAnyWord(text_, t, {"ASC", "DESC", "NULLS", "IS", "IN", "LIKE", "ILIKE", "BETWEEN",
                                              "COLLATE", "OVER", "FILTER", "WITHIN", "ESCAPE", "SIMILAR", "REGEXP",
                                              "RLIKE", "GLOB", "MATCH", "DIV", "MOD", "XOR"});
    };
    std::vector<Level> levels{{true}};
    bool tableSlot = false, afterTable = false;
    const Token* previous = nullptr; // the previous significant token
    for (size_t i = 0; i < tokens_.size(); ++i) {
        const Token& t = tokens_[i].token;
        if (t.isComment()) continue;
        const Token* before = previous;
        previous = &t;
        if (t.isPunct(text_, '.')) continue; // a qualified name goes on
        if (t.isPunct(text_, '(')) {
            size_t next = i + 1;
            while (next < tokens_.size() && tokens_[next].token.isComment())
                ++next;
            const bool query = next < tokens_.size() &&
                               SqlLexer::isAnyWord(text_, tokens_[next].token, {"SELECT", "WITH", "VALUES"});
            levels.push_back({query, false, tableSlot && query});
            tableSlot = afterTable = false;
            continue;
        }
        if (t.isPunct(text_, ')')) {
            afterTable = levels.size() > 1 && levels.back().derived;
            if (levels.size() > 1) levels.pop_back();
            continue;
        }
        if (t.isPunct(text_, ',')) {
            tableSlot = levels.back().fromList;
            afterTable = false;
            continue;
        }
        if (t.kind == TokenKind::Semicolon) levels.back().selectList = levels.back().fromList = false;
        if (t.kind != TokenKind::Word) {
            if (t.kind == TokenKind::QuotedName && (tableSlot || afterTable)) {
                afterTable = tableSlot; // a quoted table name, then perhaps its alias
                tableSlot = false;
            } else {
                tableSlot = afterTable = false;
            }
            continue;
        }
        if (qualified(i)) continue;
        if (tokens_[i].goLine) { // a batch ends: everything starts afresh
            tokens_[i].recase = known(t);
            levels = {{true}};
            tableSlot = afterTable = false;
            continue;
        }
        if (tableSlot && !SqlLexer::isAnyWord(text_, t, {"ONLY", "LATERAL"})) {
            tableSlot = false; // a table's name keeps its spelling
            afterTable = true;
            continue;
        }
        if (afterTable && !SqlLexer::isWord(text_, t, "AS")) {
            afterTable = false;
            if (!assist::continuesAfterTable(text_, t)) continue; // its alias
        }
        if (before && SqlLexer::isWord(text_, *before, "AS") && levels.back().query) continue; // a column alias
        if (levels.back().selectList && before && endsValue(*before) && !goesOn(t)) continue;   // one without AS
        if (SqlLexer::isWord(text_, t, "SELECT")) levels.back().selectList = true;
        if (SqlLexer::isAnyWord(text_, t, {"FROM", "INTO", "WHERE", "GROUP", "ORDER", "HAVING", "LIMIT", "UNION",
                                           "INTERSECT", "EXCEPT", "WINDOW", "FETCH", "OFFSET", "FOR"}))
            levels.back().selectList = false;
        // a reserved word is a keyword; any other word of the catalogue only
        // where a name cannot stand: a call "total(", a type after "::" or
        // AS, or after a column's name in a definition ("note text")
        size_t next = i + 1;
        while (next < tokens_.size() && tokens_[next].token.isComment())
            ++next;
        const bool call = next < tokens_.size() && tokens_[next].token.isPunct(text_, '(');
        const bool typePlace =
            before && (before->isPunct(text_, ':') ||
                       (!levels.back().query && (SqlLexer::isWord(text_, *before, "AS") ||
                                                 before->kind == TokenKind::QuotedName ||
                                                 (before->kind == TokenKind::Word && !known(*before)))));
        tokens_[i].recase = known(t) && (isReservedWord(text_.mid(t.start, t.end - t.start).toString()) || call || typePlace);
        if (SqlLexer::isWord(text_, t, "FROM")) {
            levels.back().fromList = tableSlot = true;
        } else if (SqlLexer::isAnyWord(text_, t, {"JOIN", "INTO", "TABLE", "STRAIGHT_JOIN"}) ||
                   (SqlLexer::isWord(text_, t, "UPDATE") &&
                    !(before && SqlLexer::isAnyWord(text_, *before, {"KEY", "DO", "FOR"})))) {
            tableSlot = true;
            levels.back().fromList = false;
        } else if (assist::continuesAfterTable(text_, t) && !SqlLexer::isWord(text_, t, "AS")) {
            levels.back().fromList = false;
        }
    }
}

bool FormatTree::isWord(const FormatNode& n, std::string_view keyword) const {
    return n.type == FormatNode::Type::Token && SqlLexer::isWord(text_, tokens_[n.token].token, keyword) &&
           !qualified(n.token);
}

bool FormatTree::isAnyWord(const FormatNode& n, std::initializer_list<std::string_view> keywords) const {
    return n.type == FormatNode::Type::Token && SqlLexer::isAnyWord(text_, tokens_[n.token].token, keywords) &&
           !qualified(n.token);
}

bool FormatTree::isPunct(const FormatNode& n, char c) const {
    return n.type == FormatNode::Type::Token && tokens_[n.token].token.isPunct(text_, c);
}

bool FormatTree::isComment(const FormatNode& n) const {
    return n.type == FormatNode::Type::Token && tokens_[n.token].token.isComment();
}

bool FormatTree::startsClause(const std::vector<FormatNode>& nodes, size_t first, size_t k) const {
    const FormatNode& n = nodes[k];
    if (n.type != FormatNode::Type::Token || tokens_[n.token].token.kind != TokenKind::Word || qualified(n.token))
        return false;
    // the neighbouring nodes that are not comments
    size_t p = k;
    while (p > first && isComment(nodes[p - 1]))
        --p;
    const FormatNode* prev = p > first ? &nodes[p - 1] : nullptr;
    size_t q = k + 1;
    while (q < nodes.size() && isComment(nodes[q]))
        ++q;
    const FormatNode* next = q < nodes.size() ? &nodes[q] : nullptr;
    auto prevIs = [&](std::initializer_list<std::string_view> w) { return prev && isAnyWord(*prev, w); };
    auto nextIs = [&](std::initializer_list<std::string_view> w) { return next && isAnyWord(*next, w); };

    if (isWord(nodes[first], "MERGE")) { // MERGE … USING … ON … WHEN … THEN UPDATE SET …: a WHEN a line
        if (isAnyWord(n, {"USING", "WHEN"})) return true;
        if (isAnyWord(n, {"INSERT", "UPDATE", "DELETE", "SET", "VALUES"})) return k == first;
    }
    if (isAnyWord(n, {"SELECT", "WHERE", "HAVING", "WINDOW", "RETURNING", "LIMIT", "OFFSET", "FETCH", "UNION",
                      "INTERSECT", "EXCEPT", "MINUS", "STRAIGHT_JOIN"}))
        return true;
    if (isWord(n, "FROM")) return !prevIs({"DISTINCT", "DELETE", "NEXT", "PRIOR", "FIRST", "LAST", "ABSOLUTE", "RELATIVE"});
    if (isAnyWord(n, {"GROUP", "ORDER"})) return nextIs({"BY"});
    if (isWord(n, "VALUES"))
        return !prev || prev->type == FormatNode::Type::Group ||
               (prev->type == FormatNode::Type::Token && tokens_[prev->token].token.kind != TokenKind::Punct);
    if (isWord(n, "SET")) {
        for (size_t i = first; i < k; ++i)
            if (isWord(nodes[i], "UPDATE")) return true;
        return false;
    }
    if (isWord(n, "JOIN")) return !prevIs({"INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL", "OUTER"});
    if (isAnyWord(n, {"LEFT", "RIGHT", "FULL"})) return nextIs({"JOIN", "OUTER"}) && !prevIs({"NATURAL"});
    if (isAnyWord(n, {"INNER", "CROSS"})) return nextIs({"JOIN", "APPLY"}) && !prevIs({"NATURAL"});
    if (isWord(n, "NATURAL")) return nextIs({"JOIN", "LEFT", "RIGHT", "FULL", "INNER"});
    if (isWord(n, "OUTER")) return nextIs({"APPLY"});
    if (isWord(n, "WITH")) return k == first;
    // a statement of its own: first, after a WITH query, or after DO, THEN, ELSE, LOOP in a block
    if (isAnyWord(n, {"INSERT", "UPDATE", "DELETE", "MERGE"}))
        return k == first || (prev && prev->type == FormatNode::Type::Group) || prevIs({"DO", "THEN", "ELSE", "LOOP"});
    return false;
}

size_t FormatTree::headLength(const std::vector<FormatNode>& nodes, size_t k) const {
    size_t h = k + 1;
    auto wordAt = [&](size_t i, std::initializer_list<std::string_view> w) {
        return i < nodes.size() && isAnyWord(nodes[i], w);
    };
    const FormatNode& n = nodes[k];
    if (isAnyWord(n, {"GROUP", "ORDER"}) && wordAt(h, {"BY"})) {
        ++h;
    } else if (isAnyWord(n, {"LEFT", "RIGHT", "FULL", "INNER", "CROSS", "NATURAL", "OUTER"})) {
        while (wordAt(h, {"LEFT", "RIGHT", "FULL", "INNER", "CROSS", "OUTER"}))
            ++h;
        if (wordAt(h, {"JOIN", "APPLY"})) ++h;
    } else if (isAnyWord(n, {"UNION", "INTERSECT", "EXCEPT", "MINUS"}) && wordAt(h, {"ALL", "DISTINCT"})) {
        ++h;
    } else if ((isWord(n, "INSERT") || isWord(n, "MERGE")) && wordAt(h, {"INTO"})) {
        ++h;
    } else if (isWord(n, "DELETE") && wordAt(h, {"FROM"})) {
        ++h;
    } else if (isWord(n, "WITH") && wordAt(h, {"RECURSIVE"})) {
        ++h;
    } else if (isWord(n, "SELECT")) {
        while (wordAt(h, {"DISTINCT", "ALL", "DISTINCTROW", "SQL_CALC_FOUND_ROWS", "HIGH_PRIORITY"})) {
            ++h;
            if (wordAt(h, {"ON"}) && h + 1 < nodes.size() && nodes[h + 1].type == FormatNode::Type::Group) h += 2;
        }
        if (wordAt(h, {"TOP"}) && h + 1 < nodes.size()) {
            h += 2;
            if (wordAt(h, {"PERCENT"})) ++h;
            if (wordAt(h, {"WITH"}) && wordAt(h + 1, {"TIES"})) h += 2;
        }
    }
    return std::min(h, nodes.size());
}

} // namespace assist
