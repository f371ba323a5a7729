#include "assist/KeywordCaseCorrector.h"

#include "assist/EditorStatements.h"
#include "assist/KeywordLanguage.h"
#include "editor/SqlEditor.h"

#include <Qsci/qscilexersql.h>

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A word glued to one of these is a variable, a temporary table, a qualified
// or quoted name: not a keyword.
bool isQualifier(QChar c) {
    return c == QLatin1Char('@') || c == QLatin1Char('#') || c == QLatin1Char('$') || c == QLatin1Char('.') ||
           c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`') || c == QLatin1Char(':');
}

bool isCodeStyle(int style) {
    switch (style) {
    case QsciLexerSQL::Comment:
    case QsciLexerSQL::CommentLine:
    case QsciLexerSQL::CommentDoc:
    case QsciLexerSQL::CommentLineHash:
    case QsciLexerSQL::CommentDocKeyword:
    case QsciLexerSQL::CommentDocKeywordError:
    case QsciLexerSQL::PlusComment:
    case QsciLexerSQL::SingleQuotedString:
    case QsciLexerSQL::DoubleQuotedString:
    case QsciLexerSQL::QuotedIdentifier:
    case QsciLexerSQL::QuotedOperator:
    case QsciLexerSQL::Number:
        return false;
    default:
        return true;
    }
}

} // namespace

KeywordCaseCorrector::KeywordCaseCorrector(SqlEditor* editor, const KeywordLanguage* language,
                                           EditorStatements* statements)
    : EditorFeature(editor, settings::Key::AutoCorrectSyntax), language_(language), statements_(statements) {
    connect(editor, &QsciScintillaBase::SCN_CHARADDED, this, &KeywordCaseCorrector::onCharAdded);
}

void KeywordCaseCorrector::onCharAdded(int ch) {
    if (!isOn() || !language_->isLoaded()) return;
    SqlEditor* e = editor();
    const QChar typed(ch);
    if (ch <= 0 || isWordChar(typed) || isQualifier(typed)) return;
    const int caret = int(e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    if (ch == '\r' || ch == '\n') {
        // a line break: the word ends the line before the caret's
        const int line = int(e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
        if (line > 0)
            correctWordBefore(
                int(e->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line - 1)));
        return;
    }
    correctWordBefore(int(e->SendScintilla(QsciScintillaBase::SCI_POSITIONBEFORE, caret)));
}

void KeywordCaseCorrector::correctWordBefore(int end) {
    SqlEditor* e = editor();
    const int line = int(e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    const int lineStart = int(e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString before = e->text(lineStart, end);
    qsizetype from = before.size();
    while (from > 0 && isWordChar(before[from - 1]))
        --from;
    if (from == before.size() || (from > 0 && isQualifier(before[from - 1]))) return;
    const QString word = before.mid(from);
    const QString spelling = language_->spellingOf(word);
    if (spelling.isEmpty() || spelling == word) return;
    const int start = lineStart + int(before.left(from).toUtf8().size());
    if (!isCode(start, end)) return;
    const QByteArray replacement = spelling.toUtf8();
    e->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    e->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, start, end);
    e->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, replacement.size(), replacement.constData());
    e->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
}

bool KeywordCaseCorrector::isCode(int position, int end) {
    SqlEditor* e = editor();
    if (!e->lexer()) return statements_->isCodeAt(position); // no colouring: the tokens say
    // the styles up to the word must be current to tell code from comments and strings
    const int styled = int(e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED));
    if (styled <= position) e->SendScintilla(QsciScintillaBase::SCI_COLOURISE, styled, end);
    return isCodeStyle(int(e->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, position)));
}
