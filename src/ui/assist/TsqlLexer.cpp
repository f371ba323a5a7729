#include "assist/TsqlLexer.h"

#include "common/Theme.h"
#include "editor/SqlColours.h"

#include <QFont>
#include <Qsci/qsciscintilla.h>

namespace {

// Only words made of word characters can ever match: a stored "<>" or a
// word with a blank inside would otherwise become other keywords.
bool isLexerWord(const QString& w) {
    if (w.isEmpty()) return false;
    for (QChar c : w)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_')) return false;
    return true;
}

QByteArray keywordSet(const QStringList& words) {
    QByteArray out;
    for (const QString& w : words) {
        if (!isLexerWord(w)) continue;
        if (!out.isEmpty()) out += ' ';
        out += w.toLower().toUtf8();
    }
    return out;
}

// keywords(set) numbers the sets from 1.
constexpr int kKeywordSet = 1, kOperatorSet = 5, kDataTypeSet = 6, kFunctionSet = 7;

} // namespace

TsqlLexer::TsqlLexer(QObject* parent) : QsciLexerSQL(parent) {
    setFoldOnlyBegin(true);
    setFoldComments(false);
    setFoldCompact(false);
    setBackslashEscapes(false);
    setHashComments(false);

    Theme::instance().onChange(this, [this] { editor::applySqlColours(this); });
    QFont bold = font(KeywordStyle);
    bold.setBold(true);
    setFont(bold, KeywordStyle);
}

const char* TsqlLexer::keywords(int set) const {
    if (set < 1 || set > 8) return nullptr;
    // an empty set still has to be a set, so nothing of the stock lists shows
    return sets_[set].constData();
}

void TsqlLexer::setWordLists(const WordLists& lists) {
    for (QByteArray& s : sets_)
        s.clear();
    sets_[kKeywordSet] = keywordSet(lists.keywords);
    sets_[kOperatorSet] = keywordSet(lists.operators);
    sets_[kDataTypeSet] = keywordSet(lists.dataTypes);
    sets_[kFunctionSet] = keywordSet(lists.functions);
    // a word of two classes takes the first: keyword, word operator, data type, function
    styler_.wordStyles.clear();
    for (const auto& [words, style] : {std::pair{&lists.functions, int(FunctionStyle)},
                                       std::pair{&lists.dataTypes, int(DataTypeStyle)},
                                       std::pair{&lists.operators, int(OperatorWordStyle)},
                                       std::pair{&lists.keywords, int(KeywordStyle)}})
        for (const QString& w : *words)
            if (isLexerWord(w)) styler_.wordStyles.insert(w.toLower(), style);
}

void TsqlLexer::setServerFamily(db::ServerFamily family) {
    if (styler_.server == family) return;
    styler_.server = family;
    if (QsciScintilla* e = editor(); e && e->lexer() == this) e->recolor();
}

int TsqlLexer::lexerId() const { return QsciScintillaBase::SCLEX_CONTAINER; }

void TsqlLexer::setEditor(QsciScintilla* editor) {
    disconnect(styleNeeded_);
    QsciLexerSQL::setEditor(editor);
    if (editor) styleNeeded_ = connect(editor, &QsciScintillaBase::SCN_STYLENEEDED, this, &TsqlLexer::styleNeeded);
}

void TsqlLexer::styleNeeded(int position) {
    QsciScintilla* e = editor();
    if (!e || e->lexer() != this) return;
    styler_.style(e, int(e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED)), position);
}

int TsqlLexer::styleOf(WordClass c) {
    switch (c) {
    case WordClass::Keyword:
        return KeywordStyle;
    case WordClass::Operator:
        return OperatorWordStyle;
    case WordClass::Function:
        return FunctionStyle;
    case WordClass::DataType:
        break;
    }
    return DataTypeStyle;
}
