#include "assist/SqlFormatCommand.h"

#include "assist/EditorStatements.h"
#include "assist/KeywordLanguage.h"
#include "assist/SqlFormatter.h"
#include "editor/SqlEditor.h"

SqlFormatCommand::SqlFormatCommand(SqlEditor* editor, const KeywordLanguage* language, EditorStatements* statements)
    : EditorFeature(editor), editor_(editor), language_(language), statements_(statements) {}

bool SqlFormatCommand::formatSql() {
    const QString& script = statements_->text();
    qsizetype from = 0, to = 0;
    if (editor_->hasSelectedText()) {
        const long a = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        const long b = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
        from = statements_->offsetOf(int(a));
        to = statements_->offsetOf(int(b));
    } else {
        int line = 0, index = 0;
        editor_->getCursorPosition(&line, &index);
        const auto statements = script::splitStatements(script, statements_->dialect());
        const auto at = script::statementAt(statements, {line, index});
        if (!at) return false;
        from = statements[*at].start;
        to = statements[*at].end;
    }
    if (to <= from) return false;

    assist::FormatOptions options;
    options.lineBreak = editor_->eolMode() == QsciScintilla::EolWindows ? QStringLiteral("\r\n")
                        : editor_->eolMode() == QsciScintilla::EolMac ? QStringLiteral("\r")
                                                                       : QStringLiteral("\n");
    // the blanks that start the first line, when only blanks stand before the text there
    qsizetype lineStart = from;
    while (lineStart > 0 && script[lineStart - 1] != QLatin1Char('\n') && script[lineStart - 1] != QLatin1Char('\r'))
        --lineStart;
    const QStringView lead = QStringView(script).mid(lineStart, from - lineStart);
    if (lead.trimmed().isEmpty()) options.lineLead = lead.toString();

    const QString original = script.mid(from, to - from);
    const QString formatted = assist::formatSql(original, language_->spellings(), statements_->dialect(), options);
    if (formatted == original) return true;
    const int start = statements_->positionOf(from);
    const int end = statements_->positionOf(to);
    const QByteArray bytes = formatted.toUtf8();
    editor_->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, start, end);
    editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, bytes.size(), bytes.constData());
    editor_->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, start + int(bytes.size()), start + int(bytes.size()));
    // the lines start at the left again: show them from there
    editor_->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0);
    editor_->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
    return true;
}
