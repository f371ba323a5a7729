#pragma once
// The editor language "TSQL": SQL colouring fed by a document's word lists.
// Keywords (class 1), word operators (class 2, in the colour of the symbol
// operators), functions (class 3) and data types (class 4) each get their own
// colour; "--" and "/* */" comments, '...' strings (no escape character) and
// numbers are coloured too, all in the theme's colours. Words match without
// regard to case. BEGIN and END are the only words that open and close a fold.
//
// Strings, comments and quoted names end where the document's server ends
// them (ScriptStyler_p.h): back-quoted names on MariaDB/MySQL, bracketed
// names on SQL Server, double-quoted names everywhere.

#include "assist/KeywordCatalogue.h"
#include "assist/ScriptStyler_p.h"

#include <QByteArray>
#include <Qsci/qscilexersql.h>

class TsqlLexer : public QsciLexerSQL {
    Q_OBJECT
public:
    // The styles of the four word classes.
    enum WordStyle {
        KeywordStyle = Keyword,
        OperatorWordStyle = KeywordSet5,
        DataTypeStyle = KeywordSet6, // the first additional word class
        FunctionStyle = KeywordSet7, // the second additional word class
    };

    explicit TsqlLexer(QObject* parent = nullptr);

    const char* language() const override { return "TSQL"; }
    const char* keywords(int set) const override;

    // Takes the words to colour; an editor using this lexer must be given it
    // again (setLexer) to pick them up.
    void setWordLists(const WordLists& lists);
    // Colours by the rules of this kind of server; the attached editor is
    // recoloured.
    void setServerFamily(db::ServerFamily family);

    // The style of each word class.
    static int styleOf(WordClass c);

    // The colouring is done here, not by Scintilla's own SQL lexer.
    const char* lexer() const override { return nullptr; }
    int lexerId() const override;
    void setEditor(QsciScintilla* editor) override;

private:
    void styleNeeded(int position);

    QByteArray sets_[9]; // the keyword sets 1-8, lower case, blank-separated
    ScriptStyler styler_;
    QMetaObject::Connection styleNeeded_;
};
