#pragma once
// The script of an editor as code assistance reads it: its text (fetched
// once per change), offsets in that text for editor positions and back, the
// lexer's dialect for the document's server, and what the statement around
// a position expects there. The statement is found from the nearest start
// known before it (see StatementIndex): the editor's changes tell the index
// what to forget, so a long script is not lexed from the top at every key.
// After a pause in the typing the rest of the script is indexed in slices,
// between other events, so the first question after opening a long script
// is as quick as the others.

#include "assist/StatementContext.h"
#include "script/StatementIndex.h"

#include <QObject>

class DocumentContext;
class QTimer;
class SqlEditor;

class EditorStatements : public QObject {
    Q_OBJECT
public:
    // context tells which server the script is for (MariaDB reads '#'
    // comments and backslashes in strings).
    EditorStatements(SqlEditor* editor, const DocumentContext& context);

    const QString& text();
    // The offset in text() of an editor position (a byte position), and back.
    qsizetype offsetOf(int position) const;
    int positionOf(qsizetype offset) const;

    script::Dialect dialect() const;
    // What the statement around the editor position expects there.
    assist::StatementContext contextAt(int position);
    // The statement the position belongs to (an empty range between statements).
    script::StatementRange statementAt(int position);
    // Whether the position is in code: not inside a comment, string, quoted
    // name or $$ body.
    bool isCodeAt(int position);

    const script::StatementIndex& index() const { return index_; }

private:
    void onModified(int position, int type);
    void prepare(); // the dialect and text of now
    void indexSlice(); // the next slice of the script after the last known start

    SqlEditor* editor_;
    const DocumentContext& context_;
    script::StatementIndex index_;
    QString text_;
    bool textValid_ = false;
    QTimer* pause_;
};
