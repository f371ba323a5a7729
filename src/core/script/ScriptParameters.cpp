#include "script/ScriptParameters.h"

#include "script/StatementHead.h"

#include <QSet>

namespace script {

namespace {

using db::ServerFamily;

// Words after which a PostgreSQL '?' still stands for a value.
bool takesValueAfter(QStringView text, const Token& t) {
    return SqlLexer::isAnyWord(text, t,
                               {"SELECT", "WHERE", "AND", "OR", "NOT", "LIMIT", "OFFSET", "VALUES", "SET", "THEN", "ELSE",
                                "WHEN", "BETWEEN", "IN", "IS", "LIKE", "ILIKE", "RETURN", "BY", "DISTINCT", "ALL", "ANY",
                                "SOME", "EXISTS", "CASE", "ON", "HAVING", "FETCH", "FIRST", "NEXT", "AS", "TO", "FROM",
                                "RETURNING", "USING", "WITH"});
}

bool isPunct(QStringView text, const Token& t, QStringView chars) {
    return t.kind == TokenKind::Punct && chars.contains(text[t.start]);
}

class ParameterFinder : public StatementVisitor {
public:
    ParameterFinder(QStringView text, ServerFamily server) : text_(text), server_(server) {}

    void token(const Token& t) override {
        head_.feed(text_, t);
        if (head_.defersItsBody()) {
            uses_.clear();
            return;
        }
        if (tsql() && declaring_ && t.kind == TokenKind::Word && text_[t.start] == QLatin1Char('@') &&
            (SqlLexer::isWord(text_, prev_, "DECLARE") || prev_.isPunct(text_, ',')))
            declared_.insert(text_.mid(t.start + 1, t.end - t.start - 1).toString().toLower());
        if (count_++ == 0) {
            declaring_ = SqlLexer::isWord(text_, t, "DECLARE");
            executing_ = SqlLexer::isAnyWord(text_, t, {"EXEC", "EXECUTE"});
        }
        look(t);
        before_ = prev_;
        prev_ = t;
    }

    void statementEnded(const StatementRange&) override {
        if (!uses_.empty()) result.push_back({statement_, std::move(uses_)});
        uses_.clear();
        ++statement_;
        count_ = 0;
        declaring_ = executing_ = pendingArgument_ = false;
        head_.reset();
        prev_ = before_ = Token();
    }

    // Drops the SQL Server uses of names the script declares.
    void dropDeclared() {
        if (declared_.isEmpty()) return;
        for (StatementParameters& s : result)
            std::erase_if(s.uses, [&](const ParameterUse& u) {
                return u.shown.startsWith(QLatin1Char('@')) && declared_.contains(u.name.toLower());
            });
        std::erase_if(result, [](const StatementParameters& s) { return s.uses.empty(); });
    }

    std::vector<StatementParameters> result;

private:
    bool tsql() const { return server_ == ServerFamily::SqlServer; }
    bool adjacent(const Token& a, const Token& b) const { return a.kind != TokenKind::End && a.end == b.start; }
    QString textOf(const Token& t) const { return text_.mid(t.start, t.end - t.start).toString(); }

    void add(qsizetype start, qsizetype end, QString name, QString shown) {
        uses_.push_back({start, end, std::move(name), std::move(shown)});
    }

    void look(const Token& t) {
        // EXEC proc @name = value: @name is the procedure's argument
        if (pendingArgument_) {
            pendingArgument_ = false;
            if (t.isPunct(text_, '=')) {
                uses_.pop_back();
                return;
            }
        }
        // ?NNN (SQLite) and the jsonb operators ?| and ?& (PostgreSQL) are
        // decided by the token after the '?'
        if (pendingQuestion_) {
            pendingQuestion_ = false;
            if (server_ == ServerFamily::SQLite && t.kind == TokenKind::Number && adjacent(prev_, t) && isDigits(t)) {
                uses_.back() = {prev_.start, t.end, textOf(t), QLatin1Char('?') + textOf(t)};
                --questions_;
                return;
            }
            if (server_ == ServerFamily::PostgreSQL && adjacent(prev_, t) && isPunct(text_, t, u"|&")) {
                uses_.pop_back();
                --questions_;
                return;
            }
        }
        switch (t.kind) {
        case TokenKind::Word: {
            const QChar first = text_[t.start];
            if (prev_.isPunct(text_, ':') && adjacent(prev_, t) && first != QLatin1Char('@') && first != QLatin1Char('#') &&
                colonStartsParameter()) {
                add(prev_.start, t.end, textOf(t), QLatin1Char(':') + textOf(t));
            } else if (first == QLatin1Char('@') && t.end - t.start > 1 && text_[t.start + 1] != QLatin1Char('@') &&
                       (server_ == ServerFamily::SQLite || tsql())) {
                add(t.start, t.end, text_.mid(t.start + 1, t.end - t.start - 1).toString(), textOf(t));
                pendingArgument_ = executing_;
            } else if (server_ == ServerFamily::SQLite && prev_.isPunct(text_, '$') && adjacent(prev_, t)) {
                add(prev_.start, t.end, textOf(t), QLatin1Char('$') + textOf(t));
            }
            return;
        }
        case TokenKind::Number:
            if (prev_.isPunct(text_, '$') && adjacent(prev_, t) && isDigits(t) &&
                (server_ == ServerFamily::PostgreSQL || server_ == ServerFamily::SQLite))
                add(prev_.start, t.end, textOf(t), QLatin1Char('$') + textOf(t));
            else if (server_ == ServerFamily::SQLite && prev_.isPunct(text_, ':') && adjacent(prev_, t) && isDigits(t) &&
                     colonStartsParameter())
                add(prev_.start, t.end, textOf(t), QLatin1Char(':') + textOf(t));
            return;
        case TokenKind::Punct:
            if (t.isPunct(text_, '?') && questionIsParameter()) {
                ++questions_;
                add(t.start, t.end, QString::number(questions_), QLatin1Char('?') + QString::number(questions_));
                pendingQuestion_ = true;
            }
            return;
        default: return;
        }
    }

    bool isDigits(const Token& t) const {
        for (qsizetype i = t.start; i < t.end; ++i)
            if (!text_[i].isDigit()) return false;
        return true;
    }

    // The ':' in prev_ starts a parameter unless written right after a
    // name, a number, a closing bracket, '[' or another ':' (a label, a
    // slice, a cast).
    bool colonStartsParameter() const {
        if (!adjacent(before_, prev_)) return true;
        return before_.kind == TokenKind::Punct && !isPunct(text_, before_, u":[])");
    }

    bool questionIsParameter() const {
        if (server_ != ServerFamily::PostgreSQL) return true;
        switch (prev_.kind) {
        case TokenKind::Word: return takesValueAfter(text_, prev_);
        case TokenKind::QuotedName:
        case TokenKind::String:
        case TokenKind::Number:
        case TokenKind::DollarBody: return false;
        default: return !isPunct(text_, prev_, u")]");
        }
    }

    QStringView text_;
    ServerFamily server_;
    StatementHead head_;
    std::vector<ParameterUse> uses_;
    size_t statement_ = 0;
    int count_ = 0;
    int questions_ = 0;
    bool pendingQuestion_ = false;
    bool declaring_ = false, executing_ = false, pendingArgument_ = false;
    QSet<QString> declared_;
    Token prev_, before_; // the two tokens before the current one
};

} // namespace

QStringList StatementParameters::shownNames() const {
    QStringList shown;
    QSet<QString> seen;
    for (const ParameterUse& u : uses)
        if (!seen.contains(u.name)) {
            seen.insert(u.name);
            shown << u.shown;
        }
    return shown;
}

QString StatementParameters::noValuesMessage() const {
    return QStringLiteral("Statement %1 has parameters (%2) and no values were given.")
        .arg(statement + 1)
        .arg(shownNames().join(QStringLiteral(", ")));
}

std::vector<ScriptParameters::Name> ScriptParameters::names() const {
    std::vector<Name> out;
    QSet<QString> seen;
    for (const StatementParameters& s : withParameters)
        for (const ParameterUse& u : s.uses)
            if (!seen.contains(u.name)) {
                seen.insert(u.name);
                out.push_back({u.name, u.shown});
            }
    return out;
}

ScriptParameters findParameters(QStringView script, db::ServerFamily server) {
    ParameterFinder finder(script, server);
    ScriptParameters out;
    out.statements = splitStatements(script, dialectOf(server), &finder);
    finder.dropDeclared();
    out.withParameters = std::move(finder.result);
    return out;
}

} // namespace script
