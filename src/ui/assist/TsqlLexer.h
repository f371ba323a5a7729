#pragma once
// The editor language "TSQL": SQL colouring fed by a document's word lists.
// Keywords (class 1), word operators (class 2, in the colour of the symbol
// operators), functions (class 3) and data types (class 4) each get their own
// colour; "--" and "/* */" comments, '...' strings (no escape character) and
// numbers are coloured too, all in the theme's colours. Words match without
// regard to case. BEGIN and END are the only words that open and close a fold.

#include "assist/KeywordCatalogue.h"

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

    // The style of each word class.
    static int styleOf(WordClass c);

private:
    QByteArray sets_[9]; // the keyword sets 1-8, lower case, blank-separated
};
