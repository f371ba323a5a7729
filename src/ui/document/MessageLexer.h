#pragma once
// The language "MYMESSAGE" of a document's message pane: what a run writes
// there stands out by kind. From "ERROR:" (in any case, so also "Error: #")
// to the end of the line is an error; "/* */" encloses a comment, '...' a
// string; the word "Line:" is a keyword, and "line" and ":" elsewhere form
// a word class of their own. Words match without regard to case. The
// colours are the theme's.

#include "common/Theme.h"

#include <QByteArray>
#include <Qsci/qscilexercustom.h>

class MessageLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    enum Style { Default = 0, Error = 1, Keyword = 2, LineWord = 3, String = 4, Comment = 5 };

    explicit MessageLexer(QObject* parent = nullptr);

    const char* language() const override { return "MYMESSAGE"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // The style of every byte of one line (without its line break);
    // inComment says whether a "/*" comment is open before it and after it.
    static QByteArray lineStyles(const QByteArray& line, bool& inComment);
    // The theme role that colours a style.
    static Theme::Role roleOf(int style);

private:
    void applyTheme();
};
