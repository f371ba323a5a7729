#include "editor/SqlColours.h"

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintillabase.h>

namespace editor {

Theme::Role sqlColourRole(int style) {
    using Role = Theme::Role;
    using L = QsciLexerSQL;
    switch (style) {
    case L::Keyword:
        return Role::Keyword;
    case L::Operator:
    case L::KeywordSet5:
        return Role::Operator; // word operators look like the symbols
    case L::KeywordSet6:
        return Role::DataType;
    case L::KeywordSet7:
        return Role::Function;
    case L::Comment:
    case L::CommentLine:
    case L::CommentDoc:
    case L::CommentLineHash:
    case L::PlusComment:
    case L::CommentDocKeyword:
    case L::CommentDocKeywordError:
        return Role::Comment;
    case L::SingleQuotedString:
        return Role::String;
    case L::DoubleQuotedString:
    case L::QuotedIdentifier:
    case L::QuotedOperator:
        return Role::QuotedName;
    case L::Number:
        return Role::Number;
    default:
        return Role::Text;
    }
}

void applySqlColours(QsciLexerSQL* lexer) {
    const QColor paper = themeColour(Theme::Role::Paper);
    lexer->setDefaultPaper(paper);
    lexer->setDefaultColor(themeColour(Theme::Role::Text));
    lexer->setPaper(paper, -1); // every style
    for (int style = 0; style <= QsciScintillaBase::STYLE_MAX; ++style)
        if (!lexer->description(style).isEmpty()) lexer->setColor(themeColour(sqlColourRole(style)), style);
}

} // namespace editor
