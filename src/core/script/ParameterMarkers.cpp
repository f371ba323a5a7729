#include "script/ParameterMarkers.h"

#include "script/StatementSplitter.h"

namespace script {
namespace {

using db::ServerFamily;

class MarkerFinder : public StatementVisitor {
public:
    MarkerFinder(QStringView text, ServerFamily server) : text_(text), server_(server) {}

    void token(const Token& t) override {
        if (skip_) return;
        if (count_++ < kHead) head(t);
        if (skip_) return;
        // A marker is a character token with the name glued to it; which
        // characters count is the server's.
        if (pending_) {
            if (t.start == pending_->end && follows(*pending_, t))
                add(pending_->start, t.end);
            else if (pendingAlone_)
                add(pending_->start, pending_->end);
            pending_.reset();
        }
        if (t.kind == TokenKind::Punct && startsMarker(t)) {
            pending_ = t;
            pendingAlone_ = t.isPunct(text_, '?');
        } else if (server_ == ServerFamily::SQLite && t.kind == TokenKind::Word &&
                   text_[t.start] == QLatin1Char('@')) {
            add(t.start, t.end);
        }
        prev_ = t;
    }

    void statementEnded(const StatementRange&) override {
        if (pending_ && pendingAlone_ && !skip_) add(pending_->start, pending_->end);
        if (!current_.markers.isEmpty()) found.push_back(std::move(current_));
        current_ = StatementMarkers{++statement_, {}};
        count_ = 0;
        skip_ = creates_ = false;
        pending_.reset();
        prev_ = Token();
    }

    std::vector<StatementMarkers> found;

private:
    static constexpr int kHead = 6; // tokens that can say what a statement defines

    void head(const Token& t) {
        if (count_ == 1) {
            creates_ = SqlLexer::isAnyWord(text_, t, {"CREATE", "ALTER"});
            skip_ = SqlLexer::isWord(text_, t, "PREPARE");
        } else if (creates_) {
            skip_ = SqlLexer::isAnyWord(text_, t, {"PROCEDURE", "PROC", "FUNCTION", "TRIGGER", "EVENT"});
        }
    }

    bool startsMarker(const Token& t) const {
        const bool glued = prev_.kind != TokenKind::End && prev_.end == t.start;
        if (t.isPunct(text_, ':')) {
            // "::" casts, and "label:" or "a:b" glued to what comes before
            return !(glued && (prev_.isPunct(text_, ':') || prev_.kind == TokenKind::Word ||
                               prev_.kind == TokenKind::Number || prev_.kind == TokenKind::QuotedName));
        }
        if (t.isPunct(text_, '?')) return server_ != ServerFamily::PostgreSQL;
        if (t.isPunct(text_, '$'))
            return server_ == ServerFamily::PostgreSQL || server_ == ServerFamily::SQLite;
        return false;
    }

    bool follows(const Token& marker, const Token& name) const {
        const bool sqlite = server_ == ServerFamily::SQLite;
        if (marker.isPunct(text_, ':'))
            return name.kind == TokenKind::Word || (sqlite && name.kind == TokenKind::Number);
        if (marker.isPunct(text_, '?')) return sqlite && name.kind == TokenKind::Number;
        // '$': $1 on PostgreSQL; $1 and $name on SQLite
        return name.kind == TokenKind::Number || (sqlite && name.kind == TokenKind::Word);
    }

    void add(qsizetype start, qsizetype end) {
        const QString marker = text_.mid(start, end - start).toString();
        if (!current_.markers.contains(marker)) current_.markers << marker;
    }

    QStringView text_;
    ServerFamily server_;
    StatementMarkers current_;
    size_t statement_ = 0;
    int count_ = 0;
    bool skip_ = false, creates_ = false;
    std::optional<Token> pending_;
    bool pendingAlone_ = false; // a '?' is a marker by itself too
    Token prev_;
};

} // namespace

std::vector<StatementMarkers> findParameterMarkers(QStringView script, db::ServerFamily server) {
    MarkerFinder finder(script, server);
    splitStatements(script, dialectOf(server), &finder);
    return std::move(finder.found);
}

QString parameterRefusal(const std::vector<StatementMarkers>& found) {
    if (found.empty()) return {};
    const StatementMarkers& first = found.front();
    return QStringLiteral("Statement %1 has parameters (%2) and no values were given.")
        .arg(first.statement + 1)
        .arg(first.markers.join(QStringLiteral(", ")));
}

} // namespace script
