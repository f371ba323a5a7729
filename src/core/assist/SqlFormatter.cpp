#include "assist/SqlFormatter.h"

#include "assist/FormatTree_p.h"

#include <optional>

namespace assist {

using script::TokenKind;

namespace {

constexpr size_t kNone = size_t(-1);

struct Range {
    size_t begin, end;
};

class Renderer {
public:
    Renderer(const FormatTree& tree, const QHash<QString, QString>& spellings, const FormatOptions& options)
        : tree_(tree), spellings_(spellings), options_(options) {}

    QString run() {
        renderTop(tree_.roots());
        endLine();
        return out_;
    }

private:
    // ---- lines ----

    qsizetype lineLength() const { return line_.size() - (line_.lastIndexOf(QLatin1Char('\n')) + 1); }

    // Writes the line. Its line break goes out with the next line, so the
    // text ends without one (a token's own trailing blanks and breaks stay).
    void endLine() {
        if (lineEmpty_) return;
        for (int i = 0; i < pendingBreaks_; ++i)
            out_ += options_.lineBreak;
        if (!out_.isEmpty()) out_ += options_.lineLead;
        out_ += line_;
        pendingBreaks_ = blankPending_ ? 2 : 1;
        blankPending_ = false;
        line_.clear();
        lineEmpty_ = true;
    }

    // The layout wants token that comes next on a new line at indent; put()
    // breaks the line there unless that could change what the tokens are.
    void newline(int indent) {
        wantBreak_ = true;
        lineIndent_ = indent;
    }

    void breakLine(int indent) {
        endLine();
        line_ = QString(indent * options_.indentWidth, QLatin1Char(' '));
        lineIndent_ = indent;
    }

    // ---- tokens ----

    QString textOf(size_t i) const {
        const QStringView t = tree_.textOf(i);
        if (!tree_.at(i).recase) return t.toString();
        const auto spelling = spellings_.constFind(t.toString().toLower());
        return spelling == spellings_.cend() ? t.toString() : *spelling;
    }

    // What goes between the last token and token i on one line.
    QString separator(size_t i, size_t previous) const {
        const script::Token& t = tree_.at(i).token;
        if (t.isPunct(tree_.text(), ',') || t.kind == TokenKind::Semicolon) return QString();
        if (previous != kNone && tree_.at(previous).token.isPunct(tree_.text(), ',')) return QStringLiteral(" ");
        return tree_.at(i).spaceBefore ? QStringLiteral(" ") : QString();
    }

    // Whether token i has to start a line whatever the layout says.
    bool mustStartLine(size_t i, size_t previous) const {
        const FormatToken& f = tree_.at(i);
        if (f.ownLine || f.goLine) return true;
        return previous != kNone && f.lineBefore && f.token.kind == TokenKind::String &&
               tree_.at(previous).token.kind == TokenKind::String;
    }

    bool isGoWord(size_t i) const {
        return script::SqlLexer::isWord(tree_.text(), tree_.at(i).token, "GO");
    }

    // Whether a line break may stand between two tokens: where they were
    // written apart (two strings only where a line break parted them:
    // PostgreSQL joins those), or where nothing can join or part them
    // otherwise ("-" "-" would become a comment in MariaDB, N'x' a name and a
    // string, count( a name before a parenthesis). Never next to a word GO
    // that did not stand alone on its line: that would make it a batch's end.
    bool breakAllowed(size_t previous, size_t next) const {
        if (previous == kNone) return true;
        const FormatToken& p = tree_.at(previous);
        const FormatToken& n = tree_.at(next);
        if ((isGoWord(previous) && !p.goLine) || (isGoWord(next) && !n.goLine)) return false;
        if (p.token.kind == TokenKind::String && n.token.kind == TokenKind::String) return n.lineBefore;
        if (n.spaceBefore) return true;
        const QStringView text = tree_.text();
        if (p.token.isPunct(text, ',') || p.token.isPunct(text, '(') || p.token.kind == TokenKind::Semicolon) return true;
        if (n.token.isPunct(text, '(')) return false;
        if (p.token.kind == TokenKind::Punct) return p.token.isPunct(text, ')');
        return n.token.kind != TokenKind::String && n.token.kind != TokenKind::QuotedName &&
               n.token.kind != TokenKind::DollarBody;
    }

    void put(size_t i) {
        const FormatToken& f = tree_.at(i);
        // a GO line keeps its count and a comment; the rest goes below it
        const bool onGoLine = afterGo_ && !f.lineBefore && (f.token.kind == TokenKind::Number || f.token.isComment());
        const bool forced = breakPending_ || (afterGo_ && !onGoLine) || (!lineEmpty_ && mustStartLine(i, last_));
        if (forced || (wantBreak_ && !lineEmpty_ && breakAllowed(last_, i)))
            breakLine(lineIndent_);
        else if (wantBreak_ && lineEmpty_)
            line_ = QString(lineIndent_ * options_.indentWidth, QLatin1Char(' '));
        wantBreak_ = false;
        if (!lineEmpty_) line_ += separator(i, last_);
        line_ += textOf(i);
        lineEmpty_ = false;
        last_ = i;
        breakPending_ = f.token.kind == TokenKind::LineComment || f.ownLine || onGoLine;
        afterGo_ = f.goLine;
    }

    // ---- measuring ----

    // The nodes on one line, or nothing when they cannot share one.
    bool appendFlat(const FormatNode& n, QString& out, size_t& previous) const {
        auto token = [&](size_t i) {
            const FormatToken& f = tree_.at(i);
            if (f.token.isComment() || (previous != kNone && mustStartLine(i, previous))) return false;
            if (f.goLine || tree_.textOf(i).contains(QLatin1Char('\n')) || tree_.textOf(i).contains(QLatin1Char('\r')))
                return false;
            if (previous != kNone) out += separator(i, previous);
            out += textOf(i);
            previous = i;
            return true;
        };
        if (n.type == FormatNode::Type::Case || (n.type == FormatNode::Type::Group && n.query)) return false;
        if (!token(n.token)) return false;
        for (const FormatNode& c : n.children)
            if (!appendFlat(c, out, previous)) return false;
        return n.last == kNone || token(n.last);
    }

    std::optional<QString> flat(const std::vector<FormatNode>& nodes, Range r) const {
        QString out;
        size_t previous = kNone;
        for (size_t k = r.begin; k < r.end; ++k)
            if (!appendFlat(nodes[k], out, previous)) return std::nullopt;
        return out;
    }

    // Whether the nodes fit on the current line after what it holds (extra:
    // characters that must follow them there).
    bool fits(const std::vector<FormatNode>& nodes, Range r, int extra = 0) const {
        if (r.begin >= r.end) return true;
        const auto f = flat(nodes, r);
        if (!f) return false;
        const qsizetype sep = lineEmpty_ ? 0 : separator(nodes[r.begin].token, last_).size();
        return lineLength() + sep + f->size() + extra <= options_.width;
    }

    // ---- splitting ----

    // Items separated by commas (a comment on the comma's line stays with it).
    std::vector<Range> splitCommas(const std::vector<FormatNode>& nodes, Range r) const {
        std::vector<Range> out;
        size_t start = r.begin;
        for (size_t k = r.begin; k < r.end; ++k) {
            if (!tree_.isPunct(nodes[k], ',')) continue;
            while (k + 1 < r.end && tree_.isComment(nodes[k + 1]) && !tree_.at(nodes[k + 1].token).lineBefore)
                ++k;
            out.push_back({start, k + 1});
            start = k + 1;
        }
        if (start < r.end) out.push_back({start, r.end});
        return out;
    }

    // Conditions joined by AND and OR (BETWEEN's AND joins nothing).
    std::vector<Range> splitConditions(const std::vector<FormatNode>& nodes, Range r) const {
        std::vector<Range> out;
        size_t start = r.begin;
        bool between = false;
        for (size_t k = r.begin; k < r.end; ++k) {
            if (tree_.isWord(nodes[k], "BETWEEN")) between = true;
            if (!tree_.isAnyWord(nodes[k], {"AND", "OR"}) || k == r.begin) continue;
            if (between && tree_.isWord(nodes[k], "AND")) {
                between = false;
                continue;
            }
            out.push_back({start, k});
            start = k;
        }
        out.push_back({start, r.end});
        return out;
    }

    // ---- layout ----

    void renderInline(const std::vector<FormatNode>& nodes, Range r) {
        for (size_t k = r.begin; k < r.end; ++k) {
            const FormatNode& n = nodes[k];
            if (n.type == FormatNode::Type::Group)
                renderGroup(n);
            else if (n.type == FormatNode::Type::Case)
                renderCase(n);
            else
                put(n.token);
        }
    }

    void renderGroup(const FormatNode& g) {
        put(g.token);
        const int base = lineIndent_;
        const Range all{0, g.children.size()};
        if (g.query) {
            newline(base + 1);
            renderStatement(g.children, all, base + 1);
            if (g.last != kNone) newline(base);
        } else if (g.children.empty() || fits(g.children, all, g.last == kNone ? 0 : 1)) {
            renderInline(g.children, all);
        } else {
            for (const Range& item : splitCommas(g.children, all)) {
                if (line_.trimmed() != QLatin1String(",")) newline(base + 1);
                renderInline(g.children, item);
            }
            if (g.last != kNone) newline(base);
        }
        if (g.last != kNone) put(g.last);
    }

    void renderCase(const FormatNode& c) {
        put(c.token);
        const int base = lineIndent_;
        size_t start = 0;
        for (size_t k = 0; k <= c.children.size(); ++k) {
            if (k < c.children.size() && !(k > 0 && tree_.isAnyWord(c.children[k], {"WHEN", "ELSE"}))) continue;
            if (start > 0 || (k > 0 && tree_.isAnyWord(c.children[0], {"WHEN", "ELSE"}))) newline(base + 1);
            renderInline(c.children, {start, k});
            start = k;
        }
        if (c.last == kNone) return;
        newline(base);
        put(c.last);
    }

    enum class ClauseKind { Plain, List, Conditions };

    ClauseKind kindOf(const FormatNode& head) const {
        if (tree_.isAnyWord(head, {"SELECT", "GROUP", "ORDER", "SET", "VALUES", "RETURNING", "FROM", "WITH"}))
            return ClauseKind::List;
        if (tree_.isAnyWord(head, {"WHERE", "HAVING"})) return ClauseKind::Conditions;
        return ClauseKind::Plain;
    }

    void renderClause(const std::vector<FormatNode>& nodes, size_t head, size_t body, size_t end, int indent,
                      ClauseKind kind) {
        renderInline(nodes, {head, body});
        if (body >= end) return;
        const std::vector<Range> items = kind == ClauseKind::List         ? splitCommas(nodes, {body, end})
                                         : kind == ClauseKind::Conditions ? splitConditions(nodes, {body, end})
                                                                          : std::vector<Range>{{body, end}};
        if (items.size() < 2 || fits(nodes, {body, end})) return renderInline(nodes, {body, end});
        for (size_t i = 0; i < items.size(); ++i) {
            // a comma that a line comment pushed onto a line of its own takes the next item
            const bool commaLine = line_.trimmed() == QLatin1String(",");
            if ((i > 0 || kind == ClauseKind::List) && !commaLine) newline(indent + 1);
            renderInline(nodes, items[i]);
        }
    }

    // One statement (or subquery) at indent: a clause a line.
    void renderStatement(const std::vector<FormatNode>& nodes, Range r, int indent) {
        size_t first = r.begin;
        while (first < r.end && tree_.isComment(nodes[first]))
            ++first;
        std::vector<size_t> starts{r.begin};
        for (size_t k = first; k < r.end; ++k)
            if (k > r.begin && tree_.startsClause(nodes, first, k)) starts.push_back(k);
        starts.push_back(r.end);
        for (size_t c = 0; c + 1 < starts.size(); ++c) {
            const size_t at = starts[c];
            if (c > 0) newline(indent);
            size_t head = at;
            while (head < starts[c + 1] && tree_.isComment(nodes[head]))
                ++head;
            const bool clause = head < starts[c + 1] && tree_.startsClause(nodes, first, head);
            const size_t body = clause ? std::min(tree_.headLength(nodes, head), starts[c + 1]) : head;
            renderClause(nodes, at, body, starts[c + 1], indent,
                         clause ? kindOf(nodes[head]) : ClauseKind::Plain);
        }
    }

    // The text's statements: split at ';' (a blank line after one that ends a
    // statement, a line break inside a BEGIN … END block) and at GO lines.
    void renderTop(const std::vector<FormatNode>& nodes) {
        int depth = 0;
        size_t start = 0;
        auto flush = [&](size_t end) {
            if (end > start) {
                newline(depth);
                renderStatement(nodes, {start, end}, depth);
            }
            start = end;
        };
        auto sameLineComments = [&](size_t& k) {
            while (k + 1 < nodes.size() && tree_.isComment(nodes[k + 1]) && !tree_.at(nodes[k + 1].token).lineBefore)
                put(nodes[++k].token);
        };
        for (size_t k = 0; k < nodes.size(); ++k) {
            const FormatNode& n = nodes[k];
            if (n.type == FormatNode::Type::Token && tree_.at(n.token).token.kind == TokenKind::Semicolon) {
                flush(k);
                put(n.token);
                sameLineComments(k);
                blankPending_ = depth == 0;
                newline(depth);
                start = k + 1;
            } else if (n.type == FormatNode::Type::Token && tree_.at(n.token).goLine) {
                flush(k);
                newline(0);
                put(n.token);
                if (k + 1 < nodes.size() && !tree_.at(nodes[k + 1].token).lineBefore &&
                    tree_.at(nodes[k + 1].token).token.kind == TokenKind::Number)
                    put(nodes[++k].token);
                sameLineComments(k);
                blankPending_ = true;
                depth = 0;
                newline(0);
                start = k + 1;
            } else if (opensBlock(nodes, k)) {
                flush(k);
                newline(depth);
                put(n.token);
                // BEGIN NOT ATOMIC, BEGIN TRY and BEGIN CATCH stay on one line
                if (k + 2 < nodes.size() && tree_.isWord(nodes[k + 1], "NOT") && tree_.isWord(nodes[k + 2], "ATOMIC")) {
                    put(nodes[++k].token);
                    put(nodes[++k].token);
                } else if (k + 1 < nodes.size() && tree_.isAnyWord(nodes[k + 1], {"TRY", "CATCH"})) {
                    put(nodes[++k].token);
                }
                newline(++depth);
                start = k + 1;
            } else if (depth > 0 && closesBlock(nodes, k)) {
                flush(k);
                newline(--depth);
            }
        }
        flush(nodes.size());
    }

    bool opensBlock(const std::vector<FormatNode>& nodes, size_t k) const {
        if (!tree_.isWord(nodes[k], "BEGIN") || k + 1 >= nodes.size()) return false;
        const FormatNode& next = nodes[k + 1];
        return !(next.type == FormatNode::Type::Token && tree_.at(next.token).token.kind == TokenKind::Semicolon) &&
               !tree_.isAnyWord(next, {"TRANSACTION", "TRAN", "WORK", "ISOLATION", "DISTRIBUTED", "DEFERRED",
                                       "IMMEDIATE", "EXCLUSIVE", "READ"});
    }

    bool closesBlock(const std::vector<FormatNode>& nodes, size_t k) const {
        return tree_.isWord(nodes[k], "END") &&
               !(k + 1 < nodes.size() && tree_.isAnyWord(nodes[k + 1], {"IF", "LOOP", "WHILE", "REPEAT", "FOR", "CASE"}));
    }

    const FormatTree& tree_;
    const QHash<QString, QString>& spellings_;
    const FormatOptions& options_;
    QString out_;
    QString line_;
    int lineIndent_ = 0;
    bool lineEmpty_ = true;
    bool breakPending_ = false; // the next token starts a line (after a line comment)
    bool wantBreak_ = false;    // the layout asks for a line break before the next token
    bool afterGo_ = false;      // the last token was a GO standing alone on its line
    bool blankPending_ = false;
    int pendingBreaks_ = 0; // line breaks owed before the next line
    size_t last_ = kNone;
};

} // namespace

QString formatSql(QStringView text, const QHash<QString, QString>& spellings, script::Dialect dialect,
                  const FormatOptions& options) {
    const FormatTree tree(text, dialect, spellings);
    return Renderer(tree, spellings, options).run();
}

} // namespace assist
