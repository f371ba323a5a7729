#pragma once
// Text operations that turn an editor script into a form that can be
// classified, and that lay out result values. They treat the text as plain
// characters: quotes are not recognised, line breaks are CR LF (a lone CR or
// LF is an ordinary character), and comparisons are case-sensitive unless an
// operation says otherwise. Every operation is linear in the text length.

#include <QString>

namespace script {

// Removes block comments, then line comments, pass after pass, each pass
// removing every occurrence of the first comment found (see ScriptText.cpp).
QString stripComments(const QString& text);
// Every run of blanks (code 32) becomes one blank.
QString collapseBlanks(const QString& text);
// The non-empty CR LF separated lines, each preceded by one blank.
QString joinLines(const QString& text);
// Every occurrence of find, left to right without overlap, replaced.
QString replaceAll(const QString& text, const QString& find, const QString& replacement);
// Removes leading blanks (not tabs).
QString trimLeadingBlanks(const QString& text);
// The text trimmed of blanks and padded with pad to width: on the right when
// side is exactly "L", else on the left; "..." when the trimmed text is
// longer than width. An empty pad returns the trimmed text.
QString padText(const QString& text, const QString& side, int width, const QString& pad);
// stripComments, collapseBlanks, joinLines, removal of double blanks,
// trimLeadingBlanks, in that order.
QString prepareScriptText(const QString& text);

// The class of a script, decided by its first characters only (a text that
// begins with SELECTED is a Select, one that begins with USERS a Use).
enum class StatementKind {
    None,            // shorter than six characters
    Use,             // starts with "USE" (any case): a change of database
    SystemProcedure, // starts with "sp_" (any case)
    Select, Insert, Update, Delete, Config,
    Exec,            // anything else
};

// The class of a prepared text. Decided from the text alone: nothing is
// opened or asked.
StatementKind classifyStatement(const QString& text);
// The class as the query summary shows it: "", "USE", "SP_", "SELECT",
// "INSERT", "UPDATE", "DELETE", "CONFIG", "EXEC".
QString statementKindText(StatementKind kind);

} // namespace script
