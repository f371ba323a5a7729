#pragma once
// The shape of SQL text as the formatter sees it: its tokens (comments
// included) with the blanks that stood before each, parentheses and CASE …
// END as nested nodes, which words start a clause, and which words may take
// the keyword catalogue's spelling: a reserved word, or a word of the
// catalogue where no name can stand (a call, a type after "::" or AS or a
// column's name), but never a table's name or alias, a part of a qualified
// name or a column alias with or without AS.

#include "script/SqlLexer.h"

#include <QHash>
#include <QString>
#include <string_view>
#include <vector>

namespace assist {

struct FormatToken {
    script::Token token;
    bool spaceBefore = false; // blanks stood between it and the token before
    bool lineBefore = false;  // …and they held a line break (or it starts the text)
    bool goLine = false;      // a T-SQL GO alone on its line
    // A comment on a line of its own (a block comment: with nothing after it on its last line).
    bool ownLine = false;
    bool recase = false;      // a word that takes the catalogue's spelling (if it has one)
};

struct FormatNode {
    enum class Type { Token, Group, Case };
    Type type = Type::Token;
    size_t token = 0;            // the token; a group's '(' or a CASE
    size_t last = size_t(-1);    // a group's ')' or a CASE's END; -1 when missing
    std::vector<FormatNode> children;  // inside the group or between CASE and END
    bool query = false;          // a group holding SELECT, WITH or VALUES
};

class FormatTree {
public:
    // spellings: the catalogue's words, by their lower case.
    FormatTree(QStringView text, script::Dialect dialect, const QHash<QString, QString>& spellings);

    QStringView text() const { return text_; }
    const std::vector<FormatToken>& tokens() const { return tokens_; }
    const FormatToken& at(size_t i) const { return tokens_[i]; }
    QStringView textOf(size_t i) const {
        return text_.mid(tokens_[i].token.start, tokens_[i].token.end - tokens_[i].token.start);
    }
    const std::vector<FormatNode>& roots() const { return roots_; }

    // Whether a node is the word keyword (a plain word, not part of a
    // qualified name).
    bool isWord(const FormatNode& n, std::string_view keyword) const;
    bool isAnyWord(const FormatNode& n, std::initializer_list<std::string_view> keywords) const;
    bool isPunct(const FormatNode& n, char c) const;
    bool isComment(const FormatNode& n) const;

    // Whether nodes[k] starts a clause of the query whose first node (not a
    // comment) is nodes[first], and the end of its keyword phrase
    // ("LEFT OUTER JOIN" takes 3 nodes).
    bool startsClause(const std::vector<FormatNode>& nodes, size_t first, size_t k) const;
    size_t headLength(const std::vector<FormatNode>& nodes, size_t k) const;

private:
    void lex(script::Dialect dialect);
    std::vector<FormatNode> parse(size_t& i, int stop);
    bool qualified(size_t i) const; // a word glued to a '.'
    void markRecase(const QHash<QString, QString>& spellings);

    QStringView text_;
    std::vector<FormatToken> tokens_;
    std::vector<FormatNode> roots_;
};

} // namespace assist
