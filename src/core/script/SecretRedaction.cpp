#include "script/SecretRedaction.h"

#include "script/SqlLexer.h"

#include <QRegularExpression>

#include <vector>

namespace script {

namespace {

const QString kMask = QStringLiteral("'****'");

bool isLiteral(const Token& t) {
    return t.kind == TokenKind::String || t.kind == TokenKind::DollarBody || t.kind == TokenKind::Number ||
           t.kind == TokenKind::QuotedName;
}

class Redactor {
public:
    explicit Redactor(const QString& script) : text_(script) {
        SqlLexer lexer(text_);
        for (Token t = lexer.nextSignificant(); t.kind != TokenKind::End; t = lexer.nextSignificant())
            tokens_.push_back(t);
    }

    RedactedScript run() {
        for (size_t i = 0; i < tokens_.size(); ++i) {
            const Token& t = tokens_[i];
            if (SqlLexer::isAnyWord(text_, t, {"PASSWORD", "OLD_PASSWORD"}) || isQuotedPassword(t))
                afterPassword(i + 1);
            else if (SqlLexer::isWord(text_, t, "IDENTIFIED"))
                afterIdentified(i + 1);
        }
        RedactedScript out;
        qsizetype from = 0;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            const Token& t = tokens_[i];
            const bool whole = masked_.size() > i && masked_[i];
            const bool inside = !whole && t.kind == TokenKind::String && hasConnectionPassword(t);
            if (!whole && !inside) continue;
            out.text += QStringView(text_).mid(from, t.start - from);
            const QString literal = text_.mid(t.start, t.end - t.start);
            if (whole) {
                out.text += kMask;
                out.secrets << unquoted(literal);
            } else {
                out.text += maskConnectionPasswords(literal, out.secrets);
            }
            from = t.end;
        }
        out.text += QStringView(text_).mid(from);
        out.secrets.removeAll(QString());
        return out;
    }

private:
    bool isQuotedPassword(const Token& t) const {
        return t.kind == TokenKind::QuotedName &&
               text_.mid(t.start + 1, t.end - t.start - 2).compare(QLatin1String("password"), Qt::CaseInsensitive) == 0;
    }
    bool is(size_t i, char c) const { return i < tokens_.size() && tokens_[i].isPunct(text_, c); }
    bool word(size_t i, std::string_view w) const { return i < tokens_.size() && SqlLexer::isWord(text_, tokens_[i], w); }
    bool endOfStatement(size_t i) const { return i >= tokens_.size() || tokens_[i].kind == TokenKind::Semicolon; }

    void mask(size_t i) {
        if (masked_.size() <= i) masked_.resize(tokens_.size(), false);
        masked_[i] = true;
    }

    // The literal a password keyword gives, however it is written.
    void afterPassword(size_t i) {
        if (word(i, "FOR")) // SET PASSWORD FOR user = …
            while (!endOfStatement(i) && !is(i, '=')) ++i;
        if (is(i, '=')) ++i;
        if (word(i, "PASSWORD")) ++i; // = PASSWORD('…')
        if (is(i, '(')) ++i;
        if (word(i, "N") && i + 1 < tokens_.size() && tokens_[i + 1].start == tokens_[i].end) ++i; // N'…'
        if (i < tokens_.size() && isLiteral(tokens_[i]) &&
            (tokens_[i].kind != TokenKind::QuotedName || text_[tokens_[i].start] == QLatin1Char('"')))
            mask(i);
    }

    // IDENTIFIED [WITH plugin | VIA plugin] BY 'x' | USING 'x' | USING PASSWORD('x')
    void afterIdentified(size_t i) {
        for (int steps = 0; steps < 6 && !endOfStatement(i) && !is(i, ','); ++steps, ++i)
            if (word(i, "BY") || word(i, "USING")) return afterPassword(i + 1);
    }

    bool hasConnectionPassword(const Token& t) const {
        static const QRegularExpression key(QStringLiteral("\\b(password|pwd)\\s*="),
                                            QRegularExpression::CaseInsensitiveOption);
        const QStringView literal = QStringView(text_).mid(t.start, t.end - t.start);
        return literal.contains(QLatin1Char('=')) && key.match(literal.toString()).hasMatch();
    }

    // password=value and pwd=value inside a string (conninfo or ODBC style)
    static QString maskConnectionPasswords(const QString& literal, QStringList& secrets) {
        static const QRegularExpression value(
            QStringLiteral("\\b((?:password|pwd)\\s*=\\s*)('(?:[^']|'')*'|\\{[^}]*\\}|[^\\s;']+)"),
            QRegularExpression::CaseInsensitiveOption);
        QString out;
        qsizetype from = 0;
        for (auto it = value.globalMatch(literal); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            out += QStringView(literal).mid(from, m.capturedStart(2) - from);
            out += QStringLiteral("****");
            secrets << m.captured(2);
            from = m.capturedEnd(2);
        }
        out += QStringView(literal).mid(from);
        return out;
    }

    // A literal's value, for scrubbing: quotes and an E prefix taken off.
    static QString unquoted(QString literal) {
        if (literal.startsWith(QLatin1Char('E')) || literal.startsWith(QLatin1Char('e'))) literal.remove(0, 1);
        if (literal.size() >= 2 && (literal.front() == QLatin1Char('\'') || literal.front() == QLatin1Char('"')))
            return literal.mid(1, literal.size() - 2);
        if (literal.startsWith(QLatin1Char('$'))) {
            const qsizetype open = literal.indexOf(QLatin1Char('$'), 1);
            if (open > 0) return literal.mid(open + 1, literal.size() - 2 * (open + 1));
        }
        return literal;
    }

    const QString& text_;
    std::vector<Token> tokens_;
    std::vector<bool> masked_;
};

} // namespace

RedactedScript redactSecrets(const QString& script) {
    return Redactor(script).run();
}

} // namespace script
